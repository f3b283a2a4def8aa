// The converter as a component: state rules, pause and stop, refusing a second start, destruction
// while running, events and their threads, and two converters side by side.
#include <gtest/gtest.h>

#include <time.h>

#include <atomic>
#include <mutex>
#include <stdexcept>

#include "EngineTestSupport.h"
#include "engine/Progress.h"

using namespace vc;
using namespace vc::test;
using engine::TAVConverter;
using engine::TConverterState;

namespace {

class ConverterTest : public ::testing::Test {
 protected:
  ConverterTest() { base::SetDispatcher(&Dispatcher); }
  ~ConverterTest() override { base::SetDispatcher(nullptr); }

  // Serves the converter until done() holds.
  void PumpUntil(const std::function<bool()>& done) {
    while (!done()) Dispatcher.waitForMessages(std::chrono::milliseconds(10));
  }

  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
};

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// A re-encode, caught in the middle by its progress events.
void setSlowConversion(TAVConverter& converter, const std::string& output) {
  SetFiles(converter, EngineFixture("av.mp4"), output);
}

}  // namespace

TEST_F(ConverterTest, StateRequestsOnlyChangeTheStatesTheyApplyTo) {
  TAVConverter converter;
  converter.Stop();
  EXPECT_EQ(converter.State(), TConverterState::Idle);
  converter.Pause();
  EXPECT_EQ(converter.State(), TConverterState::Idle);
  converter.Resume();
  EXPECT_EQ(converter.State(), TConverterState::Idle);
  EXPECT_FALSE(converter.Busy());
  EXPECT_EQ(converter.LogLevel(), 24);
  EXPECT_EQ(converter.Progress(), 0);
  EXPECT_EQ(converter.RemainingSeconds(), 362439);
}

TEST_F(ConverterTest, APausedWorkerUsesNoCpuAndResumingFinishesTheRun) {
  const std::string output = Dir.File("paused.mp4");
  TAVConverter converter;
  setSlowConversion(converter, output);
  bool paused = false;
  int progressWhilePaused = 0;
  int completed = 0;
  converter.OnProgress = [&](TAVConverter& c) {
    if (paused) ++progressWhilePaused;
    if (!paused && c.ConvertedDuration() >= 2.0) {
      c.Pause();
      c.Pause();  // a second pause changes nothing
      paused = true;
    }
  };
  converter.OnComplete = [&](TAVConverter&) { ++completed; };
  ASSERT_TRUE(converter.Start());
  PumpUntil([&] { return paused; });
  EXPECT_EQ(converter.State(), TConverterState::Paused);
  const double converted = converter.ConvertedDuration();
  const double cpuBefore = processCpuSeconds();
  for (int i = 0; i < 30; ++i) Dispatcher.waitForMessages(std::chrono::milliseconds(10));
  const double cpuUsed = processCpuSeconds() - cpuBefore;
  EXPECT_LT(cpuUsed, 0.05);
  EXPECT_EQ(converter.ConvertedDuration(), converted);
  EXPECT_EQ(progressWhilePaused, 0);
  EXPECT_TRUE(converter.Busy());
  EXPECT_FALSE(converter.Start());  // refused while a run is in progress

  converter.Resume();
  EXPECT_EQ(converter.State(), TConverterState::Running);
  converter.Resume();  // resuming a running converter changes nothing
  EXPECT_EQ(converter.State(), TConverterState::Running);
  PumpUntil([&] { return completed == 1 && !converter.Busy(); });
  EXPECT_EQ(converter.ErrorText(), "");
  EXPECT_NEAR(TProbe(output).FormatNumber("duration"), 16.0, 0.1);
}

TEST_F(ConverterTest, StoppingWhilePausedEndsTheRunWithAFinishedFile) {
  const std::string output = Dir.File("paused-stopped.mp4");
  TAVConverter converter;
  setSlowConversion(converter, output);
  std::vector<std::string> events;
  converter.OnProgress = [&](TAVConverter& c) {
    if (c.ConvertedDuration() >= 2.0 && c.State() == TConverterState::Running) {
      c.Pause();
      events.push_back("paused");
    }
  };
  converter.OnStopped = [&](TAVConverter&) { events.push_back("stopped"); };
  converter.OnComplete = [&](TAVConverter&) { events.push_back("complete"); };
  ASSERT_TRUE(converter.Start());
  PumpUntil([&] { return !events.empty(); });
  converter.Stop();
  PumpUntil([&] { return events.back() == "complete" && !converter.Busy(); });
  EXPECT_EQ(events, (std::vector<std::string>{"paused", "stopped", "complete"}));
  EXPECT_EQ(converter.ErrorText(), "");
  const double duration = TProbe(output).FormatNumber("duration");
  EXPECT_GT(duration, 1.5);
  EXPECT_LT(duration, 6.0);
  EXPECT_TRUE(DecodesCleanly(output));
}

