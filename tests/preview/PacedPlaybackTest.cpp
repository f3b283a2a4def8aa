// Playing on the clock: every picture is presented near its time, and after a seek sound and
// pictures start together. The checks measure presentation against the clock, so their margins
// leave room for a loaded machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "PreviewFixtures.h"
#include "preview/MediaSeeking.h"

using namespace vc::preview;
using namespace vc::test;

namespace {

constexpr int64_t kEarly = 2 * 10'000;  // 2 ms: a sample is never presented before its time

void expectOnTime(const std::vector<TRendererEntry>& samples, int64_t frame) {
  ASSERT_FALSE(samples.empty());
  size_t late = 0;
  for (const TRendererEntry& s : samples) {
    SCOPED_TRACE(s.Start);
    const int64_t lateness = s.PresentedAt - std::max<int64_t>(s.Start, 0);
    EXPECT_GE(lateness, -kEarly);
    EXPECT_LE(lateness, 3 * frame);
    if (lateness > frame) ++late;
  }
  // Within one frame time of its stamp; a few stragglers are allowed for a busy machine.
  EXPECT_LE(late, samples.size() / 20);
}

TEST(PacedPlaybackTest, PicturesOnTimeAndSoundWithPicturesAfterASeek) {
  TPreviewRig rig(true);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Play());
  ASSERT_TRUE(rig.Video->WaitFor([](const auto& log) { return SamplesOfLastSegment(log).size() >= 30; }, kWait));
  const auto first = SamplesOfLastSegment(rig.Video->Log());
  for (size_t n = 0; n < first.size(); ++n) EXPECT_EQ(static_cast<int>(n), FrameNumber(first[n].Data.data(), 160, 120));
  expectOnTime(first, kFrameUnits);

  // Seek while running to 2.4 s and play to the end.
  rig.Video->ClearLog();
  rig.Sound->ClearLog();
  int64_t at = 24'000'000;
  ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0));
  ASSERT_TRUE(rig.Graph.WaitForCompletion(kWait));
  const auto pictures = SamplesOfLastSegment(rig.Video->Log());
  const auto sound = SamplesOfLastSegment(rig.Sound->Log());
  ASSERT_EQ(40u, pictures.size());  // frames 60 to 99, every one
  EXPECT_EQ(60, FrameNumber(pictures.front().Data.data(), 160, 120));
  expectOnTime(pictures, kFrameUnits);
  expectOnTime(sound, 16384 * 10'000'000LL / (44100 * 4));
  EXPECT_LE(std::llabs(pictures.front().PresentedAt - sound.front().PresentedAt), 40 * 10'000);
  EXPECT_NEAR(static_cast<double>(rig.Graph.Duration()), static_cast<double>(rig.Graph.CurrentPosition()), 2e6);
}

}  // namespace
