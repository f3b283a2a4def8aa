#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace vc;

namespace {
// Runs velocast-cli with XDG_CONFIG_HOME set to root; returns the exit status.
int runCli(const std::string& root, const std::string& args, std::string* output) {
  return test::RunCommand("XDG_CONFIG_HOME='" + root + "' '" VELOCAST_CLI_PATH "' " + args + " 2>&1", output);
}
}  // namespace

TEST(CliConfigTest, FirstRunWritesTheConfigurationAndPrintsIt) {
  test::TTempDir root;
  std::string out;
  ASSERT_EQ(runCli(root.Path(), "config", &out), 0) << out;
  const std::string file = root.Path() + "/Tamberlin/VelocastConfig.Xml";
  EXPECT_NE(out.find(file), std::string::npos) << out;
  EXPECT_NE(out.find(root.Path() + "/Tamberlin/Velocast\n"), std::string::npos) << out;
  EXPECT_NE(out.find("PerformanceOptions.ThreadPrority=2"), std::string::npos) << out;
  EXPECT_NE(out.find("ShowAlert=1"), std::string::npos) << out;
  const std::string text = test::ReadFile(file);
  EXPECT_EQ(text.rfind("<data PropFormat=\"node\">\r\n  <TAVConfiguration>\r\n    <PerformanceOptions>\r\n", 0), 0u);
  EXPECT_TRUE(text.ends_with("</data>"));

  ASSERT_EQ(runCli(root.Path(), "--version", &out), 0);
  EXPECT_EQ(out, "velocast-cli " VELOCAST_VERSION "\n");
}

TEST(CliConfigTest, AValueThatDoesNotParseEndsWithItsMessage) {
  test::TTempDir root;
  std::string out;
  ASSERT_EQ(runCli(root.Path(), "config", &out), 0);
  const std::string file = root.Path() + "/Tamberlin/VelocastConfig.Xml";
  std::string text = test::ReadFile(file);
  text.replace(text.find("<ThreadCount>0<"), 15, "<ThreadCount>abc<");
  test::WriteFile(file, text);
  EXPECT_NE(runCli(root.Path(), "config", &out), 0);
  EXPECT_NE(out.find("Invalid integer value (abc)."), std::string::npos) << out;
  EXPECT_EQ(test::ReadFile(file), text);
}
