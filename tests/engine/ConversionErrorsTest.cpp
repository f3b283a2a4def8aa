// Failures of the set-up, the stream mapping and the codecs reach ErrorText and the error box
// (joined with the last log line), and the run still ends with OnComplete.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "EngineTestSupport.h"
#include "base/Format.h"

extern "C" {
#include <libavutil/error.h>
}

using namespace vc;
using namespace vc::test;
using engine::TAVConvertOptions;
using engine::TAVConverter;

namespace {

class ConversionErrorsTest : public ::testing::Test {
 protected:
  ConversionErrorsTest() { base::SetDispatcher(&Dispatcher); }
  ~ConversionErrorsTest() override { base::SetDispatcher(nullptr); }
  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
};

struct TErrorCase {
  const char* Name;
  std::string Input;   // empty: av.mp4
  std::string Output;  // file name in the temporary folder, or an absolute path
  std::function<void(TAVConvertOptions&)> Setup;
  std::string Expected;
};

}  // namespace

TEST_F(ConversionErrorsTest, EveryFailureEndsTheRunWithItsMessageAndCompletion) {
  const std::string av = EngineFixture("av.mp4");
  const std::vector<TErrorCase> cases = {
      {"missing input", Dir.File("none.mp4"), "out.mp4", {}, base::Format("Could not open file:%d!", AVERROR(ENOENT))},
      {"unknown encoder", "", "out.mp4", [](auto& o) { o.VideoOptions.EncoderVideoCodecName = "nosuchcodec"; },
       "Unknown Codec Name"},
      {"encoder of another type", "", "out.mp4", [](auto& o) { o.VideoOptions.EncoderVideoCodecName = "aac"; },
       "Invalid codec type"},
      {"unknown decoder", "", "out.mp4", [](auto& o) { o.AudioOptions.DecoderAudioCodecName = "nosuchcodec"; },
       "Unknown Codec Name"},
      {"unknown forced formats", "", "out.mp4",
       [](auto& o) {
         o.InputFormat = "nosuchin";
         o.OutputFormat = "nosuchout";
       },
       "Unknown input nosuchin or Output format nosuchout"},
      {"unknown output format", "", "out.qqq", {},
       base::Format("Unable to find a suitable output format for %s", Dir.File("out.qqq").c_str())},
      {"too few maps", "", "out.mp4", [](auto& o) { o.StreamMaps.Add("0=0"); },
       "Number of stream maps must match number of output streams"},
      {"map beyond the streams", "", "out.mp4",
       [](auto& o) {
         o.StreamMaps.Add("0=5");
         o.StreamMaps.Add("0=1");
       },
       "Could not find input stream #0.5"},
      {"map of another type", "", "out.mp4",
       [](auto& o) {
         o.StreamMaps.Add("0=1");
         o.StreamMaps.Add("0=0");
       },
       "Codec type mismatch for mapping #0.1 -> #0.0"},
      {"map that is not a number", "", "out.mp4",
       [](auto& o) {
         o.StreamMaps.Add("x=0");
         o.StreamMaps.Add("0=1");
       },
       "'x' is not a valid integer value"},
      {"copy with volume", "", "out.mkv",
       [](auto& o) {
         o.AudioOptions.AudioStreamCopy = true;
         o.AudioOptions.AudioVolume = 512;
       },
       "-acodec copy and -vol are incompatible (frames are not decoded)"},
      {"no stream left", "", "out.mp4",
       [](auto& o) {
         o.AudioOptions.AudioDisable = true;
         o.VideoOptions.VideoDisable = true;
       },
       "Output file does not contain any stream"},
      {"output folder cannot be made", "", "/proc/velocast-none/out.mp4", {}, "Could not open file"},
      {"encoder refuses the size", "", "out.3gp", [](auto& o) { o.VideoOptions.EncoderVideoCodecName = "h263"; },
       "Error while opening codec for output stream - maybe incorrect parameters such as bit_rate, rate, width or height"},
      {"muxer refuses the codec", "", "out.mp4", [](auto& o) { o.AudioOptions.EncoderAudioCodecName = "pcm_s16le"; },
       "Could not write header for output file  (incorrect codec parameters ?)"},
      {"unknown filter", "", "out.mp4", [](auto& o) { o.FilterOptions.VideoFilters = "nosuchfilter"; },
       "Error opening filters!"},
      {"subtitle stream without an encoder", EngineFixture("subs.mkv"), "subs-out.mkv",
       [](auto& o) { o.VideoOptions.VideoStreamCopy = true; }, "Unsupported codec for output stream "},
      {"output is the input", "", av, {},
       base::Format("Output file %s is the input file %s; choose another output file name", av.c_str(), av.c_str())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Prompts.Errors.clear();
    TAVConverter converter;
    const std::string output = c.Output.front() == '/' ? c.Output : Dir.File(c.Output);
    SetFiles(converter, c.Input.empty() ? av : c.Input, output);
    if (c.Setup) c.Setup(converter.ConvertOptions());
    const TRunRecord run = RunToEnd(converter, Dispatcher);
    EXPECT_EQ(converter.ErrorText(), c.Expected);
    ASSERT_EQ(Prompts.Errors.size(), 1u);
    EXPECT_EQ(Prompts.Errors[0], c.Expected + ":" + converter.LastLogLine());
    EXPECT_EQ(run.Completed, 1);
    EXPECT_EQ(run.Stopped, 0);
    EXPECT_EQ(run.Events.back(), "complete");
    EXPECT_EQ(converter.State(), engine::TConverterState::Idle);
  }
  // The refused output did not touch the input.
  EXPECT_TRUE(DecodesCleanly(av));
}

TEST_F(ConversionErrorsTest, CodecOptionsWithBadValuesAreReportedAndUnknownNamesSkipped) {
  const std::string output = Dir.File("options.mp4");
  TAVConverter converter;
  SetFiles(converter, EngineFixture("av.mp4"), output);
  converter.ConvertOptions().VideoOptions.VideoDisable = true;
  converter.ConvertOptions().CodecOptions.Add("nosuchoption=1");
  converter.ConvertOptions().CodecOptions.Add("ar=fast");
  converter.ConvertOptions().CodecOptions.Add("ab=64000");
  RunToEnd(converter, Dispatcher);
  EXPECT_EQ(converter.ErrorText(), "");
  ASSERT_EQ(Prompts.Errors.size(), 1u);
  EXPECT_EQ(Prompts.Errors[0], "Invalid value for Option!");
  const TProbe out(output);
  ASSERT_EQ(out.StreamCount(), 1);
  // The option set by name reached the encoder.
  EXPECT_NEAR(out.StreamNumber(0, "bit_rate"), 64000, 8000);
}
