// Delivery details on a graph with unpaced null renderers: subtitles on pictures, wider
// surfaces, seeks and their segments, "stream:" inputs, picture grabbing.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

#include "PreviewFixtures.h"
#include "base/Errors.h"
#include "media/Stream.h"
#include "media/StreamTable.h"
#include "preview/FFPushSource.h"
#include "preview/PictureGrab.h"

using namespace vc::preview;
using namespace vc::test;

namespace {

const uint8_t* pixel(const TRendererEntry& picture, int x, int y, int stride = 160 * 4) {
  return picture.Data.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4;
}

TEST(DeliveryTest, TextSubtitlesQueueNothing) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(TextSubtitleClip()));
  EXPECT_TRUE(rig.Player.HasSubtitle());
  EXPECT_EQ(1, rig.Player.SubtitleStreamCount());
  size_t queued = 0;
  rig.Player.Source()->SetOnBuffer([&](TFFPushSource* sender, uint8_t*, int32_t, int32_t) {
    queued = std::max(queued, sender->VideoPin().SubtitleCount());
  });
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  EXPECT_EQ(0u, queued);
  EXPECT_EQ(0u, rig.Source().VideoPin().SubtitleCount());
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(50u, pictures.size());
  for (size_t n = 0; n < pictures.size(); ++n) EXPECT_EQ(static_cast<int>(n), FrameNumber(pictures[n].Data.data(), 160, 120));
}

