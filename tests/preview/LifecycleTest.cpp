// Sources destroyed, paused, sought and switched while their threads run: nothing may crash or
// hang. Run under the sanitizer build as well.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "PreviewFixtures.h"
#include "base/Errors.h"
#include "preview/FFPushSource.h"

using namespace vc::preview;
using namespace vc::test;
using namespace std::chrono_literals;

namespace {

TEST(LifecycleTest, DestroyingASourceWhileItsThreadsRun) {
  // In a running graph, paced: the graph is torn down around the threads.
  for (int round = 0; round < 3; ++round) {
    TPreviewRig rig(true);
    ASSERT_TRUE(rig.Open(NumberedClip()));
    ASSERT_EQ(TResult::S_OK, rig.Graph.Play());
    std::this_thread::sleep_for(std::chrono::milliseconds(30 * round));
  }
  // Outside a graph: pins connected straight to paced renderers that hold a picture while
  // paused, the decoder filling the queues; the source alone is destroyed.
  for (int round = 0; round < 3; ++round) {
    auto video = std::make_shared<TNullRenderer>(TMajorType::Video, true);
    auto sound = std::make_shared<TNullRenderer>(TMajorType::Audio, true);
    TSteadyClock clock;
    video->SetClock(&clock);
    sound->SetClock(&clock);
    {
      auto source = std::make_unique<TFFPushSource>();
      ASSERT_EQ(TResult::S_OK, source->Load(NumberedClip().c_str(), nullptr));
      ASSERT_EQ(TResult::S_OK, source->VideoPin().Connect(*video));
      ASSERT_EQ(TResult::S_OK, source->AudioPin().Connect(*sound));
      video->Pause();
      sound->Pause();
      ASSERT_EQ(TResult::S_OK, source->Pause());
      if (round > 0) {
        ASSERT_TRUE(video->WaitCued(5s));
      }
      if (round == 2) {
        video->Run(clock.Now());
        sound->Run(clock.Now());
        std::this_thread::sleep_for(50ms);
      }
    }
    EXPECT_FALSE(video->IsConnected());
    EXPECT_FALSE(sound->IsConnected());
  }
  // Loaded, never rendered: only the decoder thread runs.
  { TFFPushSource source; ASSERT_EQ(TResult::S_OK, source.Load(NumberedClip().c_str(), nullptr)); }
}

TEST(LifecycleTest, SeekingWhilePausedAndWhilePlaying) {
  TPreviewRig rig(true);
  ASSERT_TRUE(rig.Open(NumberedClip()));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  const int64_t targets[] = {30'000'000, 5'000'000, 5'000'000, 39'600'000, 0, 20'000'000, 12'345'678};
  for (int64_t target : targets) {
    int64_t value = target;
    ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&value, AM_SEEKING_AbsolutePositioning, nullptr, 0));
    EXPECT_EQ(target, rig.Graph.CurrentPosition());
    EXPECT_TRUE(rig.Video->WaitCued(5s));
  }
  // The still picture of the paused graph is the one at the last position (frame 30, 1.2 .. 1.24 s,
  // shows at 1.2345678 s).
  const auto log = rig.Video->Log();
  const auto cue = std::find_if(log.rbegin(), log.rend(), [](const auto& e) { return e.Kind == TRendererEntry::TKind::Cue; });
  ASSERT_NE(log.rend(), cue);
  EXPECT_EQ(30, FrameNumber(cue->Data.data(), 160, 120));
  ASSERT_EQ(TResult::S_OK, rig.Graph.Play());
  for (int64_t target : targets) {
    int64_t value = target;
    ASSERT_EQ(TResult::S_OK, rig.Graph.SetPositions(&value, AM_SEEKING_AbsolutePositioning, nullptr, 0));
    std::this_thread::sleep_for(20ms);
  }
  ASSERT_EQ(TResult::S_OK, rig.Graph.Pause());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Stop());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Play());
  std::this_thread::sleep_for(50ms);
}

TEST(LifecycleTest, SwitchingStreamsWhilePlaying) {
  TPreviewRig rig(true);
  ASSERT_TRUE(rig.Open(TwoAudioClip()));
  ASSERT_EQ(2, rig.Player.AudioStreamCount());
  ASSERT_EQ(TResult::S_OK, rig.Graph.Play());
  ASSERT_TRUE(rig.Sound->WaitFor([](const auto& log) { return log.size() > 3; }, kWait));

  rig.Player.SetAudioIndex(1);  // mono 22.05 kHz: the sound renderer is asked to take the new format
  const TMediaType mono = rig.Sound->CurrentMediaType();
  ASSERT_NE(nullptr, mono.WaveFormat());
  EXPECT_EQ(1, mono.WaveFormat()->Channels);
  EXPECT_EQ(22050u, mono.WaveFormat()->SamplesPerSec);
  rig.Sound->ClearLog();
  ASSERT_TRUE(rig.Sound->WaitFor([](const auto& log) { return log.size() > 2; }, kWait));

  rig.Player.SetAudioIndex(0);
  EXPECT_EQ(2, rig.Sound->CurrentMediaType().WaveFormat()->Channels);
  rig.Player.SetVideoIndex(0);  // the current one: nothing happens
  rig.Player.SetVideoFilters("scale=80:60");
  EXPECT_EQ(80, rig.Video->CurrentMediaType().VideoInfo()->Header.Width);
  rig.Player.SetAudioIndex(1);
  rig.Player.SetVideoFilters("");
  EXPECT_EQ(160, rig.Video->CurrentMediaType().VideoInfo()->Header.Width);
  rig.Video->ClearLog();
  ASSERT_TRUE(rig.Video->WaitFor([](const auto& log) { return !log.empty(); }, kWait));
  EXPECT_THROW(rig.Player.SetAudioIndex(2), vc::base::EAssertionFailed);
}

}  // namespace
