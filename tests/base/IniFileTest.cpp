#include "base/IniFile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "base/Errors.h"
#include "support/TestSupport.h"

namespace vc::base {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

TEST(IniFile, PresentKeysKeepTheirLinesAndNewKeysEndTheirSection) {
  TTempDir dir;
  const std::string file = dir.File("a.ini");
  WriteFile(file,
            "; kept comment\r\n"
            "[Profile]\r\n"
            "Description0 = old \r\n"
            "junk line\r\n"
            "Count=2\r\n"
            "\r\n"
            "[Other]\r\n"
            "Count=7\r\n");
  TIniFile ini(file);
  // Names compare without regard to case; values are read trimmed; the first section wins.
  EXPECT_EQ(ini.ReadString("profile", "DESCRIPTION0", "x"), "old");
  EXPECT_EQ(ini.ReadInteger("Other", "count", 0), 7);
  EXPECT_EQ(ini.KeyCount("Profile"), 2);

  ini.WriteString("Profile", "description0", "new=value");
  ini.WriteInteger("Profile", "Added", 5);
  ini.WriteBool("Third", "On", true);
  EXPECT_EQ(ini.Text(),
            "; kept comment\n"
            "[Profile]\n"
            "Description0=new=value\n"
            "junk line\n"
            "Count=2\n"
            "Added=5\n"
            "\n"
            "[Other]\n"
            "Count=7\n"
            "[Third]\n"
            "On=1\n");
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(file), ini.Text());
  EXPECT_EQ(TIniFile(file).ReadString("Profile", "Description0", ""), "new=value");
}

TEST(IniFile, ReadsDefaultsForMissingOrUnreadableValues) {
  TTempDir dir;
  const std::string file = dir.File("b.ini");
  WriteFile(file, "[S]\nNumber=12x\nNegative=-3\nFlag=2\nZero=0\n");
  const TIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("S", "Number", 9), 9);
  EXPECT_EQ(ini.ReadInteger("S", "Negative", 9), -3);
  EXPECT_EQ(ini.ReadInteger("S", "Missing", 9), 9);
  EXPECT_EQ(ini.ReadInteger("Missing", "Number", 9), 9);
  EXPECT_TRUE(ini.ReadBool("S", "Flag", false));
  EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
  EXPECT_TRUE(ini.ReadBool("S", "Number", true));
  EXPECT_FALSE(ini.ValueExists("S", "Missing"));
  EXPECT_EQ(TIniFile(dir.File("none.ini")).Text(), "");
}

TEST(IniFile, ValuesCannotAddLines) {
  TIniFile ini("unused.ini");
  ini.WriteString("S", "Description0", "a\nProfileCount=99\r\nb");
  EXPECT_EQ(ini.Text(), "[S]\nDescription0=a ProfileCount=99  b\n");
  EXPECT_FALSE(ini.ValueExists("S", "ProfileCount"));
}

TEST(IniFile, FailedWritesNameTheFileAndKeepTheOldContent) {
  TTempDir dir;
  // A missing folder.
  TIniFile missing(dir.File("no/such/folder.ini"));
  missing.WriteString("S", "K", "v");
  try {
    missing.UpdateFile();
    FAIL() << "no error";
  } catch (const EVelocastError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.File("no/such/folder.ini"));
  }

  // A full disk, made by a file-size limit below what the write needs.
  const std::string file = dir.File("full.ini");
  WriteFile(file, "[S]\nK=old\n");
  TIniFile ini(file);
  ini.WriteString("S", "K", std::string(4096, 'x'));
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(ini.UpdateFile(), EVelocastError);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFile(file), "[S]\nK=old\n");
  // No temporary file is left behind.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(IniFile, AFileThatCannotBeReadIsAnError) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("folder.ini"));
  EXPECT_THROW(TIniFile(dir.File("folder.ini")), EVelocastError);
}

TEST(IniFile, WritingKeepsPermissionsAndFollowsLinks) {
  TTempDir dir;
  const std::string file = dir.File("real.ini");
  WriteFile(file, "[S]\n");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_symlink(file, dir.File("link.ini"));
  TIniFile ini(dir.File("link.ini"));
  ini.WriteString("S", "K", "v");
  ini.UpdateFile();
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(ReadFile(file), "[S]\nK=v\n");
  EXPECT_EQ(std::filesystem::status(file).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

}  // namespace
}  // namespace vc::base
