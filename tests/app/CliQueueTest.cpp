#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/CliTestHome.h"
#include "support/TestSupport.h"

using namespace vc;

namespace {

// A 40 s 160x120 clip: long enough to kill a conversion in the middle, quick to convert whole.
std::string clipFixture() {
  const std::string file = std::string(VELOCAST_FIXTURE_DIR) + "/cli-queue-clip.avi";
  if (!std::filesystem::exists(file)) {
    std::filesystem::create_directories(VELOCAST_FIXTURE_DIR);
    const std::string tmp = file + ".tmp" + std::to_string(getpid()) + ".avi";
    EXPECT_EQ(test::RunCommand("ffmpeg -v error -y -f lavfi -i testsrc2=d=40:s=160x120:r=25 -f lavfi -i sine=d=40 "
                               "-c:v mpeg4 -c:a mp3 '" + tmp + "'"),
              0);
    std::filesystem::rename(tmp, file);
  }
  return file;
}

class CliQueueTest : public test::TCliTestHome {
};

}  // namespace

TEST_F(CliQueueTest, AConversionIsFiledInItsCategoryAndListedWithCaptions) {
  const std::string clip = clipFixture();
  ASSERT_EQ(sql("insert into Categories(Category, Path, Parent) values('Clips', '" + root.Path() +
                "/clips/new', 1); select last_insert_rowid();"),
            "2\n");
  std::string out;
  ASSERT_EQ(cli("convert --profile 'Flash Video' --category 2 --end 3 '" + clip + "'", &out), 0) << out;
  const std::string target = root.Path() + "/clips/new/cli-queue-clip.flv";
  EXPECT_TRUE(std::filesystem::exists(target)) << out;  // the category's folder, made when missing
  EXPECT_EQ(sql("select Converting, CategoryId, ConvertedDate is not null, Log is not null from Conversions"),
            "0|2|1|1\n");

  ASSERT_EQ(cli("tasks --category 2", &out), 0);
  EXPECT_EQ(out.substr(0, out.find('\n')),
            "ID\tSource\tSource Size\tTarget\tTarget Size\tTarget Profile\tDuration\tDate");
  EXPECT_NE(out.find("1\tcli-queue-clip.avi\t"), std::string::npos) << out;
  EXPECT_NE(out.find("\tcli-queue-clip.flv\t"), std::string::npos) << out;
  EXPECT_NE(out.find("\tFlash Video\t0:0:40\t"), std::string::npos) << out;  // the source's length

  ASSERT_EQ(cli("categories", &out), 0);
  EXPECT_EQ(out, "1\tConverted\t" + root.Path() + "/Conversion\n2\t  Clips\t" + root.Path() + "/clips/new\n");
}

TEST_F(CliQueueTest, AKilledConversionWaitsInTheQueueAndStartsAgain) {
  const std::string clip = clipFixture();
  const std::string target = root.Path() + "/killed.flv";
  const pid_t child = fork();
  if (child == 0) {
    const std::string command = env + "exec '" VELOCAST_CLI_PATH "' convert --profile 'Flash Video' '" + clip +
                                "' -o '" + target + "' >/dev/null 2>&1";
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  // Kill it as soon as its queue row is there.
  for (int i = 0; i < 2000 && sql("select count(*) from Conversions") != "1\n"; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the conversion ended before it could be killed";
  EXPECT_EQ(sql("select ID, Converting, ConvertedDate is null, CategoryId is null, Log is null from Conversions"),
            "1|1|1|1|1\n");

  std::string out;
  ASSERT_EQ(cli("tasks", &out), 0);
  EXPECT_NE(out.find("\n1\tcli-queue-clip.avi\t"), std::string::npos) << out;
  ASSERT_EQ(cli("start 1", &out), 0) << out;
  EXPECT_EQ(sql("select Converting, CategoryId from Conversions"), "0|1\n");
  std::string probe;
  test::RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + target + "'", &probe);
  EXPECT_NEAR(std::stod(probe), 40.0, 0.5);
  EXPECT_NE(cli("start 1", &out), 0) << "a finished task is no longer in the queue";
}

TEST_F(CliQueueTest, WithoutADatabaseTheConversionRunsAndWarns) {
  const std::string clip = clipFixture();
  std::filesystem::remove(root.Path() + "/Tamberlin/Velocast/av.cfg");
  std::string out;
  ASSERT_EQ(cli("convert --profile 'Flash Video' --end 1 '" + clip + "' -o '" + root.Path() + "/x.flv'", &out), 0);
  EXPECT_NE(out.find("Warning: Database " + root.Path() + "/Tamberlin/Velocast/av.cfg does not exist."), std::string::npos)
      << out;
  EXPECT_TRUE(std::filesystem::exists(root.Path() + "/x.flv"));
  EXPECT_NE(cli("convert --profile 'Flash Video' --category 1 '" + clip + "'", &out), 0);
  EXPECT_NE(cli("convert --profile 'Flash Vidoe' '" + clip + "'", &out), 0);
  EXPECT_NE(out.find("Close matches:\n  Flash Video"), std::string::npos) << out;
}
