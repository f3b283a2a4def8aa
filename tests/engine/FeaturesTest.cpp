// Sync methods, frame limits, two-pass encoding, filter chains, subtitles, bitstream filters,
// chapters, metadata and the report numbers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "EngineTestSupport.h"
#include "engine/VideoPath.h"

using namespace vc;
using namespace vc::test;
using engine::TAVConverter;

namespace {

class FeaturesTest : public ::testing::Test {
 protected:
  FeaturesTest() { base::SetDispatcher(&Dispatcher); }
  ~FeaturesTest() override { base::SetDispatcher(nullptr); }
  TRunRecord Run(TAVConverter& converter) {
    TRunRecord run = RunToEnd(converter, Dispatcher);
    EXPECT_EQ(converter.ErrorText(), "");
    return run;
  }
  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
};

std::string firstLine(const std::string& command) {
  std::string out;
  RunCommand(command, &out);
  return out.substr(0, out.find('\n'));
}

}  // namespace

TEST(VideoSyncTest, CopiesFollowTheSyncMethod) {
  struct TCase {
    int Method;
    bool VariableRate;
    double SyncTime;     // encoder ticks
    int64_t SyncOpts;    // before
    int Copies;
    int64_t SyncOptsAfter;
  } cases[] = {
      {1, false, 10.0, 10, 1, 10},   // on time
      {1, false, 12.4, 10, 2, 10},   // 2.4 ticks late: encoded twice
      {1, false, 8.8, 10, 0, 10},    // 1.2 ticks early: dropped
      {1, false, 11.0, 10, 1, 10},   // within 1.1: once
      {2, false, 10.7, 10, 1, 11},   // drop-only: a late picture moves the clock
      {2, false, 15.0, 10, 1, 15},   // never duplicated
      {2, false, 9.3, 10, 0, 10},    // 0.7 early: dropped
      {-1, true, 15.0, 10, 1, 15},   // automatic with a variable-rate format: drop-only
      {-1, false, 12.4, 10, 2, 10},  // automatic otherwise: constant rate
      {0, false, 7.6, 10, 1, 8},     // pass-through: the clock follows the picture
  };
  for (const auto& c : cases) {
    int64_t syncOpts = c.SyncOpts;
    EXPECT_EQ(engine::VideoFrameCopies(c.SyncTime, syncOpts, c.Method, c.VariableRate), c.Copies)
        << c.Method << " " << c.SyncTime;
    EXPECT_EQ(syncOpts, c.SyncOptsAfter) << c.Method << " " << c.SyncTime;
  }
}

TEST_F(FeaturesTest, VideoSyncMethodsFillOrKeepTheGapsOfAVariableRateInput) {
  struct TCase {
    int Method;
    int Frames;
  } cases[] = {{1, 98}, {2, 80}, {0, 80}};
  for (const auto& c : cases) {
    const std::string output = Dir.File("sync" + std::to_string(c.Method) + ".mp4");
    TAVConverter converter;
    SetFiles(converter, EngineFixture("vfr.mkv"), output);
    converter.ConvertOptions().VideoOptions.VideoSyncMethod = c.Method;
    Run(converter);
    const TProbe out(output);
    EXPECT_NEAR(std::stoi(out.Stream(0, "nb_read_packets")), c.Frames, 1) << c.Method;
    EXPECT_NEAR(out.StreamNumber(0, "duration"), 4.0, 0.1) << c.Method;
  }
}

TEST_F(FeaturesTest, AudioSyncPadsAudioThatStartsLateWithSilence) {
  struct TCase {
    int Method;
    double AudioStart;  // s, in the output
  } cases[] = {{1, 0.0}, {0, 0.5}};
  for (const auto& c : cases) {
    const std::string output = Dir.File("late" + std::to_string(c.Method) + ".mkv");
    TAVConverter converter;
    SetFiles(converter, EngineFixture("late.mkv"), output);
    converter.ConvertOptions().AudioOptions.AudioSyncMethod = c.Method;
    converter.ConvertOptions().AudioOptions.EncoderAudioCodecName = "pcm_s16le";
    converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
    Run(converter);
    const TProbe out(output);
    ASSERT_EQ(out.StreamCount(), 2);
    EXPECT_NEAR(out.StreamNumber(1, "start_time"), c.AudioStart, 0.03) << c.Method;
    if (c.Method == 1) {
      // 0.5 s of silence, then the tone.
      const auto samples = DecodeSamples(output, 1);
      ASSERT_GT(samples.size(), 48000u);
      int loudBefore = 0, loudAfter = 0;
      for (size_t i = 0; i < 23000; ++i) loudBefore += std::abs(samples[i]) > 100;
      for (size_t i = 25000; i < 48000; ++i) loudAfter += std::abs(samples[i]) > 100;
      EXPECT_EQ(loudBefore, 0);
      EXPECT_GT(loudAfter, 10000);
      EXPECT_NEAR(static_cast<double>(samples.size()) / 48000, 6.0, 0.05);
    }
  }
}