TEST_F(ConverterTest, DestroyingARunningConverterStopsItAndFinalisesTheOutput) {
  const std::string output = Dir.File("destroyed.mp4");
  {
    TAVConverter converter;
    setSlowConversion(converter, output);
    bool started = false;
    converter.OnProgress = [&](TAVConverter& c) { started = c.ConvertedDuration() > 1.0; };
    converter.OnComplete = [](TAVConverter&) { FAIL() << "no event reaches an owner that is going away"; };
    ASSERT_TRUE(converter.Start());
    PumpUntil([&] { return started; });
  }
  EXPECT_TRUE(DecodesCleanly(output));
  EXPECT_LT(TProbe(output).FormatNumber("duration"), 15.0);
}

TEST_F(ConverterTest, AFailingProgressHandlerIsShownAndTheRunGoesOn) {
  const std::string output = Dir.File("handler.mkv");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  converter.ConvertOptions().AudioOptions.AudioStreamCopy = true;
  int failures = 0;
  const TRunRecord run = RunToEnd(converter, Dispatcher, [&](TAVConverter&) {
    if (failures++ == 0) throw std::runtime_error("handler failed");
  });
  EXPECT_EQ(converter.ErrorText(), "");
  ASSERT_EQ(Prompts.Errors.size(), 1u);
  EXPECT_EQ(Prompts.Errors[0], "handler failed");
  EXPECT_EQ(run.Completed, 1);
  EXPECT_NEAR(TProbe(output).FormatNumber("duration"), 16.0, 0.1);
}

TEST_F(ConverterTest, TwoConvertersAtOnceEachGetOnlyTheirOwnLogLines) {
  struct TSide {
    std::string Output;
    const char* Encoder;
    int Rate;     // requested
    int Granted;  // the encoder's nearest listed rate
    TAVConverter Converter;
    std::mutex Mutex;
    std::vector<std::string> Lines;
    bool Done = false;
  };
  TSide a, b;
  a.Output = Dir.File("a.mp2"), a.Encoder = "mp2", a.Rate = 8000, a.Granted = 16000;
  b.Output = Dir.File("b.ac3"), b.Encoder = "ac3", b.Rate = 22050, b.Granted = 32000;
  for (TSide* side : {&a, &b}) {
    SetFiles(side->Converter, EngineFixture("av.mp4"), side->Output);
    side->Converter.ConvertOptions().AudioOptions.EncoderAudioCodecName = side->Encoder;
    side->Converter.ConvertOptions().AudioOptions.AudioSampleRate = side->Rate;
    side->Converter.OnLog = [side](TAVConverter&, int, const std::string& line) {
      std::lock_guard lock(side->Mutex);
      side->Lines.push_back(line);
    };
    side->Converter.OnComplete = [side](TAVConverter&) { side->Done = true; };
  }
  ASSERT_TRUE(a.Converter.Start());
  ASSERT_TRUE(b.Converter.Start());
  PumpUntil([&] { return a.Done && b.Done && !a.Converter.Busy() && !b.Converter.Busy(); });
  for (TSide* side : {&a, &b}) {
    SCOPED_TRACE(side->Encoder);
    EXPECT_EQ(side->Converter.ErrorText(), "");
    const TSide& other = side == &a ? b : a;
    const std::string own = "Requested sampling rate unsupported using closest supported (" + std::to_string(side->Granted) + ")";
    const std::string foreign = "Requested sampling rate unsupported using closest supported (" + std::to_string(other.Granted) + ")";
    int ownCount = 0, foreignCount = 0;
    for (const auto& line : side->Lines) {
      ownCount += line == own;
      foreignCount += line == foreign;
    }
    EXPECT_EQ(ownCount, 1);
    EXPECT_EQ(foreignCount, 0);
    const TProbe out(side->Output);
    ASSERT_EQ(out.StreamCount(), 1);
    EXPECT_EQ(out.Stream(0, "sample_rate"), std::to_string(side->Granted));
    EXPECT_NEAR(out.FormatNumber("duration"), 16.0, 0.15);
  }
}

TEST(ProgressTest, PercentFollowsTheConvertedRange) {
  struct TCase {
    int64_t Start;      // µs
    int64_t Recording;  // µs
    double Duration;    // s
    double Converted;   // s
    int Expected;
  } cases[] = {
      {0, INT64_MAX, 100, 25, 25},
      {30000000, 20000000, 100, 5, 25},
      {0, 20000000, 100, 10, 50},
      {0, INT64_MAX, 0, 0, 0},
      {100000000, INT64_MAX, 100, 1, 0},  // a start at the very end leaves nothing to measure
      {0, INT64_MAX, 10, 10.2, 100},
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine::ComputeProgress(c.Start, c.Recording, c.Duration, c.Converted), c.Expected)
        << c.Start << " " << c.Recording << " " << c.Converted;
  EXPECT_EQ(engine::ComputeRemainingSeconds(0, 60), 362439);
  EXPECT_EQ(engine::ComputeRemainingSeconds(25, 60), 180);
}
