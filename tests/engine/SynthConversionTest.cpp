// The "synth" filter in conversions: decoded pictures of a lossless output against the source's,
// chains around the stages, scripts that fail, a synth without script, and a program without
// the script library.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>

#include "EngineTestSupport.h"
#include "base/ObjectXml.h"

using namespace vc;
using namespace vc::test;
using engine::TAVConverter;

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr size_t kFrameBytes = kWidth * kHeight * 3 / 2;

// One second of testsrc2 at 10 fps, lossless, so decoded pictures are exact.
std::string sourceFixture() {
  const fs::path dir = fs::path(VELOCAST_FIXTURE_DIR) / "engine";
  fs::create_directories(dir);
  const fs::path path = dir / "synth-source.mkv";
  if (fs::exists(path)) return path.string();
  const std::string temp = (dir / (".tmp-" + std::to_string(getpid()) + "-synth-source.mkv")).string();
  const std::string command = "ffmpeg -nostdin -y -v error -f lavfi -i testsrc2=size=64x48:rate=10:duration=1 "
                              "-c:v ffv1 -pix_fmt yuv420p -f matroska " + temp;
  if (RunCommand(command + " > /dev/null 2>&1") != 0) throw std::runtime_error("cannot make " + path.string());
  fs::rename(temp, path);
  return path.string();
}