TEST_F(FeaturesTest, MaxFramesEndsTheConversionAfterThatManyPictures) {
  const std::string output = Dir.File("max.mp4");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().VideoOptions.MaxFrames = 100;
  Run(converter);
  const TProbe out(output);
  EXPECT_EQ(out.Stream(0, "nb_read_packets"), "100");
  EXPECT_LT(out.FormatNumber("duration"), 5.0);
}

TEST_F(FeaturesTest, TwoPassEncodingWritesThenReadsTheStatisticsFile) {
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(Dir.Path());
  for (int pass = 1; pass <= 2; ++pass) {
    TAVConverter converter;
    SetFiles(converter, EngineFixture("av.mp4"), Dir.File("pass" + std::to_string(pass) + ".mp4"));
    converter.ConvertOptions().AudioOptions.AudioDisable = true;
    converter.ConvertOptions().VideoOptions.EncoderVideoCodecName = "mpeg4";
    converter.ConvertOptions().VideoOptions.Bitrate = 200000;
    converter.ConvertOptions().VideoOptions.SetPass(pass);
    Run(converter);
    if (pass == 1) {
      const std::string stats = ReadFile(Dir.File("ffmpeg2pass-0.log"));
      EXPECT_GT(std::count(stats.begin(), stats.end(), '\n'), 300) << "one line per frame";
    }
  }
  std::filesystem::current_path(previous);
  const TProbe out(Dir.File("pass2.mp4"));
  EXPECT_EQ(out.Stream(0, "nb_read_packets"), "400");
  EXPECT_NEAR(out.StreamNumber(0, "bit_rate"), 200000, 40000);
}

TEST_F(FeaturesTest, AFilterChainRunsBetweenScalerAndSink) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("vflip.mp4");
  TAVConverter converter;
  SetFiles(converter, input, output);
  converter.ConvertOptions().FilterOptions.VideoFilters = "vflip";
  converter.ConvertOptions().VideoOptions.FrameWidth = 160;
  converter.ConvertOptions().VideoOptions.FrameHeight = 120;
  Run(converter);
  const auto in = DecodeGrey(input, 2.0, 160, 120);
  const auto out = DecodeGrey(output, 2.0, 160, 120);
  ASSERT_EQ(in.size(), out.size());
  double flipped = 0, straight = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) {
      flipped += std::abs(out[static_cast<size_t>(y * 160 + x)] - in[static_cast<size_t>((119 - y) * 160 + x)]);
      straight += std::abs(out[static_cast<size_t>(y * 160 + x)] - in[static_cast<size_t>(y * 160 + x)]);
    }
  EXPECT_LT(flipped / (160 * 120), 8.0);
  EXPECT_GT(straight, flipped * 2);
}

TEST_F(FeaturesTest, DvbSubtitlesGiveAShowAndAClearPacketPerSubtitle) {
  const std::string output = Dir.File("dvb.ts");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("subs.mkv"), output);
  converter.ConvertOptions().SubtitleOptions.SubtitleCodecName = "dvbsub";
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  Run(converter);
  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 2);
  EXPECT_EQ(out.Stream(1, "codec_name"), "dvb_subtitle");
  EXPECT_EQ(out.Stream(1, "nb_read_packets"), "4");
  // The second packet of the first subtitle comes when it ends, one second after the first.
  std::string times;
  RunCommand("ffprobe -v error -select_streams s -show_entries packet=pts_time -of csv=p=0 '" + output + "'", &times);
  std::vector<double> pts;
  std::istringstream lines(times);
  for (std::string line; std::getline(lines, line);)
    if (!line.empty()) pts.push_back(std::stod(line));
  ASSERT_EQ(pts.size(), 4u);
  EXPECT_NEAR(pts[1] - pts[0], 1.0, 0.05);
  EXPECT_NEAR(pts[2] - pts[0], 2.0, 0.05);
}

