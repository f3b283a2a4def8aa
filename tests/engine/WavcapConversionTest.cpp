// Conversions from the "wavcap" input: the recorded samples in the output file, the recording
// limit, and a missing device ending the run with its error box.
#include <gtest/gtest.h>

#include <algorithm>

#include "EngineTestSupport.h"
#include "support/CaptureDevice.h"

using namespace vc;
using namespace vc::test;
using engine::TAVConverter;

namespace {

class WavcapConversionTest : public ::testing::Test {
 protected:
  WavcapConversionTest() { base::SetDispatcher(&Dispatcher); }
  ~WavcapConversionTest() override { base::SetDispatcher(nullptr); }

  void Capture(TAVConverter& converter, const std::string& output, int64_t microseconds) {
    SetFiles(converter, "default", output);
    converter.ConvertOptions().InputFormat = "wavcap";
    converter.ConvertOptions().AudioOptions.EncoderAudioCodecName = "pcm_s16le";
    converter.ConvertOptions().RecordingTime = microseconds;
  }

  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
};

}  // namespace

// A device at a sound card's pace: the packets' wall-clock stamps put the sound where it belongs.
TEST_F(WavcapConversionTest, TheRecordingHoldsTheDevicesSamplesUpToTheLimit) {
  const std::vector<int16_t> sound = TestSoundSamples(2 * 44100);
  TTestCaptureDevice device(sound, TTestCaptureDevice::TPace::RealTime);
  const std::string output = Dir.File("voice.wav");
  TAVConverter converter;
  Capture(converter, output, 1500000);
  const TRunRecord run = RunToEnd(converter, Dispatcher);
  ASSERT_EQ(converter.ErrorText(), "");
  EXPECT_EQ(run.Completed, 1);
  const TProbe probe(output);
  EXPECT_EQ(probe.Stream(0, "codec_name"), "pcm_s16le");
  EXPECT_EQ(probe.Stream(0, "sample_rate"), "44100");
  EXPECT_EQ(probe.Stream(0, "channels"), "1");
  const std::vector<int16_t> recorded = DecodeSamples(output);
  // 1.5 s from the start of the recording, give or take a period at either end.
  EXPECT_GE(recorded.size(), 66150u - 2048u);
  EXPECT_LE(recorded.size(), 66150u + 2048u);
  const long offset = FindSoundRun(recorded, sound);
  EXPECT_GE(offset, 0) << "the recording is not the device's sound";
  EXPECT_LE(offset, 2048);
}

TEST_F(WavcapConversionTest, AMissingDeviceEndsTheRunWithItsErrorBox) {
  TTestCaptureDevice missing;
  TAVConverter converter;
  Capture(converter, Dir.File("none.wav"), 1000000);
  const TRunRecord run = RunToEnd(converter, Dispatcher);
  EXPECT_EQ(run.Completed, 1);
  EXPECT_EQ(converter.ErrorText(), "Could not open file:-5!");
  ASSERT_EQ(Prompts.Errors.size(), 1u);
  EXPECT_EQ(Prompts.Errors[0], "Could not open file:-5!:wave capture error:No such file or directory");
}

TEST_F(WavcapConversionTest, StoppingEndsTheCaptureAndKeepsTheFile) {
  TTestCaptureDevice device(TestSoundSamples(44100));
  const std::string output = Dir.File("stopped.wav");
  TAVConverter converter;
  Capture(converter, output, INT64_MAX);  // no limit: only the stop ends it
  int progress = 0;
  RunToEnd(converter, Dispatcher, [&](TAVConverter& c) {
    if (++progress == 3) c.Stop();
  });
  EXPECT_EQ(converter.ErrorText(), "");
  EXPECT_GT(DecodeSamples(output).size(), 0u);
  // The device is free again: another capture opens.
  TAVConverter again;
  Capture(again, Dir.File("again.wav"), 100000);
  RunToEnd(again, Dispatcher);
  EXPECT_EQ(again.ErrorText(), "");
}
