// Whole conversions of generated fixtures, checked with ffprobe and decoded samples and pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "EngineTestSupport.h"

using namespace vc;
using namespace vc::test;
using engine::TAVConverter;

namespace {

class ConversionTest : public ::testing::Test {
 protected:
  ConversionTest() { base::SetDispatcher(&Dispatcher); }
  ~ConversionTest() override { base::SetDispatcher(nullptr); }

  TRunRecord Run(TAVConverter& converter, const std::function<void(TAVConverter&)>& onProgress = {}) {
    return RunToEnd(converter, Dispatcher, onProgress);
  }

  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
};

double meanDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 1e9;
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
  return sum / static_cast<double>(a.size());
}

}  // namespace

TEST_F(ConversionTest, ReencodesVideoAndAudioIntoMp4AtANewSize) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("out.mp4");
  TAVConverter converter;
  SetFiles(converter, input, output);
  converter.ConvertOptions().VideoOptions.EncoderVideoCodecName = "mpeg4";
  converter.ConvertOptions().AudioOptions.EncoderAudioCodecName = "aac";
  converter.ConvertOptions().VideoOptions.FrameWidth = 640;
  converter.ConvertOptions().VideoOptions.FrameHeight = 360;
  converter.ConvertOptions().VideoOptions.Bitrate = 800000;
  // A frame rate in the options is replaced by the input's.
  converter.ConvertOptions().VideoOptions.FrameRate.num = 30000;
  converter.ConvertOptions().VideoOptions.FrameRate.den = 1001;
  const TRunRecord run = Run(converter);

  EXPECT_EQ(converter.ErrorText(), "");
  EXPECT_TRUE(Prompts.Errors.empty());
  EXPECT_EQ(run.Completed, 1);
  EXPECT_EQ(run.Stopped, 0);
  EXPECT_GE(run.Progress, 1);
  EXPECT_EQ(run.Events.back(), "complete");
  EXPECT_EQ(converter.State(), engine::TConverterState::Idle);
  EXPECT_EQ(converter.Progress(), 100);

  const TProbe in(input);
  const TProbe out(output);
  ASSERT_TRUE(out.Ok());
  ASSERT_EQ(out.StreamCount(), 2);
  EXPECT_EQ(out.Stream(0, "codec_type"), "video");
  EXPECT_EQ(out.Stream(0, "codec_name"), "mpeg4");
  EXPECT_EQ(out.Stream(0, "width"), "640");
  EXPECT_EQ(out.Stream(0, "height"), "360");
  EXPECT_EQ(out.Stream(0, "r_frame_rate"), "25/1");
  EXPECT_NEAR(out.StreamNumber(0, "duration"), in.StreamNumber(0, "duration"), 0.04);
  EXPECT_EQ(out.Stream(0, "nb_read_packets"), in.Stream(0, "nb_read_packets"));
  EXPECT_EQ(out.Stream(1, "codec_type"), "audio");
  EXPECT_EQ(out.Stream(1, "codec_name"), "aac");
  EXPECT_EQ(out.Stream(1, "sample_rate"), "48000");
  EXPECT_NEAR(out.StreamNumber(1, "duration"), in.StreamNumber(1, "duration"), 0.05);
  EXPECT_TRUE(DecodesCleanly(output));

  // The pictures are the input's, scaled.
  EXPECT_LT(meanDifference(DecodeGrey(input, 3.0, 160, 120), DecodeGrey(output, 3.0, 160, 120)), 6.0);
  // The sound is the input's tone at its level.
  auto peakOf = [](const std::vector<int16_t>& samples) {
    int peak = 0;
    for (size_t i = 2 * 48000; i < 4 * 48000 && i < samples.size(); ++i)
      peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
  };
  const auto samples = DecodeSamples(output);
  ASSERT_GT(samples.size(), 2u * 48000 * 15);
  EXPECT_NEAR(peakOf(samples), peakOf(DecodeSamples(input)), 200);
}

TEST_F(ConversionTest, CopiesStreamsIntoMatroskaPacketForPacket) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("copy.mkv");
  TAVConverter converter;
  SetFiles(converter, input, output);
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  converter.ConvertOptions().AudioOptions.AudioStreamCopy = true;
  Run(converter);
  EXPECT_EQ(converter.ErrorText(), "");

  const TProbe in(input);
  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 2);
  EXPECT_EQ(out.Get("format.format_name"), "matroska,webm");
  EXPECT_EQ(out.Stream(0, "codec_name"), "mpeg4");
  EXPECT_EQ(out.Stream(1, "codec_name"), "aac");
  // The fixture starts with a key frame, so every packet is copied.
  EXPECT_EQ(out.Stream(0, "nb_read_packets"), in.Stream(0, "nb_read_packets"));
  EXPECT_EQ(out.Stream(1, "nb_read_packets"), in.Stream(1, "nb_read_packets"));
  EXPECT_TRUE(DecodesCleanly(output));
}