TEST(DeliveryTest, BitmapSubtitleIsDrawnInsideItsDisplayTimeOnly) {
  TPreviewRig rig(false);
  // The program stream carries the subpicture about half a second after the pictures of its
  // time. A renderer as fast as this one would get there first, so it waits at 0.8 s until the
  // subtitle is queued, as playing on the clock does anyway.
  int seen = 0;
  rig.Player.SetOnBuffer([&](TFFPushSource* sender, uint8_t*, int32_t, int32_t) {
    if (seen++ != 20) return;
    for (int i = 0; i < 1000 && sender->VideoPin().SubtitleCount() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  });
  ASSERT_TRUE(rig.Open(BitmapSubtitleClip()));
  ASSERT_TRUE(rig.Player.HasSubtitle());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(100u, pictures.size());
  int drawn = 0;
  for (const TRendererEntry& picture : pictures) {
    const double start = static_cast<double>(picture.Start) / 1e7;
    SCOPED_TRACE(start);
    int bright = 0;  // of the 60 x 20 pixels the box covers (white, a few dark specks)
    for (int y = 50; y < 70; ++y)
      for (int x = 50; x < 110; ++x) bright += pixel(picture, x, y)[2] > 0xA0;
    // Around the box nothing is ever drawn.
    for (int x = 49; x <= 110; ++x) {
      EXPECT_NEAR(0x40, pixel(picture, x, 49)[2], 4);
      EXPECT_NEAR(0x40, pixel(picture, x, 70)[2], 4);
    }
    for (int y = 49; y <= 70; ++y) {
      EXPECT_NEAR(0x40, pixel(picture, 49, y)[2], 4);
      EXPECT_NEAR(0x40, pixel(picture, 110, y)[2], 4);
    }
    // Display time 1.0 .. 2.0 s, both ends included.
    if (start > 1.0 - 1e-6 && start < 2.0 + 1e-6) {
      EXPECT_GT(bright, 1150);
      ++drawn;
    } else {
      EXPECT_EQ(0, bright);
    }
  }
  EXPECT_EQ(26, drawn);
}

TEST(DeliveryTest, AWiderSurfaceGetsThePictureRowByRow) {
  TPreviewRig rig(false);
  rig.Video->SetSurfaceWidth(192);
  std::mutex lock;
  std::vector<std::vector<uint8_t>> delivered;  // the pictures as OnBuffer saw them
  rig.Player.SetOnBuffer([&](TFFPushSource*, uint8_t* buffer, int32_t width, int32_t height) {
    std::lock_guard guard(lock);
    delivered.emplace_back(buffer, buffer + width * height * 4);
  });
  ASSERT_TRUE(rig.Open(NumberedClip()));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(static_cast<size_t>(kClipFrames), pictures.size());
  ASSERT_EQ(delivered.size(), pictures.size());
  EXPECT_EQ(192 * 4, rig.Source().VideoPin().SampleStride());
  EXPECT_EQ(160 * 4, rig.Source().VideoPin().Stride());
  for (size_t n = 0; n < pictures.size(); ++n) {
    SCOPED_TRACE(n);
    ASSERT_EQ(192 * 4, pictures[n].Stride);
    ASSERT_EQ(192 * 4 * 120, pictures[n].Length);
    for (int y = 0; y < 120; ++y)
      ASSERT_TRUE(std::equal(delivered[n].begin() + y * 640, delivered[n].begin() + (y + 1) * 640,
                             pictures[n].Data.begin() + y * 768))
          << "row " << y;
  }
}

TEST(DeliveryTest, EachSeekStartsASegmentWithADiscontinuityAndTimesFromTheNewStart) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor([](const auto& log) { return log.size() > 10; }, kWait));

  struct TCase {
    uint32_t Flags;
    int64_t Value;     // 100 ns
    int64_t Start;     // the segment start that results
    int FirstFrame;
  };
  // Absolute, relative to the segment start (not to what plays), backwards, into the last second.
  const TCase cases[] = {{AM_SEEKING_AbsolutePositioning, 15'200'000, 15'200'000, 38},
                         {AM_SEEKING_RelativePositioning, 10'000'000, 25'200'000, 63},
                         {AM_SEEKING_AbsolutePositioning, 4'000'000, 4'000'000, 10},
                         {AM_SEEKING_AbsolutePositioning, 36'000'000, 36'000'000, 90}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    rig.Video->ClearLog();
    rig.Sound->ClearLog();
    int64_t value = c.Value;
    ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&value, c.Flags, nullptr, 0));
    EXPECT_EQ(c.Start, rig.Graph.CurrentPosition());
    ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
    ASSERT_TRUE(rig.Sound->WaitFor(EndedStream, kWait));
    for (const auto& log : {rig.Video->Log(), rig.Sound->Log()}) {
      // Flush around the restart, then the new segment.
      auto segment = std::find_if(log.begin(), log.end(),
                                  [](const auto& e) { return e.Kind == TRendererEntry::TKind::NewSegment; });
      ASSERT_NE(log.end(), segment);
      EXPECT_EQ(c.Start, segment->SegmentStart);
      auto flush = std::find_if(log.begin(), segment,
                                [](const auto& e) { return e.Kind == TRendererEntry::TKind::EndFlush; });
      EXPECT_NE(segment, flush);
    }
    const auto pictures = SamplesOfLastSegment(rig.Video->Log());
    ASSERT_EQ(static_cast<size_t>(kClipFrames - c.FirstFrame), pictures.size());
    EXPECT_TRUE(pictures.front().Discontinuity);
    EXPECT_EQ(0, pictures.front().Start);
    EXPECT_EQ(c.FirstFrame, FrameNumber(pictures.front().Data.data(), 160, 120));
    for (size_t i = 1; i < pictures.size(); ++i) EXPECT_FALSE(pictures[i].Discontinuity);
    const auto sound = SamplesOfLastSegment(rig.Sound->Log());
    ASSERT_FALSE(sound.empty());
    EXPECT_TRUE(sound.front().Discontinuity);
    EXPECT_EQ(0, sound.front().Start);
    EXPECT_EQ(c.Start, sound.front().MediaStart);
  }
}

