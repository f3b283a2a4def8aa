// The decoding source on a graph with unpaced null renderers: what reaches the renderers, in
// what order and with which times.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "PreviewFixtures.h"
#include "base/Errors.h"
#include "preview/FFPushSource.h"
#include "support/TestSupport.h"

using namespace vc::preview;
using namespace vc::test;

namespace {

std::vector<int> frameNumbers(const std::vector<TRendererEntry>& samples, int width, int height) {
  std::vector<int> numbers;
  for (const auto& s : samples) numbers.push_back(FrameNumber(s.Data.data(), width, height));
  return numbers;
}

TEST(SourceTest, PlaysEveryPictureAndTheSoundInOrderWithTheirTimes) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  EXPECT_EQ(160, rig.Player.VideoWidth());
  EXPECT_EQ(120, rig.Player.VideoHeight());
  EXPECT_EQ(rig.Sound->ProvidedClock(), &rig.Graph.Clock());  // sound renders: its clock leads
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  ASSERT_TRUE(rig.Sound->WaitFor(EndedStream, kWait));

  const auto log = rig.Video->Log();
  ASSERT_EQ(TRendererEntry::TKind::NewSegment, log.front().Kind);
  EXPECT_EQ(0, log.front().SegmentStart);
  EXPECT_EQ(40'000'000, log.front().SegmentStop);
  EXPECT_EQ(1.0, log.front().Rate);
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(static_cast<size_t>(kClipFrames), pictures.size());
  const std::vector<int> numbers = frameNumbers(pictures, 160, 120);
  for (int n = 0; n < kClipFrames; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(n, numbers[n]);
    EXPECT_EQ(n * kFrameUnits, pictures[n].Start);
    EXPECT_EQ((n + 1) * kFrameUnits, pictures[n].Stop);
    EXPECT_EQ(n == 0, pictures[n].Discontinuity);
    EXPECT_TRUE(pictures[n].SyncPoint);
    EXPECT_EQ(160 * 120 * 4, pictures[n].Length);
  }

  const auto sound = rig.Sound->Samples();
  ASSERT_FALSE(sound.empty());
  EXPECT_TRUE(sound.front().Discontinuity);
  EXPECT_EQ(0, sound.front().Start);
  int64_t bytes = 0;
  for (size_t i = 0; i < sound.size(); ++i) {
    bytes += sound[i].Length;
    if (i > 0) {
      EXPECT_EQ(sound[i - 1].Stop, sound[i].Start);
    }
  }
  EXPECT_NEAR(4.0 * 44100 * 4, static_cast<double>(bytes), 2048 * 4);
}


TEST(SourceTest, AnAudioOnlyFileDeliversOnlySound) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(SurroundWav()));
  EXPECT_FALSE(rig.Player.HasVideo());
  EXPECT_TRUE(rig.Player.HasAudio());
  EXPECT_EQ(0, rig.Player.VideoWidth());
  EXPECT_EQ(0, rig.Player.VideoHeight());
  EXPECT_FALSE(rig.Video->IsConnected());
  // Six channels are mixed down to two, 16-bit.
  const TMediaType type = rig.Sound->CurrentMediaType();
  ASSERT_NE(nullptr, type.WaveFormat());
  EXPECT_EQ(2, type.WaveFormat()->Channels);
  EXPECT_EQ(48000u, type.WaveFormat()->SamplesPerSec);
  EXPECT_EQ(16, type.WaveFormat()->BitsPerSample);
  EXPECT_EQ(4, type.WaveFormat()->BlockAlign);
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Sound->WaitFor(EndedStream, kWait));
  int64_t bytes = 0;
  for (const auto& s : rig.Sound->Samples()) bytes += s.Length;
  EXPECT_EQ(2 * 48000 * 4, bytes);
  EXPECT_TRUE(rig.Video->Log().empty());
}

