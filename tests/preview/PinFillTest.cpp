// The pins' fill rules on queued samples, without a decoder or a delivery thread.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "preview/Allocator.h"
#include "preview/BCPushPinBitmap.h"
#include "preview/FFPushSource.h"

using namespace vc::preview;

namespace {

TMediaType pcmType(int channels, int rate) {
  TWaveFormatEx wave;
  wave.FormatTag = WAVE_FORMAT_PCM;
  wave.Channels = static_cast<uint16_t>(channels);
  wave.SamplesPerSec = static_cast<uint32_t>(rate);
  wave.BlockAlign = static_cast<uint16_t>(channels * 2);
  wave.AvgBytesPerSec = wave.SamplesPerSec * wave.BlockAlign;
  wave.BitsPerSample = 16;
  TMediaType type;
  type.Major = TMajorType::Audio;
  type.Sub = TSubType::PCM;
  type.FormatType = TFormatType::WaveFormatEx;
  type.FormatSize = WaveFormatBlockSize;
  type.FixedSizeSamples = true;
  type.Format = wave;
  return type;
}

std::unique_ptr<TFFSample> block(int32_t size, double start, double bytesPerSecond, uint8_t fill) {
  auto sample = std::make_unique<TFFSample>(size, start, start + size / bytesPerSecond);
  std::fill_n(sample->Data.get(), size, fill);
  return sample;
}

TEST(AudioFillTest, BuffersAreFullSizedExceptTheLastBeforeTheQueueRunsDry) {
  TFFPushSource source;
  TBCPushPinWav& pin = source.AudioPin();
  pin.SetAudioFormat(2, 16, 44100);
  ASSERT_EQ(TResult::S_OK, pin.SetMediaType(pcmType(2, 44100)));
  const double bytesPerSecond = 44100.0 * 4;

  // Blocks of uneven sizes, as decoders give them, one right after the other from 1.0 s.
  const std::vector<int32_t> sizes = {4096, 7000, 30000, 1232, 16384, 520};
  double t = 1.0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    pin.QueueSample(block(sizes[i], t, bytesPerSecond, static_cast<uint8_t>(i + 1)));
    t += sizes[i] / bytesPerSecond;
  }
  const int32_t total = std::accumulate(sizes.begin(), sizes.end(), 0);

  auto allocator = TMemAllocator::Create();
  TAllocatorProperties actual;
  ASSERT_EQ(TResult::S_OK, allocator->SetProperties({1, AudioBufferBytes, 1, 0}, actual));
  ASSERT_EQ(TResult::S_OK, allocator->Commit());
  pin.SetDiscontinuity();  // as a start of delivery does; the filter's start position is 0

