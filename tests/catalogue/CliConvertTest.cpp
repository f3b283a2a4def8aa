// The terminal program with the wizard's default profile: target naming from the configured output
// folder, and the README's sample conversion on a machine without a display.
#include <gtest/gtest.h>

#include <filesystem>

#include "CatalogueSupport.h"

namespace vc::test {
namespace {

namespace fs = std::filesystem;

// A configuration root whose file names outputFolder as the output folder.
void configure(const TTempDir& root, const std::string& outputFolder) {
  std::string out;
  ASSERT_EQ(RunCommand("XDG_CONFIG_HOME='" + root.Path() + "' '" VELOCAST_CLI_PATH "' config 2>&1", &out), 0) << out;
  const std::string file = root.Path() + "/Tamberlin/VelocastConfig.Xml";
  std::string text = ReadFile(file);
  const size_t start = text.find("<OutputFolder>");
  const size_t end = text.find("</OutputFolder>");
  ASSERT_TRUE(start != std::string::npos && end != std::string::npos) << text;
  text.replace(start, end - start, "<OutputFolder>" + outputFolder);
  WriteFile(file, text);
}

void expect3gpp(const std::string& file, double seconds) {
  const TProbe probe(file);
  ASSERT_TRUE(probe.Ok()) << file;
  EXPECT_EQ(probe.Get("format.tags.major_brand"), "3gp4");
  const int video = probe.StreamOfType("video");
  const int audio = probe.StreamOfType("audio");
  ASSERT_GE(video, 0);
  ASSERT_GE(audio, 0);
  EXPECT_EQ(probe.Stream(video, "codec_name"), "h263");
  EXPECT_EQ(probe.StreamNumber(video, "width"), 176);
  EXPECT_EQ(probe.StreamNumber(video, "height"), 144);
  EXPECT_EQ(probe.Stream(audio, "codec_name"), "amr_nb");
  EXPECT_EQ(probe.StreamNumber(audio, "sample_rate"), 8000);
  EXPECT_EQ(probe.StreamNumber(audio, "channels"), 1);
  EXPECT_NEAR(probe.FormatNumber("duration"), seconds, 0.5);
  EXPECT_TRUE(DecodesCleanly(file));
}

TEST(CatalogueCli, ConvertWithoutATargetWritesTheSourceNameWithTheProfileExtensionIntoTheOutputFolder) {
  TTempDir root, work;
  const std::string folder = work.File("converted");
  configure(root, folder);
  fs::copy_file(Clip().Path, work.File("clip.avi"));
  std::string out;
  const int status = RunCommand("cd '" + work.Path() + "' && XDG_CONFIG_HOME='" + root.Path() + "' '" VELOCAST_CLI_PATH
                                "' convert --profile 3GPP clip.avi 2>&1",
                                &out);
  ASSERT_EQ(status, 0) << out;
  const std::string target = folder + "/clip.3gp";
  EXPECT_NE(out.find(target), std::string::npos) << out;
  expect3gpp(target, Clip().Duration);
  EXPECT_FALSE(fs::exists(work.File("clip.3gp")));
}

TEST(CatalogueCli, TheSampleConversionOfTheRunCommandSaysWhereItsFileWent) {
  TTempDir root, work;
  const std::string folder = work.File("out folder");
  configure(root, folder);
  std::string out;
  const int status = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME='" + root.Path() + "' bash '" +
                                    std::string(VELOCAST_SOURCE_DIR) + "/scripts/sample-conversion.sh' '" VELOCAST_CLI_PATH
                                    "' 2>&1",
                                &out);
  ASSERT_EQ(status, 0) << out;
  const std::string target = folder + "/velocast-sample.3gp";
  EXPECT_NE(out.find("The sample conversion is in " + target + "\n"), std::string::npos) << out;
  expect3gpp(target, 10.0);
}

}  // namespace
}  // namespace vc::test