TEST(SourceTest, DisabledAudioIsNotEvenListed) {
  TPreviewRig rig(false);
  rig.Player.SetDisableAudio(true);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  EXPECT_EQ(0, rig.Player.AudioStreamCount());
  EXPECT_EQ(1, rig.Player.VideoStreamCount());
  EXPECT_FALSE(rig.Player.HasAudio());
  EXPECT_FALSE(rig.Sound->IsConnected());
  EXPECT_NE(rig.Sound->ProvidedClock(), &rig.Graph.Clock());  // no sound: the steady clock
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  EXPECT_EQ(static_cast<size_t>(kClipFrames), rig.Video->SampleCount());
}

TEST(SourceTest, LoopCountTwoStampsTheSecondPassOneDurationLater) {
  TPreviewRig rig(false);
  rig.Player.SetLoopCount(2);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  EXPECT_EQ(80'000'000, rig.Graph.Duration());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  ASSERT_TRUE(rig.Sound->WaitFor(EndedStream, kWait));
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(static_cast<size_t>(2 * kClipFrames), pictures.size());
  const std::vector<int> numbers = frameNumbers(pictures, 160, 120);
  for (int n = 0; n < kClipFrames; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(n, numbers[n + kClipFrames]);
    EXPECT_EQ(pictures[n].Start + 40'000'000, pictures[n + kClipFrames].Start);
    EXPECT_FALSE(pictures[n + kClipFrames].Discontinuity);
  }
  // The sound runs on into the second pass (the coded sound may end a little after the
  // container's duration, so the passes can overlap by that much).
  const auto sound = rig.Sound->Samples();
  const double buffer = 16384 / (44100.0 * 4) * 1e7;
  for (size_t i = 1; i < sound.size(); ++i)
    EXPECT_NEAR(static_cast<double>(sound[i - 1].Stop), static_cast<double>(sound[i].Start), buffer) << i;
  EXPECT_NEAR(80'000'000.0, static_cast<double>(sound.back().Stop), 2 * buffer);
}

TEST(SourceTest, PicturesWithoutTimeStampsStartAtTheVideoClock) {
  TPreviewRig rig(false);
  ASSERT_TRUE(rig.Open(RawH264()));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
  const auto pictures = rig.Video->Samples();
  ASSERT_EQ(50u, pictures.size());
  const std::vector<int> numbers = frameNumbers(pictures, 160, 120);
  for (size_t n = 0; n < pictures.size(); ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(static_cast<int>(n), numbers[n]);
    // Each picture starts where the previous one ended: at the clock, one frame on.
    EXPECT_EQ(static_cast<int64_t>(n) * kFrameUnits, pictures[n].Start);
    EXPECT_EQ(pictures[n].Start + kFrameUnits, pictures[n].Stop);
  }
}

TEST(SourceTest, FilterTextBuildsTheGraphBetweenSourceAndSink) {
  auto parsed = [](const std::vector<std::string>& names) {
    int count = 0;
    for (const auto& name : names) count += name.rfind("Parsed_", 0) == 0;
    return count;
  };
  {
    TPreviewRig rig(false);
    rig.Player.SetVideoFilters("  \t ");
    ASSERT_TRUE(rig.Open(NumberedClip()));
    const auto names = rig.Source().VideoFilterNames();
    EXPECT_EQ(0, parsed(names));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "src"));
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "out"));
    ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
    ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
    EXPECT_EQ(static_cast<size_t>(kClipFrames), rig.Video->SampleCount());

    // A new text rebuilds the graph at once, and the pictures take the new size.
    rig.Player.SetVideoFilters("scale=80:60");
    EXPECT_EQ(1, parsed(rig.Source().VideoFilterNames()));
    EXPECT_EQ(80, rig.Player.VideoWidth());
    EXPECT_EQ(60, rig.Player.VideoHeight());
    const TMediaType type = rig.Video->CurrentMediaType();
    ASSERT_NE(nullptr, type.VideoInfo());
    EXPECT_EQ(80, type.VideoInfo()->Header.Width);
    int64_t at = 10'000'000;
    ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0));
    ASSERT_TRUE(rig.Video->WaitFor([](const auto& log) { return EndedStream(log); }, kWait));
    const auto pictures = SamplesOfLastSegment(rig.Video->Log());
    ASSERT_EQ(75u, pictures.size());
    EXPECT_EQ(80 * 60 * 4, pictures.front().Length);
    EXPECT_EQ(25, FrameNumber(pictures.front().Data.data(), 80, 60));
  }
  {
    // The same text in other case and blanks is no change.
    TPreviewRig rig(false);
    rig.Player.SetVideoFilters("vflip");
    ASSERT_TRUE(rig.Open(NumberedClip()));
    EXPECT_EQ(1, parsed(rig.Source().VideoFilterNames()));
    rig.Player.SetVideoFilters("  VFLIP ");  // would not parse: it must not reach the source
    EXPECT_EQ("vflip", rig.Player.VideoFilters());
    EXPECT_EQ(1, parsed(rig.Source().VideoFilterNames()));
  }
  {
    TPreviewRig rig(false);
    rig.Player.SetVideoFilters("nosuchfilter=1");
    try {
      rig.Player.OpenFile(NumberedClip());
      FAIL() << "no error";
    } catch (const vc::base::EVelocastError& e) {
      EXPECT_STREQ("Parse Graph Failed", e.what());
    }
  }
}