// Every picture of file as packed YUV 4:2:0, decoded by the ffmpeg program into raw.
std::vector<uint8_t> decodeAll(const std::string& file, const std::string& raw) {
  if (RunCommand("ffmpeg -nostdin -y -v error -i '" + file + "' -f rawvideo -pix_fmt yuv420p '" + raw + "'") != 0) return {};
  std::ifstream in(raw, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Sample (x, y) of plane p in frame f of packed pictures.
struct TPlaneAt {
  int Width, Height;
  size_t Offset;
};
TPlaneAt planeOf(int p) {
  const size_t luma = kWidth * kHeight;
  if (p == 0) return {kWidth, kHeight, 0};
  return {kWidth / 2, kHeight / 2, luma + (p == 2 ? luma / 4 : 0)};
}

// The source's pictures, each sample moved and mapped as a filter chain would.
using TSampleMap = std::function<uint8_t(const std::vector<uint8_t>& in, size_t frame, int plane, int x, int y)>;
std::vector<uint8_t> transformed(const std::vector<uint8_t>& in, const TSampleMap& map) {
  std::vector<uint8_t> out(in.size());
  for (size_t f = 0; f < in.size() / kFrameBytes; ++f)
    for (int p = 0; p < 3; ++p) {
      const TPlaneAt plane = planeOf(p);
      for (int y = 0; y < plane.Height; ++y)
        for (int x = 0; x < plane.Width; ++x)
          out[f * kFrameBytes + plane.Offset + static_cast<size_t>(y * plane.Width + x)] = map(in, f, p, x, y);
    }
  return out;
}

uint8_t sampleAt(const std::vector<uint8_t>& in, size_t frame, int p, int x, int y) {
  const TPlaneAt plane = planeOf(p);
  return in[frame * kFrameBytes + plane.Offset + static_cast<size_t>(y * plane.Width + x)];
}

class SynthConversionTest : public ::testing::Test {
 protected:
  SynthConversionTest() { base::SetDispatcher(&Dispatcher); }
  ~SynthConversionTest() override { base::SetDispatcher(nullptr); }

  // Converts the fixture to a lossless file through filters; the file's name, or "" after a failure.
  std::string Convert(const std::string& filters, const std::string& name) {
    const std::string output = Dir.File(name + ".mkv");
    TAVConverter converter;
    converter.OnLog = [this](TAVConverter&, int, const std::string& line) {
      std::lock_guard lock(LogMutex);
      Log.push_back(line);
    };
    SetFiles(converter, sourceFixture(), output);
    converter.ConvertOptions().VideoOptions.EncoderVideoCodecName = "ffv1";
    converter.ConvertOptions().FilterOptions.VideoFilters = filters;
    RunToEnd(converter, Dispatcher);
    Error = converter.ErrorText();
    return Error.empty() ? output : std::string();
  }

  base::TQueueDispatcher Dispatcher;
  TRecordingPrompts Prompts;
  TTempDir Dir;
  std::string Error;
  std::mutex LogMutex;
  std::vector<std::string> Log;  // lines of the conversions' logs
};

}  // namespace

TEST_F(SynthConversionTest, EveryPictureGoesThroughTheScriptAndTheFiltersAroundIt) {
  const std::vector<uint8_t> source = decodeAll(sourceFixture(), Dir.File("source.yuv"));
  ASSERT_EQ(source.size(), 10 * kFrameBytes);
  auto negative = [](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
    return static_cast<uint8_t>(255 - sampleAt(in, f, p, x, y));
  };
  struct TCase {
    const char* Filters;
    TSampleMap Expected;
  } cases[] = {
      {"synth=Invert()", negative},
      {"synth=Tweak(bright=10|cont=1.2)",
       [](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
         const uint8_t s = sampleAt(in, f, p, x, y);
         return p ? s : static_cast<uint8_t>(std::clamp(std::lround((s - 16) * 1.2 + 26), 0L, 255L));
       }},
      // A script that fails leaves the pictures as they are.
      {"synth=Tweak(bright=10|cont=20)", [](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
         return sampleAt(in, f, p, x, y);
       }},
      {"synth=NoSuchFunction()", [](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
         return sampleAt(in, f, p, x, y);
       }},
      // Flipped upside down before the script, mirrored after it.
      {"vflip,synth=Invert(),hflip",
       [&](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
         const TPlaneAt plane = planeOf(p);
         return negative(in, f, p, plane.Width - 1 - x, plane.Height - 1 - y);
       }},
      {"synth=FlipVertical(),synth=Invert()",
       [&](const std::vector<uint8_t>& in, size_t f, int p, int x, int y) {
         return negative(in, f, p, x, planeOf(p).Height - 1 - y);
       }},
  };
  int index = 0;
  for (const auto& c : cases) {
    const std::string output = Convert(c.Filters, "out" + std::to_string(index++));
    ASSERT_FALSE(output.empty()) << c.Filters << ": " << Error;
    const std::vector<uint8_t> decoded = decodeAll(output, output + ".yuv");
    ASSERT_EQ(decoded.size(), source.size()) << c.Filters;
    EXPECT_TRUE(decoded == transformed(source, c.Expected)) << c.Filters;
  }
}

TEST_F(SynthConversionTest, AFailingScriptSaysWhyInTheLog) {
  ASSERT_FALSE(Convert("synth=NoSuchFunction()", "logged").empty()) << Error;
  // Once, not for every picture.
  EXPECT_EQ(std::count_if(Log.begin(), Log.end(),
                          [](const std::string& l) {
                            return l.find("synth: there is no function named \"NoSuchFunction\"") != std::string::npos;
                          }),
            1);
}

TEST_F(SynthConversionTest, ASynthWithoutScriptFailsTheFilters) {
  for (const char* filters : {"synth", "vflip,synth=", "[in]synth=Invert()[out]"}) {
    EXPECT_EQ(Convert(filters, "none"), "") << filters;
    EXPECT_EQ(Error, "Error opening filters!") << filters;
  }
}

// velocast-cli run, from the build folder (the library beside it) and from a folder of its own
// without the library.
TEST_F(SynthConversionTest, WithoutTheLibraryFileTheConversionCannotLoadIt) {
  engine::TAVConvertOptions options;
  options.VideoOptions.EncoderVideoCodecName = "ffv1";
  options.FilterOptions.VideoFilters = "synth=Invert()";
  const std::string written = base::WriteObjectXml(options);
  const auto begin = written.find("<TAVConvertOptions>") + std::string("<TAVConvertOptions>").size();
  const auto end = written.rfind("</TAVConvertOptions>");
  const std::string settings = Dir.File("settings.xml");
  const std::string target = Dir.File("cli.mkv");
  WriteFile(settings, "<data PropFormat=\"node\"><TConversionSettings><SourceFile>" + sourceFixture() +
                          "</SourceFile><TargetFile>" + target + "</TargetFile><ConvertOptions>" +
                          written.substr(begin, end - begin) + "</ConvertOptions></TConversionSettings></data>");
  TTempDir config;
  const std::string environment = "XDG_CONFIG_HOME=" + config.Path() + " ";

  std::string out;
  EXPECT_EQ(RunCommand(environment + VELOCAST_CLI_PATH + " run " + settings + " 2>&1", &out), 0) << out;
  EXPECT_EQ(decodeAll(target, target + ".yuv").size(), 10 * kFrameBytes);

  const std::string alone = Dir.File("velocast-cli");
  std::error_code ec;
  fs::create_hard_link(VELOCAST_CLI_PATH, alone, ec);
  if (ec) fs::copy_file(VELOCAST_CLI_PATH, alone);
  fs::remove(target);
  EXPECT_NE(RunCommand(environment + alone + " run " + settings + " 2>&1", &out), 0) << out;
  EXPECT_NE(out.find("Can not load libvelocast-scriptclip.so"), std::string::npos) << out;
}