TEST(DeliveryTest, ASeekCoveringAPictureStartsWithThePictureShowingThen) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  int64_t at = 15'300'000;  // 1.53 s: inside frame 38 (1.52 .. 1.56)
  ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  ASSERT_TRUE(rig.Sound->WaitFor(EndedStream, kWait));
  const auto pictures = SamplesOfLastSegment(rig.Video->Log());
  ASSERT_FALSE(pictures.empty());
  EXPECT_EQ(38, FrameNumber(pictures.front().Data.data(), 160, 120));
  EXPECT_EQ(-100'000, pictures.front().Start);
  // The sound starts exactly at the new position.
  EXPECT_EQ(0, SamplesOfLastSegment(rig.Sound->Log()).front().Start);
}

// A stream object over a file's bytes, handed to the library as "stream:N".
class TFileBytes final : public vc::media::TStream {
 public:
  explicit TFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    FBytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  int32_t Read(void* buffer, int32_t count) override {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(FBytes.size()) - FPosition));
    if (n <= 0) return 0;
    std::memcpy(buffer, FBytes.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
  }
  int64_t Seek(int64_t offset, vc::media::TSeekOrigin origin) override {
    const int64_t base = origin == vc::media::TSeekOrigin::soBeginning ? 0
                         : origin == vc::media::TSeekOrigin::soCurrent ? FPosition
                                                                       : static_cast<int64_t>(FBytes.size());
    FPosition = std::clamp<int64_t>(base + offset, 0, static_cast<int64_t>(FBytes.size()));
    return FPosition;
  }

 private:
  std::vector<char> FBytes;
  int64_t FPosition = 0;
};

TEST(DeliveryTest, PlaysAStreamUrl) {
  TPreviewRig rig(false);
  const int32_t number = vc::media::StreamTable().Add(std::make_unique<TFileBytes>(BitmapSubtitleClip()));
  ASSERT_TRUE(rig.Open(vc::media::StreamUrl(number)));
  EXPECT_TRUE(rig.Player.HasVideo());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  EXPECT_GE(rig.Video->SampleCount(), 95u);
  int64_t at = 20'000'000;
  ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0));
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  const auto pictures = SamplesOfLastSegment(rig.Video->Log());
  ASSERT_FALSE(pictures.empty());
  EXPECT_LE(std::abs(pictures.front().Start), kFrameUnits);
}

TEST(DeliveryTest, AFailingFillEndsTheStreamAndAbortsTheGraph) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  // A pin whose type is not a picture type any more: its fill step fails.
  TMediaType sound;
  rig.Source().AudioPin().GetMediaType(0, &sound);
  rig.Source().VideoPin().TSourceStreamPin::SetMediaType(sound);
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Graph.WaitForCompletion(kWait));
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  EXPECT_EQ(0u, rig.Video->SampleCount());
  const auto events = rig.Graph.Events();
  const auto abort = std::find_if(events.begin(), events.end(),
                                  [](const TGraphEvent& e) { return e.Code == TGraphEvent::TCode::ErrorAbort; });
  ASSERT_NE(events.end(), abort);
  EXPECT_EQ(TResult::E_FAIL, abort->Result);
}

TEST(DeliveryTest, GrabsThePicturesFromATimeOn) {
  TGrabRequest request;
  request.Source = NumberedClip();
  request.At = 1.52;
  request.Count = 3;
  const auto pictures = GrabPictures(request);
  ASSERT_EQ(3u, pictures.size());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(38 + i, FrameNumber(pictures[i].Pixels.data(), 160, 120));
    EXPECT_NEAR(1.52 + 0.04 * i, pictures[i].Time, 1e-6);
    EXPECT_EQ(160 * 120 * 4u, pictures[i].Pixels.size());
  }
  request.At = 1.53;  // inside frame 38: the next one starts after it
  request.Count = 1;
  EXPECT_EQ(39, FrameNumber(GrabPictures(request).at(0).Pixels.data(), 160, 120));
  request.At = 3.96;
  request.Count = 5;  // only one is left
  EXPECT_EQ(1u, GrabPictures(request).size());
  request.Source = "/nonexistent.mp4";
  EXPECT_THROW(GrabPictures(request), vc::base::EVelocastError);
}

}  // namespace