TEST(SourceTest, OnlyBottomFieldFirstPicturesAreDeinterlaced) {
  for (const bool bottomFirst : {true, false}) {
    SCOPED_TRACE(bottomFirst);
    TPreviewRig rig(false);
    ASSERT_TRUE(rig.Open(InterlacedClip(bottomFirst)));
    ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
    ASSERT_TRUE(rig.Video->WaitFor(EndedStream, kWait));
    const auto names = rig.Source().VideoFilterNames();
    EXPECT_EQ(bottomFirst, std::find(names.begin(), names.end(), "deinterlace") != names.end());
    // The deinterlacer holds one picture back; the end of the input brings it out.
    const auto pictures = rig.Video->Samples();
    ASSERT_EQ(25u, pictures.size());
    for (size_t n = 0; n < pictures.size(); ++n) EXPECT_EQ(static_cast<int64_t>(n) * kFrameUnits, pictures[n].Start);
  }
}

TEST(SourceTest, LoadFailures) {
  TFFPushSource source;
  EXPECT_EQ(TResult::E_POINTER, source.Load(nullptr, nullptr));
  EXPECT_EQ(TResult::E_FAIL, source.Load("/nonexistent/clip.mp4", nullptr));
  vc::test::TTempDir dir;
  vc::test::WriteFile(dir.File("only.srt"), "1\n00:00:00,500 --> 00:00:01,500\nHello\n");
  EXPECT_EQ(TResult::E_FAIL, source.Load(dir.File("only.srt").c_str(), nullptr));  // neither audio nor video
  EXPECT_EQ(TResult::E_FAIL, source.Load("stream:999999", nullptr));
  try {
    source.SetLoopCount(0);
    FAIL() << "no error";
  } catch (const vc::base::EVelocastError& e) {
    EXPECT_STREQ("Loop count must be larger than 0", e.what());
  }
  ASSERT_EQ(TResult::S_OK, source.Load(NumberedClip().c_str(), nullptr));
  EXPECT_EQ(TResult::E_UNEXPECTED, source.Load(NumberedClip().c_str(), nullptr));
  std::string name;
  TMediaType type;
  ASSERT_EQ(TResult::S_OK, source.GetCurFile(&name, &type));
  EXPECT_EQ(NumberedClip(), name);
  EXPECT_EQ(TMajorType::Stream, type.Major);
  EXPECT_TRUE(type.TemporalCompression);
  EXPECT_EQ(1u, type.SampleSize);

  TAVPlayer player;
  player.SetLoopCount(0);
  EXPECT_THROW(player.OpenFile(NumberedClip()), vc::base::EVelocastError);
  player.SetLoopCount(1);
  EXPECT_FALSE(player.OpenFile("/nonexistent/clip.mp4"));
  EXPECT_TRUE(player.FileName().empty());
}

}  // namespace
