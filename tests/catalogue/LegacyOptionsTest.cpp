// The stored H.264 presets and option lines use names of an older library generation; the engine
// translates them on the way in. libx264 writes the settings it ran with into the stream, so the
// file shows whether each translated option reached its place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CatalogueSupport.h"
#include "profiles/AVX264Profile.h"

namespace vc::test {
namespace {

using profiles::TPreset;

// The settings line libx264 stores in its first SEI ("options: cabac=1 ref=3 ...").
std::string x264Settings(const std::string& file) {
  const std::string bytes = ReadFile(file);
  const size_t start = bytes.find("options: ");
  if (start == std::string::npos) return "";
  return bytes.substr(start, bytes.find('\0', start) - start) + " ";
}

void setH264(engine::TAVConvertOptions& options) {
  options.VideoOptions.EncoderVideoCodecName = "libx264";
  options.VideoOptions.Bitrate = 400000;
  options.AudioOptions.AudioDisable = true;
}

void expectNoOptionComplaint(const TConversionResult& run) {
  EXPECT_EQ(run.ErrorText, "");
  EXPECT_TRUE(run.ErrorBoxes.empty()) << run.ErrorBoxes.front();
  for (const auto& line : run.Log) {
    EXPECT_EQ(line.find("is not known to this media library"), std::string::npos) << line;
    EXPECT_EQ(line.find("has no equivalent"), std::string::npos) << line;
  }
}

struct TPresetCase {
  TPreset Preset;
  const char* Name;
  std::vector<std::string> Settings;  // what the encoder must report, each followed by a blank
};

// Generic options (subme, ref, trellis), private ones (me, b_adapt, direct from "directpred", qp
// from "cqp"), the "flags2" members split into switches and the "partitions" list (the second
// "analyse" mask: i4x4 1, p8x8 0x10, p4x4 0x20, b8x8 0x100; a cleared item stays off).
const TPresetCase kPresets[] = {
    {TPreset::basic, "basic",
     {"analyse=0x3:0x113", "me=hex", "subme=7", "ref=3", "trellis=1", "mixed_ref=1", "weightb=1", "8x8dct=1",
      "b_adapt=1", "direct=1", "weightp=2", "keyint=250", "keyint_min=25", "scenecut=40"}},
    // Without the 8x8 transform x264 drops the intra 8x8 partitions as well.
    {TPreset::FastFirstPass, "FastFirstPass",
     {"analyse=0x1:0 ", "me=dia", "subme=2", "ref=1", "trellis=0", "mixed_ref=0", "weightb=0", "8x8dct=0",
      "b_pyramid=0", "direct=3"}},
    {TPreset::SlowFirstPass, "SlowFirstPass", {"me=hex", "subme=6", "ref=1", "b_adapt=2", "direct=3", "8x8dct=1"}},
    {TPreset::Common, "Common", {"me=hex", "subme=6", "ref=2", "b_adapt=1", "direct=3"}},
    {TPreset::HighQuality, "HighQuality", {"me=umh", "subme=8", "ref=4", "trellis=1", "b_adapt=2", "mixed_ref=1"}},
    {TPreset::Best, "Best",
     {"analyse=0x3:0x133", "me=tesa", "subme=10", "me_range=24", "ref=16", "trellis=2", "fast_pskip=0", "b_adapt=2"}},
    {TPreset::LosslessFast, "LosslessFast", {"analyse=0x3:0x11 ", "subme=3", "rc=cqp", "qp=0", "weightp=0"}},
    {TPreset::LosslessMedium, "LosslessMedium", {"analyse=0x3:0x31 ", "subme=5", "rc=cqp", "qp=0", "weightp=2"}},
    {TPreset::LosslessSlow, "LosslessSlow", {"me=umh", "subme=6", "ref=2", "rc=cqp", "qp=0", "8x8dct=1"}},
    {TPreset::LosslessSlower, "LosslessSlower", {"me=umh", "subme=8", "ref=4", "rc=cqp", "qp=0", "mixed_ref=1"}},
    {TPreset::LosslessMax, "LosslessMax", {"me=esa", "subme=8", "ref=16", "rc=cqp", "qp=0"}},
};

void PrintTo(const TPresetCase& c, std::ostream* os) { *os << c.Name; }

class CatalogueX264PresetTest : public ::testing::TestWithParam<TPresetCase> {
 protected:
  TTempDir Dir;
};

TEST_P(CatalogueX264PresetTest, EveryPresetLineReachesTheEncoder) {
  engine::TAVConvertOptions options;
  setH264(options);
  profiles::TAVX264Profile preset;
  preset.preset = GetParam().Preset;
  ASSERT_TRUE(preset.Apply(options));
  const TConversionResult run = RunConversion(options, Clip().Path, Dir.File("preset.mp4"));
  expectNoOptionComplaint(run);
  const std::string settings = x264Settings(run.Output);
  ASSERT_FALSE(settings.empty());
  for (const auto& s : GetParam().Settings) {
    const std::string wanted = s.back() == ' ' ? s : s + " ";
    EXPECT_NE(settings.find(" " + wanted), std::string::npos) << wanted << " not in " << settings;
  }
}

INSTANTIATE_TEST_SUITE_P(Presets, CatalogueX264PresetTest, ::testing::ValuesIn(kPresets),
                         [](const ::testing::TestParamInfo<TPresetCase>& info) { return std::string(info.param.Name); });

TEST(CatalogueLegacyOptions, AnOldNameWithoutEquivalentOrAnUnknownNameIsOneLogLineAndNoBox) {
  TTempDir dir;
  engine::TAVConvertOptions options;
  setH264(options);
  options.CodecOptions = base::TStrings{"flags2=+skiprd", "nosuchoption=1", "g=12"};
  const TConversionResult run = RunConversion(options, Clip().Path, dir.File("rest.mp4"));
  EXPECT_EQ(run.ErrorText, "");
  EXPECT_TRUE(run.ErrorBoxes.empty()) << run.ErrorBoxes.front();
  std::vector<std::string> complaints;
  for (const auto& line : run.Log)
    if (line.find("media library") != std::string::npos) complaints.push_back(line);
  EXPECT_EQ(complaints, (std::vector<std::string>{
                            "Option flags2=+skiprd has no equivalent in this media library and is ignored",
                            "Option nosuchoption=1 is not known to this media library and is ignored"}));
  // What had an equivalent still took effect.
  EXPECT_NE(x264Settings(run.Output).find(" keyint=12 "), std::string::npos) << x264Settings(run.Output);
}

}  // namespace
}  // namespace vc::test
