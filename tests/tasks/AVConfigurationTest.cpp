#include <gtest/gtest.h>

#include <filesystem>

#include "base/AppPaths.h"
#include "base/Errors.h"
#include "support/TestSupport.h"
#include "tasks/AVConfiguration.h"

using namespace vc;
using tasks::TAVConfiguration;

TEST(AVConfigurationTest, FilesLieUnderTheConfigRoot) {
  test::TIsolatedConfig config;
  EXPECT_EQ(TAVConfiguration::GetAppDataFolder(), config.Root() + "/Tamberlin/Velocast");
  EXPECT_EQ(TAVConfiguration::GetConfigFile(), config.Root() + "/Tamberlin/VelocastConfig.Xml");
}

TEST(AVConfigurationTest, FirstLoadWritesTheFreshLayoutAndSetsPriority) {
  test::TIsolatedConfig config;
  test::TRecordingPlatformActions actions;
  TAVConfiguration c;
  c.Load();
  const std::string expected =
      "<data PropFormat=\"node\">\r\n"
      "  <TAVConfiguration>\r\n"
      "    <PerformanceOptions>\r\n"
      "      <ThreadCount>0</ThreadCount>\r\n"
      "      <ThreadPrority>2</ThreadPrority>\r\n"
      "    </PerformanceOptions>\r\n"
      "    <OutputFolder>" + base::HomeFolder() + "/Conversion</OutputFolder>\r\n"
      "  </TAVConfiguration>\r\n"
      "</data>";
  EXPECT_EQ(test::ReadFile(TAVConfiguration::GetConfigFile()), expected);
  EXPECT_EQ(actions.Calls, (std::vector<std::string>{"SetProcessPriority 2"}));

  c.PerformanceOptions.ThreadPrority = 4;
  c.ShutdownWhenDone = true;
  c.ShowAlert = false;
  c.OutputFolder.clear();
  c.Save();
  EXPECT_EQ(actions.Calls.back(), "SetProcessPriority 4");
  const std::string text = test::ReadFile(TAVConfiguration::GetConfigFile());
  EXPECT_NE(text.find("    <ShutdownWhenDone>1</ShutdownWhenDone>\r\n    <ShowAlert>0</ShowAlert>\r\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("OutputFolder"), std::string::npos);

  TAVConfiguration read;
  read.Load();
  EXPECT_EQ(read.PerformanceOptions.ThreadPrority, 4);
  EXPECT_TRUE(read.ShutdownWhenDone);
  EXPECT_FALSE(read.ShowAlert);
  EXPECT_EQ(read.OutputFolder, "") << "an absent folder reads as empty";
  EXPECT_EQ(actions.Calls.size(), 2u) << "reading alone sets no priority";
}

TEST(AVConfigurationTest, ShowAlertFollowsTheFile) {
  test::TIsolatedConfig config;
  test::TRecordingPlatformActions actions;
  const auto file = TAVConfiguration::GetConfigFile();
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  test::WriteFile(file, "<data PropFormat=\"node\"><TAVConfiguration><ShowAlert>0</ShowAlert></TAVConfiguration></data>");
  TAVConfiguration c;
  c.Load();
  EXPECT_FALSE(c.ShowAlert);
  EXPECT_EQ(c.PerformanceOptions.ThreadCount, 0) << "an absent PerformanceOptions keeps 0 and 2";
  EXPECT_EQ(c.PerformanceOptions.ThreadPrority, 2);
  test::WriteFile(file, "<data PropFormat=\"node\"><TAVConfiguration></TAVConfiguration></data>");
  c.Load();
  EXPECT_TRUE(c.ShowAlert);
}

TEST(AVConfigurationTest, AValueThatDoesNotParseFailsAndTouchesNothing) {
  test::TIsolatedConfig config;
  test::TRecordingPlatformActions actions;
  const auto file = TAVConfiguration::GetConfigFile();
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  const std::string text =
      "<data PropFormat=\"node\"><TAVConfiguration><PerformanceOptions><ThreadCount>abc</ThreadCount>"
      "</PerformanceOptions><ShowAlert>0</ShowAlert></TAVConfiguration></data>";
  test::WriteFile(file, text);
  TAVConfiguration c;
  try {
    c.Load();
    FAIL() << "no error";
  } catch (const base::EVelocastError& e) {
    EXPECT_STREQ(e.what(), "Invalid integer value (abc).");
  }
  EXPECT_EQ(test::ReadFile(file), text);
  EXPECT_TRUE(c.ShowAlert) << "a failed read leaves the object as it was";
}

TEST(AVConfigurationTest, AFileThatIsNotXmlLeavesTheInitialValues) {
  test::TIsolatedConfig config;
  test::TRecordingPlatformActions actions;
  const auto file = TAVConfiguration::GetConfigFile();
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  test::WriteFile(file, "garbage <<<");
  TAVConfiguration c;
  c.Load();
  EXPECT_EQ(c.PerformanceOptions.ThreadPrority, 2);
  EXPECT_TRUE(c.ShowAlert);
}

TEST(AVConfigurationTest, AnUnwritableFileRaisesAndKeepsTheOldOne) {
  test::TTempDir dir;
  TAVConfiguration c;
  EXPECT_THROW(c.SaveToFile(dir.File("missing-folder/VelocastConfig.Xml")), base::EVelocastError);
}
