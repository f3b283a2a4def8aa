#include <gtest/gtest.h>

#include <filesystem>

#include "support/DvdFixture.h"
#include "app/CliTestHome.h"
#include "support/TestSupport.h"

using namespace vc;

namespace {

class CliDvdTest : public test::TCliTestHome {
 protected:
  // Seconds of video: the decoded frame count at the fixture's 25 fps. The container's duration is
  // longer by the audio a cut at a chapter carries from before the chapter's first picture (a
  // program stream muxes sound behind the pictures of the same time).
  static double duration(const std::string& file) {
    std::string out;
    test::RunCommand("ffprobe -v error -select_streams v -count_frames -show_entries stream=nb_read_frames -of csv=p=0 '" +
                         file + "'",
                     &out);
    return out.empty() ? -1 : std::stod(out) / 25.0;
  }
};

}  // namespace

TEST_F(CliDvdTest, ListsTheTitles) {
  const auto& dvd = test::DvdFixture();
  std::string out;
  ASSERT_EQ(cli("dvd '" + dvd.Folder + "'", &out), 0) << out;
  EXPECT_NE(out.find("\n1(00:00:10)\tchapters 3\tangles 1\n2(00:00:02)\tchapters 1\tangles 1\n"), std::string::npos)
      << out;
  EXPECT_NE(cli("dvd '" + root.Path() + "'", &out), 0);
}

TEST_F(CliDvdTest, ConvertsAChapterRangeAndRunsAStoredTaskAgain) {
  const auto& dvd = test::DvdFixture();
  const std::string source = dvd.Iso.empty() ? dvd.Folder : dvd.Iso;
  std::string out;
  ASSERT_EQ(cli("convert --profile 'Flash Video' --dvd '" + source + "' --title 1 --chapters 2-3", &out), 0) << out;
  const std::string label = dvd.Iso.empty() ? std::filesystem::path(dvd.Folder).filename().string() : "FIXTURE_DVD";
  const std::string target = root.Path() + "/Conversion/" + label + "_1.flv";
  EXPECT_NEAR(duration(target), 6.0, 0.5) << out;  // chapters 2 and 3: 4 s to the title's end at 10 s
  const std::string stored = sql("select ConvertSettings from Conversions");
  EXPECT_NE(stored.find("<SourceType>stDvd</SourceType><DvdDriver>" + source + "</DvdDriver><DvdTitle>1</DvdTitle>"
                        "<DvdChapter>2</DvdChapter><DvdThrough>3</DvdThrough><DvdAngle>1</DvdAngle>"),
            std::string::npos)
      << stored;

  // The same task left unfinished by an earlier run: its stream: number is stale, the title is
  // opened afresh.
  std::filesystem::remove(target);
  sql("insert into Conversions(Converting, ConvertSettings) select 1, ConvertSettings from Conversions where ID=1");
  ASSERT_EQ(cli("start 2", &out), 0) << out;
  EXPECT_NEAR(duration(target), 6.0, 0.5) << out;
  EXPECT_EQ(sql("select Converting from Conversions where ID=2"), "0\n");

  ASSERT_EQ(cli("convert --profile 'Flash Video' --dvd '" + source + "' --title 1 -o '" + root.Path() + "/all.flv'", &out),
            0)
      << out;
  EXPECT_NEAR(duration(root.Path() + "/all.flv"), 10.0, 0.5);
  EXPECT_NE(cli("convert --profile 'Flash Video' --dvd '" + source + "' --title 9", &out), 0);
  EXPECT_NE(out.find("Title 9 is not on"), std::string::npos) << out;
}
