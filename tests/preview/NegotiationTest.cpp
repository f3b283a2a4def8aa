// Media types between the pins and a renderer: the offers, the checks, and renegotiation that
// asks the renderer again and again before it gives up.
#include <gtest/gtest.h>

#include <atomic>

#include "PreviewFixtures.h"
#include "preview/FFPushSource.h"

using namespace vc::preview;
using namespace vc::test;

namespace {

// Refuses the next `Refusals` proposals made after it was connected.
class TPickyRenderer final : public TBaseRenderer {
 public:
  TPickyRenderer() : TBaseRenderer(TMajorType::Video, false) {}
  TResult CheckMediaType(const TMediaType& type) const override {
    if (IsConnected()) {
      ++Asked;
      if (Refusals > 0) {
        --Refusals;
        return TResult::VFW_E_TYPE_NOT_ACCEPTED;
      }
    }
    return TBaseRenderer::CheckMediaType(type);
  }
  mutable std::atomic<int> Refusals = 0;
  mutable std::atomic<int> Asked = 0;

 protected:
  void RenderSample(const TMediaSample&, int64_t) override {}
};

TEST(NegotiationTest, VideoPinOffersAndChecksRgb32AtThePictureSize) {
  TFFPushSource source;
  TMediaType type;
  EXPECT_EQ(TResult::VFW_S_NO_MORE_ITEMS, source.VideoPin().GetMediaType(0, &type));  // nothing loaded
  ASSERT_EQ(TResult::S_OK, source.Load(NumberedClip().c_str(), nullptr));
  EXPECT_EQ(TResult::E_POINTER, source.VideoPin().GetMediaType(0, nullptr));
  EXPECT_EQ(TResult::E_INVALIDARG, source.VideoPin().GetMediaType(-1, &type));
  EXPECT_EQ(TResult::VFW_S_NO_MORE_ITEMS, source.VideoPin().GetMediaType(1, &type));
  ASSERT_EQ(TResult::S_OK, source.VideoPin().GetMediaType(0, &type));
  EXPECT_EQ(TMajorType::Video, type.Major);
  EXPECT_EQ(TSubType::RGB32, type.Sub);
  EXPECT_EQ(VideoInfoBlockSize, type.FormatSize);
  EXPECT_TRUE(type.FixedSizeSamples);
  EXPECT_FALSE(type.TemporalCompression);
  const TVideoInfoHeader& info = *type.VideoInfo();
  EXPECT_EQ((TRect{0, 0, 160, 120}), info.Source);
  EXPECT_EQ(40u, info.Header.Size);
  EXPECT_EQ(160, info.Header.Width);
  EXPECT_EQ(120, info.Header.Height);
  EXPECT_EQ(32, info.Header.BitCount);
  EXPECT_EQ(160u * 120 * 4, info.Header.SizeImage);
  EXPECT_EQ(info.Header.SizeImage, type.SampleSize);
  EXPECT_EQ(TResult::S_OK, source.VideoPin().CheckMediaType(type));

  TMediaType wider = type, narrower = type, taller = type, unfixed = type;
  wider.VideoInfo()->Header.Width = 192;
  narrower.VideoInfo()->Header.Width = 120;
  taller.VideoInfo()->Header.Height = 121;
  unfixed.FixedSizeSamples = false;
  TMediaType upsideDown = type;
  upsideDown.VideoInfo()->Header.Height = -120;
  EXPECT_EQ(TResult::S_OK, source.VideoPin().CheckMediaType(wider));
  EXPECT_EQ(TResult::S_OK, source.VideoPin().CheckMediaType(upsideDown));
  EXPECT_EQ(TResult::E_INVALIDARG, source.VideoPin().CheckMediaType(narrower));
  EXPECT_EQ(TResult::E_INVALIDARG, source.VideoPin().CheckMediaType(taller));
  EXPECT_EQ(TResult::E_INVALIDARG, source.VideoPin().CheckMediaType(unfixed));

  TMediaType sound;
  ASSERT_EQ(TResult::S_OK, source.AudioPin().GetMediaType(0, &sound));
  EXPECT_EQ(TMajorType::Audio, sound.Major);
  EXPECT_EQ(TSubType::PCM, sound.Sub);
  EXPECT_EQ(WaveFormatBlockSize, sound.FormatSize);
  const TWaveFormatEx& wave = *sound.WaveFormat();
  EXPECT_EQ(WAVE_FORMAT_PCM, wave.FormatTag);
  EXPECT_EQ(2, wave.Channels);
  EXPECT_EQ(44100u, wave.SamplesPerSec);
  EXPECT_EQ(4, wave.BlockAlign);
  EXPECT_EQ(44100u * 4, wave.AvgBytesPerSec);
  EXPECT_EQ(4u, sound.SampleSize);
  EXPECT_EQ(TResult::E_FAIL, source.AudioPin().GetMediaType(0, nullptr));

  // Buffer counts: one picture; 16,384-byte sound buffers, 5 of them at 44.1 kHz stereo.
  auto allocator = TMemAllocator::Create();
  TAllocatorProperties request, actual;
  ASSERT_EQ(TResult::S_OK, source.AudioPin().SetMediaType(sound));
  ASSERT_EQ(TResult::S_OK, source.AudioPin().DecideBufferSize(allocator.get(), &request));
  allocator->GetProperties(actual);
  EXPECT_EQ(5, actual.Buffers);
  EXPECT_EQ(AudioBufferBytes, actual.BufferSize);
  EXPECT_EQ(TResult::E_POINTER, source.AudioPin().DecideBufferSize(nullptr, &request));
}

TEST(NegotiationTest, RenegotiationAsksUpToTenTimes) {
  TPickyRenderer renderer;
  TFFPushSource source;
  ASSERT_EQ(TResult::S_OK, source.Load(NumberedClip().c_str(), nullptr));
  ASSERT_EQ(TResult::S_OK, source.VideoPin().Connect(renderer));
  TMediaType type;
  ASSERT_EQ(TResult::S_OK, source.VideoPin().GetMediaType(0, &type));

  renderer.Refusals = 3;
  EXPECT_EQ(TResult::S_OK, source.VideoPin().Renegotiate(type));
  EXPECT_EQ(4, renderer.Asked);

  renderer.Asked = 0;
  renderer.Refusals = 100;
  EXPECT_EQ(TResult::VFW_E_TYPE_NOT_ACCEPTED, source.VideoPin().Renegotiate(type));
  EXPECT_EQ(10, renderer.Asked);
}

}  // namespace
