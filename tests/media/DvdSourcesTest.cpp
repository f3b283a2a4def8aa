#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/Errors.h"
#include "media/DvdSources.h"
#include "support/DvdFixture.h"
#include "support/TestSupport.h"

using namespace vc::media;
using namespace vc::test;
namespace fs = std::filesystem;

TEST(DvdSources, ListsTitlesWithTheirCaptions) {
  const TDvdFixture& fx = DvdFixture();
  std::vector<std::string> sources = {fx.Folder, fx.Folder + "/VIDEO_TS"};
  if (!fx.Iso.empty()) sources.push_back(fx.Iso);
  for (const auto& source : sources) {
    SCOPED_TRACE(source);
    const auto titles = ListDvdTitles(source);
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_EQ(DvdTitleCaption(titles[0]), "1(00:00:10)");
    EXPECT_EQ(DvdTitleCaption(titles[1]), "2(00:00:02)");
    EXPECT_EQ(titles[0].Chapters.size(), 3u);
    EXPECT_EQ(titles[1].Chapters.size(), 1u);
    for (const auto& t : titles) {
      EXPECT_EQ(t.AngleCount, 1);
      EXPECT_EQ(t.Path, source);
    }
  }
  TDvdTitle longOne;
  longOne.Number = 12;
  longOne.Hours = 1;
  longOne.Minutes = 2;
  longOne.Seconds = 3;
  EXPECT_EQ(DvdTitleCaption(longOne), "12(01:02:03)");
}

TEST(DvdSources, SourcesThatHoldNoDvdCannotBeOpened) {
  TTempDir empty;
  for (const std::string& path : {std::string("/nonexistent/dvd"), empty.Path(), DvdFixture().Title1Source}) {
    SCOPED_TRACE(path);
    try {
      ListDvdTitles(path);
      ADD_FAILURE() << "listed";
    } catch (const vc::base::EVelocastError& e) {
      EXPECT_STREQ(e.what(), "Can not open DVD");
    }
    EXPECT_FALSE(DvdSourceFromPath(path));
  }
}

TEST(DvdSources, NamedFoldersAndImagesCarryTheirLabels) {
  const TDvdFixture& fx = DvdFixture();
  for (const std::string& path : {fx.Folder, fx.Folder + "/", fx.Folder + "/VIDEO_TS"}) {
    const auto source = DvdSourceFromPath(path);
    ASSERT_TRUE(source) << path;
    EXPECT_EQ(source->Path, path);
    EXPECT_EQ(source->Label, "DVD");  // the folder holding VIDEO_TS
  }
  if (fx.Iso.empty()) GTEST_SKIP() << "no ISO image (genisoimage missing)";
  const auto iso = DvdSourceFromPath(fx.Iso);
  ASSERT_TRUE(iso);
  EXPECT_EQ(iso->Label, "FIXTURE_DVD");
  EXPECT_EQ(DvdSourceCaption(*iso), fx.Iso + ": [FIXTURE_DVD]");
}

// A fake block-device class folder and mount table: only optical drives (sr*) mounted on a folder
// with VIDEO_TS/VIDEO_TS.IFO are listed, labelled from the device's ISO 9660 volume descriptor or,
// when the device cannot be read, by the mount folder's name.
TEST(DvdSources, ListsMountedOpticalDrivesHoldingAVideoDvd) {
  const TDvdFixture& fx = DvdFixture();
  if (fx.Iso.empty()) GTEST_SKIP() << "no ISO image (genisoimage missing)";
  TTempDir root;
  const fs::path base(root.Path());
  for (const char* name : {"sr0", "sr1", "sr2", "sda"}) fs::create_directories(base / "class" / name);
  fs::create_directories(base / "dev");
  fs::create_symlink(fx.Iso, base / "dev" / "sr0");
  fs::create_symlink(fx.Iso, base / "dev" / "sda");
  auto mountDvd = [&](const std::string& name) {
    fs::create_directories(base / name);
    fs::create_directory_symlink(fx.Folder + "/VIDEO_TS", base / name / "VIDEO_TS");
    return (base / name).string();
  };
  const std::string disc = mountDvd("media/My Disc");
  const std::string unreadable = mountDvd("media/OTHER");
  const std::string disk = mountDvd("media/disk");
  fs::create_directories(base / "media" / "data");
  const std::string mounts = base.string() + "/mounts";
  auto escaped = [](std::string s) {
    for (size_t at; (at = s.find(' ')) != std::string::npos;) s.replace(at, 1, "\\040");
    return s;
  };
  WriteFile(mounts, "/dev/root / ext4 rw 0 0\n" +
                        (base / "dev" / "sr0").string() + " " + escaped(disc) + " udf ro 0 0\n" +
                        (base / "dev" / "sr1").string() + " " + (base / "media" / "data").string() + " iso9660 ro 0 0\n" +
                        (base / "dev" / "sr2").string() + " " + unreadable + " udf ro 0 0\n" +
                        (base / "dev" / "sda").string() + " " + disk + " ext4 rw 0 0\n");

  const auto drives = ListDvdDrives((base / "class").string(), mounts);
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(DvdSourceCaption(drives[0]), disc + ": [FIXTURE_DVD]");
  EXPECT_EQ(DvdSourceCaption(drives[1]), unreadable + ": [OTHER]");
  EXPECT_EQ(ListDvdTitles(drives[0].Path).size(), 2u);
}
