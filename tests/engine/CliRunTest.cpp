// velocast-cli run: a stored settings record converted on the terminal, its failures, and Ctrl+C.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "EngineTestSupport.h"
#include "base/ObjectXml.h"

extern char** environ;

using namespace vc;
using namespace vc::test;

namespace {

// The settings record in its object XML form, with the option set written by the same writer.
std::string settingsXml(const std::string& source, const std::string& target, const engine::TAVConvertOptions& options) {
  const std::string written = base::WriteObjectXml(options);
  const std::string open = "<TAVConvertOptions>";
  const auto begin = written.find(open);
  const auto end = written.rfind("</TAVConvertOptions>");
  const std::string inner =
      begin == std::string::npos ? std::string() : written.substr(begin + open.size(), end - begin - open.size());
  return "<data PropFormat=\"node\"><TConversionSettings><SourceFile>" + source + "</SourceFile><TargetFile>" + target +
         "</TargetFile><ConvertOptions>" + inner + "</ConvertOptions></TConversionSettings></data>";
}

class CliRunTest : public ::testing::Test {
 protected:
  std::string Settings(const std::string& source, const std::string& target, const engine::TAVConvertOptions& options) {
    const std::string path = Dir.File("settings.xml");
    WriteFile(path, settingsXml(source, target, options));
    return path;
  }
  std::string Cli() const { return "XDG_CONFIG_HOME=" + Config.Path() + " " + VELOCAST_CLI_PATH; }

  TTempDir Dir;
  TTempDir Config;
};

}  // namespace

TEST_F(CliRunTest, ConvertsTheRecordAndExitsWithZero) {
  engine::TAVConvertOptions options;
  options.VideoOptions.EncoderVideoCodecName = "mpeg4";
  options.VideoOptions.FrameWidth = 160;
  options.VideoOptions.FrameHeight = 120;
  const std::string target = Dir.File("cli.mp4");
  std::string out;
  const int rc = RunCommand(Cli() + " run " + Settings(EngineFixture("av.mp4"), target, options) + " 2>&1", &out);
  EXPECT_EQ(rc, 0) << out;
  EXPECT_NE(out.find("progress 100%"), std::string::npos) << out;
  const TProbe probe(target);
  ASSERT_EQ(probe.StreamCount(), 2);
  EXPECT_EQ(probe.Stream(0, "codec_name"), "mpeg4");
  EXPECT_EQ(probe.Stream(0, "width"), "160");
}

TEST_F(CliRunTest, PrintsTheErrorBoxTextAndFails) {
  std::string out;
  const int rc = RunCommand(
      Cli() + " run " + Settings(Dir.File("missing.mp4"), Dir.File("x.mp4"), engine::TAVConvertOptions()) + " 2>&1", &out);
  EXPECT_NE(rc, 0);
  EXPECT_NE(out.find("Error: Could not open file:-2!:"), std::string::npos) << out;
  std::string unreadable;
  EXPECT_NE(RunCommand(Cli() + " run " + Dir.File("no-settings.xml") + " 2>&1", &unreadable), 0);
}

TEST_F(CliRunTest, InterruptStopsTheConversionAndKeepsAValidShorterFile) {
  engine::TAVConvertOptions options;
  options.VideoOptions.FrameWidth = 640;
  options.VideoOptions.FrameHeight = 480;
  const std::string target = Dir.File("interrupted.mp4");
  const std::string settings = Settings(EngineFixture("av.mp4"), target, options);

  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const std::string config = "XDG_CONFIG_HOME=" + Config.Path();
  std::vector<char*> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  env.push_back(const_cast<char*>(config.c_str()));
  env.push_back(nullptr);
  const char* argv[] = {VELOCAST_CLI_PATH, "run", settings.c_str(), nullptr};
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, VELOCAST_CLI_PATH, &actions, nullptr, const_cast<char**>(argv), env.data()), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);

  FILE* lines = fdopen(pipeFds[0], "r");
  char line[256];
  bool interrupted = false;
  while (fgets(line, sizeof line, lines)) {
    int percent = 0;
    if (!interrupted && std::sscanf(line, "progress %d%%", &percent) == 1 && percent >= 20) {
      kill(pid, SIGINT);
      interrupted = true;
    }
  }
  fclose(lines);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(interrupted);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);
  const double duration = TProbe(target).FormatNumber("duration");
  EXPECT_GT(duration, 3.0);
  EXPECT_LT(duration, 15.0);
  EXPECT_TRUE(DecodesCleanly(target));
}