TEST_F(FeaturesTest, BitstreamFiltersRunInOrderAndABadNameIsReported) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("bsf.mkv");
  TAVConverter converter;
  SetFiles(converter, input, output);
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  converter.ConvertOptions().AudioOptions.AudioDisable = true;
  converter.ConvertOptions().MuxerOptions.VideoBitstreamFilters.Add("nosuchfilter");
  converter.ConvertOptions().MuxerOptions.VideoBitstreamFilters.Add("dump_extra");
  Run(converter);
  ASSERT_EQ(Prompts.Errors.size(), 1u);
  EXPECT_EQ(Prompts.Errors[0], "Invalid BitstreamFilter nosuchfilter");
  // dump_extra puts the stream's headers in front of every key frame.
  const std::string probe = "ffprobe -v error -select_streams v -show_entries packet=size -read_intervals %+#1 -of csv=p=0 '";
  const int inSize = std::stoi(firstLine(probe + input + "'"));
  const int outSize = std::stoi(firstLine(probe + output + "'"));
  const int extra = std::stoi(firstLine("ffprobe -v error -select_streams v -show_entries stream=extradata_size -of csv=p=0 '" + input + "'"));
  ASSERT_GT(extra, 0);
  EXPECT_EQ(outSize, inSize + extra);
}

TEST_F(FeaturesTest, ChaptersAreCopiedAndTrimmedToTheConvertedRange) {
  const std::string output = Dir.File("chapters.mkv");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("chapters.mkv"), output);
  converter.ConvertOptions().StartTime = 2000000;
  converter.ConvertOptions().RecordingTime = 8000000;
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  converter.ConvertOptions().AudioOptions.AudioStreamCopy = true;
  Run(converter);
  std::string text;
  RunCommand("ffprobe -v error -show_chapters -of csv=p=0 -show_entries chapter=start_time,end_time '" + output + "'", &text);
  EXPECT_EQ(text, "0.000000,2.000000,Chapter 1\n2.000000,6.000000,Chapter 2\n6.000000,8.000000,Chapter 3\n");
}

TEST_F(FeaturesTest, MetadataLinesAndLanguagesAreWritten) {
  const std::string output = Dir.File("meta.mkv");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().MetaData.Add("title=Velocast test");
  converter.ConvertOptions().MetaData.Add("comment=converted");
  converter.ConvertOptions().VideoOptions.VideoLanguage = "eng";
  converter.ConvertOptions().AudioOptions.AudioLanguage = "fre";
  converter.ConvertOptions().VideoOptions.VideoStreamCopy = true;
  converter.ConvertOptions().AudioOptions.AudioStreamCopy = true;
  Run(converter);
  const TProbe out(output);
  EXPECT_EQ(out.Get("format.tags.title"), "Velocast test");
  EXPECT_EQ(out.Get("format.tags.COMMENT"), "converted");
  EXPECT_EQ(out.Stream(0, "tags.language"), "eng");
  EXPECT_EQ(out.Stream(1, "tags.language"), "fre");
}

TEST_F(FeaturesTest, TheReportGivesSizesAndBitRate) {
  const std::string input = EngineFixture("av.mp4");
  const std::string output = Dir.File("report.mkv");
  TAVConverter converter;
  SetFiles(converter, input, output);
  EXPECT_EQ(converter.RemainingSeconds(), 362439);
  Run(converter);
  EXPECT_EQ(converter.OutputSize(), static_cast<int64_t>(std::filesystem::file_size(output)));
  EXPECT_EQ(converter.InputSize(), static_cast<int64_t>(std::filesystem::file_size(input)));
  EXPECT_NEAR(converter.Bitrate(), converter.OutputSize() * 8 / 16.0 / 1000, converter.Bitrate() * 0.05);
  EXPECT_GT(converter.StartTime(), 0);
  EXPECT_GE(converter.LastTime(), converter.StartTime());
  EXPECT_NEAR(converter.Duration(), 16.0, 0.1);
  EXPECT_EQ(converter.Progress(), 100);
}
