// velocast-cli convert from the sound capture: ten seconds of the default capture device into
// an MP3 file.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/CaptureDevice.h"
#include "support/TestSupport.h"

using namespace vc::test;

TEST(WavcapCliTest, ConvertRecordsTenSecondsFromTheDefaultDevice) {
  // At a sound card's pace, so the recording takes the ten seconds it records.
  TTestCaptureDevice device(TestSoundSamples(44100 * 21 / 2), TTestCaptureDevice::TPace::RealTime);
  TTempDir dir;
  TTempDir config;
  const std::string target = dir.File("voice.mp3");
  std::string out;
  const int rc = RunCommand(device.Environment() + "XDG_CONFIG_HOME=" + config.Path() + " " + VELOCAST_CLI_PATH +
                                " convert --input-format wavcap --profile \"MP3 Audio\" -o " + target + " --end 10 default 2>&1",
                            &out);
  ASSERT_EQ(rc, 0) << out;
  std::string probe;
  RunCommand("ffprobe -v error -show_entries stream=codec_name:format=duration -of default=nw=1 " + target, &probe);
  EXPECT_NE(probe.find("codec_name=mp3"), std::string::npos) << probe;
  double duration = 0;
  const auto at = probe.find("duration=");
  ASSERT_NE(at, std::string::npos) << probe;
  std::sscanf(probe.c_str() + at + 9, "%lf", &duration);
  EXPECT_NEAR(duration, 10.0, 0.1);
}