TEST_F(ConversionTest, StartTimeAndRecordingTimeCutAPieceStartingAtZero) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("cut.mp4");
  TAVConverter converter;
  SetFiles(converter, input, output);
  converter.ConvertOptions().StartTime = 10000000;
  converter.ConvertOptions().RecordingTime = 5000000;
  Run(converter);
  EXPECT_EQ(converter.ErrorText(), "");

  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 2);
  EXPECT_NEAR(out.StreamNumber(0, "duration"), 5.0, 0.05);
  EXPECT_NEAR(out.StreamNumber(1, "duration"), 5.0, 0.05);
  EXPECT_LT(std::fabs(out.StreamNumber(0, "start_time")), 0.05);
  EXPECT_EQ(out.Stream(0, "nb_read_packets"), "125");
  // Its first picture is the input's picture at 10 s.
  EXPECT_LT(meanDifference(DecodeGrey(input, 10.0, 160, 120), DecodeGrey(output, 0.0, 160, 120)), 6.0);
  EXPECT_GT(meanDifference(DecodeGrey(input, 9.0, 160, 120), DecodeGrey(output, 0.0, 160, 120)), 6.0);
  EXPECT_EQ(converter.Progress(), 100);
}

TEST_F(ConversionTest, DisabledStreamKindsAreLeftOut) {
  struct TCase {
    bool NoAudio;
    bool NoVideo;
    const char* Kept;
  } cases[] = {{true, false, "video"}, {false, true, "audio"}};
  for (const auto& c : cases) {
    const std::string output = Dir.File(std::string("only-") + c.Kept + ".mkv");
    TAVConverter converter;
    SetFiles(converter, EngineFixture("av.mp4"), output);
    converter.ConvertOptions().AudioOptions.AudioDisable = c.NoAudio;
    converter.ConvertOptions().VideoOptions.VideoDisable = c.NoVideo;
    Run(converter);
    EXPECT_EQ(converter.ErrorText(), "");
    const TProbe out(output);
    ASSERT_EQ(out.StreamCount(), 1) << c.Kept;
    EXPECT_EQ(out.Stream(0, "codec_type"), c.Kept);
    EXPECT_NEAR(out.FormatNumber("duration"), 16.0, 0.1) << c.Kept;
  }
}

TEST_F(ConversionTest, ResamplesToAnotherRateAndMixesDownToMono) {
  const std::string output = Dir.File("mono.m4a");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().AudioOptions.AudioSampleRate = 44100;
  converter.ConvertOptions().AudioOptions.AudioChannels = 1;
  converter.ConvertOptions().VideoOptions.VideoDisable = true;
  Run(converter);
  EXPECT_EQ(converter.ErrorText(), "");
  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 1);
  EXPECT_EQ(out.Stream(0, "codec_name"), "aac");
  EXPECT_EQ(out.Stream(0, "sample_rate"), "44100");
  EXPECT_EQ(out.Stream(0, "channels"), "1");
  EXPECT_NEAR(out.StreamNumber(0, "duration"), 16.0, 0.05);
  const auto samples = DecodeSamples(output);
  ASSERT_NEAR(static_cast<double>(samples.size()), 16.0 * 44100, 44100 * 0.05);
  // Still the 440 Hz tone: count the rising zero crossings of one second.
  int crossings = 0;
  for (size_t i = 44100 * 4 + 1; i < 44100 * 5; ++i) crossings += samples[i - 1] < 0 && samples[i] >= 0;
  EXPECT_NEAR(crossings, 440, 2);
}

TEST_F(ConversionTest, VolumeScalesEverySampleByTheIntegerRule) {
  struct TCase {
    const char* Fixture;
    int Volume;
  } cases[] = {{"tone.wav", 128}, {"loud.wav", 512}};
  for (const auto& c : cases) {
    const std::string input = EngineFixture(c.Fixture);
    const std::string output = Dir.File("volume-" + std::to_string(c.Volume) + ".wav");
    TAVConverter converter;
    SetFiles(converter, input, output);
    converter.ConvertOptions().AudioOptions.AudioVolume = c.Volume;
    Run(converter);
    EXPECT_EQ(converter.ErrorText(), "");
    const auto in = DecodeSamples(input);
    const auto out = DecodeSamples(output);
    ASSERT_EQ(in.size(), out.size()) << c.Fixture;
    int mismatches = 0;
    int clipped = 0;
    for (size_t i = 0; i < in.size(); ++i) {
      const int expected = std::clamp((in[i] * c.Volume + 128) >> 8, -32768, 32767);
      mismatches += out[i] != expected;
      clipped += std::abs(out[i]) >= 32767;
    }
    EXPECT_EQ(mismatches, 0) << c.Fixture;
    if (c.Volume == 512) {
      EXPECT_GT(clipped, 1000);
    }
  }
}

TEST_F(ConversionTest, AStopDuringTheLoopLeavesAShorterCompleteFile) {
  const std::string output = Dir.File("stopped.mp4");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().VideoOptions.FrameWidth = 640;
  converter.ConvertOptions().VideoOptions.FrameHeight = 480;
  const TRunRecord run = Run(converter, [](TAVConverter& c) {
    if (c.ConvertedDuration() >= 3.0) c.Stop();
  });
  EXPECT_EQ(converter.ErrorText(), "");
  EXPECT_EQ(run.Stopped, 1);
  ASSERT_GE(run.Events.size(), 2u);
  EXPECT_EQ(run.Events[run.Events.size() - 2], "stopped");
  EXPECT_EQ(run.Events.back(), "complete");
  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 2);
  const double duration = out.FormatNumber("duration");
  EXPECT_GE(duration, 2.9);
  EXPECT_LT(duration, 15.0);
  EXPECT_TRUE(DecodesCleanly(output));
}