  std::vector<int32_t> lengths;
  std::vector<uint8_t> bytes;
  int64_t expectedStart = 10'000'000;  // the first block's start, 1.0 s
  int64_t mediaTime = 0;
  for (;;) {
    TSamplePtr sample;
    ASSERT_EQ(TResult::S_OK, allocator->GetBuffer(sample));
    const TResult r = pin.FillBuffer(*sample);
    if (r == TResult::NothingYet) break;
    ASSERT_EQ(TResult::S_OK, r);
    lengths.push_back(sample->ActualDataLength());
    bytes.insert(bytes.end(), sample->Pointer(), sample->Pointer() + sample->ActualDataLength());
    int64_t start = 0, stop = 0, mediaStart = 0, mediaStop = 0;
    ASSERT_TRUE(sample->GetTime(start, stop));
    ASSERT_TRUE(sample->GetMediaTime(mediaStart, mediaStop));
    EXPECT_NEAR(static_cast<double>(expectedStart), static_cast<double>(start), 1);
    EXPECT_NEAR(sample->ActualDataLength() / bytesPerSecond * 1e7, static_cast<double>(stop - start), 1);
    EXPECT_EQ(mediaTime, mediaStart);
    EXPECT_EQ(stop - start, mediaStop - mediaStart);
    EXPECT_EQ(lengths.size() == 1, sample->IsDiscontinuity());
    EXPECT_TRUE(sample->IsSyncPoint());
    expectedStart = stop;
    mediaTime = mediaStop;
  }
  ASSERT_EQ(static_cast<size_t>((total + AudioBufferBytes - 1) / AudioBufferBytes), lengths.size());
  for (size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(AudioBufferBytes, lengths[i]);
  EXPECT_EQ(total % AudioBufferBytes, lengths.back());
  // Every byte in order.
  ASSERT_EQ(static_cast<size_t>(total), bytes.size());
  size_t at = 0;
  for (size_t i = 0; i < sizes.size(); ++i)
    for (int32_t k = 0; k < sizes[i]; ++k, ++at) ASSERT_EQ(i + 1, bytes[at]) << "block " << i;
}

TEST(AudioFillTest, BytesLeftInTheRingKeepTheTimeLineWhenTheNextBlockHasAGap) {
  TFFPushSource source;
  TBCPushPinWav& pin = source.AudioPin();
  pin.SetAudioFormat(1, 16, 8000);
  ASSERT_EQ(TResult::S_OK, pin.SetMediaType(pcmType(1, 8000)));
  const double bytesPerSecond = 16000;
  // 20,000 bytes from 0 s (1.25 s), then a block that starts 0.5 s after the first one ended.
  pin.QueueSample(block(20000, 0.0, bytesPerSecond, 1));
  pin.QueueSample(block(20000, 1.75, bytesPerSecond, 2));
  auto allocator = TMemAllocator::Create();
  TAllocatorProperties actual;
  allocator->SetProperties({1, AudioBufferBytes, 1, 0}, actual);
  allocator->Commit();
  std::vector<int64_t> starts;
  for (int i = 0; i < 3; ++i) {
    TSamplePtr sample;
    allocator->GetBuffer(sample);
    ASSERT_EQ(TResult::S_OK, pin.FillBuffer(*sample));
    int64_t start = 0, stop = 0;
    sample->GetTime(start, stop);
    starts.push_back(start);
  }
  // The second buffer holds the first block's last 3,616 bytes, then the second block: it is
  // stamped so that the second block's bytes play at their own time, 1.75 s, and the third buffer
  // follows on.
  EXPECT_EQ(0, starts[0]);
  EXPECT_NEAR((1.75 - 3616 / bytesPerSecond) * 1e7, static_cast<double>(starts[1]), 1);
  EXPECT_NEAR(starts[1] + 16384 / bytesPerSecond * 1e7, static_cast<double>(starts[2]), 1);
}

TEST(SubtitleDrawTest, PaletteAlphaBlendsIntoTheClampedRectangle) {
  constexpr int W = 8, H = 6;
  std::vector<uint8_t> picture(W * H * 4);
  for (size_t i = 0; i < picture.size(); i += 4) {
    picture[i] = 10;       // B
    picture[i + 1] = 20;   // G
    picture[i + 2] = 30;   // R
    picture[i + 3] = 77;   // fourth byte, never touched
  }
  // A 4x3 bitmap placed partly outside the picture (x 6, y 5): it is moved inside.
  uint8_t bitmap[3][4] = {{0, 1, 2, 3}, {1, 1, 1, 1}, {2, 2, 2, 2}};
  uint32_t palette[4] = {
      0x00FFFFFF,  // alpha 0: left alone
      0xFFFF0000,  // opaque red
      0x80000000 | 0x0000FF,  // half blue
      0x00000000,
  };
  AVSubtitleRect rect{};
  rect.x = 6;
  rect.y = 5;
  rect.w = 4;
  rect.h = 3;
  rect.nb_colors = 4;
  rect.data[0] = &bitmap[0][0];
  rect.data[1] = reinterpret_cast<uint8_t*>(palette);
  rect.linesize[0] = 4;
  DrawSubtitleRect(rect, picture.data(), W, H, W * 4);
  auto at = [&](int x, int y) { return &picture[(y * W + x) * 4]; };
  // Clamped to x 4..7, y 3..5.
  EXPECT_EQ(10, at(4, 3)[0]);  // index 0, alpha 0
  EXPECT_EQ(0, at(5, 3)[0]);   // opaque red: B 0, G 0, R 255
  EXPECT_EQ(0, at(5, 3)[1]);
  EXPECT_EQ(255, at(5, 3)[2]);
  EXPECT_EQ(77, at(5, 3)[3]);
  // Half blue (alpha 128): (old * 127 + new * 128) / 255.
  EXPECT_EQ((10 * 127 + 255 * 128) / 255, at(6, 3)[0]);
  EXPECT_EQ((20 * 127) / 255, at(6, 3)[1]);
  EXPECT_EQ((30 * 127) / 255, at(6, 3)[2]);
  EXPECT_EQ(255, at(4, 4)[2]);
  EXPECT_EQ((10 * 127 + 255 * 128) / 255, at(7, 5)[0]);
  // Outside the clamped rectangle nothing changed.
  EXPECT_EQ(30, at(3, 4)[2]);
  EXPECT_EQ(30, at(4, 2)[2]);
}

}  // namespace
