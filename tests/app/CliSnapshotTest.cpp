#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"

using namespace vc;

namespace {

// 12 s of testsrc2, whose pictures carry their number and time, as H.264 with a key frame every 2 s.
std::string clipFixture() {
  const std::string file = std::string(VELOCAST_FIXTURE_DIR) + "/snapshot-clip.mp4";
  if (!std::filesystem::exists(file)) {
    std::filesystem::create_directories(VELOCAST_FIXTURE_DIR);
    const std::string tmp = file + ".tmp" + std::to_string(getpid()) + ".mp4";
    EXPECT_EQ(test::RunCommand("ffmpeg -v error -y -f lavfi -i testsrc2=d=12:s=320x240:r=25 -c:v libx264 -g 50 "
                               "-pix_fmt yuv420p '" + tmp + "'"),
              0);
    std::filesystem::rename(tmp, file);
  }
  return file;
}

// The decoded RGB bytes of a picture file.
std::string rgb(const std::string& file) {
  std::string out;
  test::RunCommand("ffmpeg -v error -i '" + file + "' -f rawvideo -pix_fmt rgb24 -", &out);
  return out;
}

}  // namespace

TEST(CliSnapshotTest, PicturesMatchTheFramesTheFfmpegProgramExtracts) {
  const std::string clip = clipFixture();
  test::TTempDir dir;
  const std::string env = "XDG_CONFIG_HOME='" + dir.Path() + "' ";
  const struct {
    const char* at;
    const char* filters;
  } cases[] = {{"0", ""}, {"5", ""}, {"10.04", ""}, {"5", "vflip"}};
  for (const auto& c : cases) {
    const std::string ours = dir.File(std::string("ours-") + c.at + c.filters + ".png");
    const std::string theirs = dir.File(std::string("theirs-") + c.at + c.filters + ".png");
    std::string out;
    ASSERT_EQ(test::RunCommand(env + "'" VELOCAST_CLI_PATH "' snapshot '" + clip + "' --at " + c.at + " -o '" + ours +
                                   "'" + (*c.filters ? std::string(" --filters ") + c.filters : "") + " 2>&1",
                               &out),
              0)
        << out;
    const std::string select = std::string("select=gte(t\\,") + c.at + ")" + (*c.filters ? std::string(",") + c.filters : "");
    ASSERT_EQ(test::RunCommand("ffmpeg -v error -y -i '" + clip + "' -vf '" + select + "' -frames:v 1 '" + theirs + "'"), 0);
    const std::string a = rgb(ours);
    const std::string b = rgb(theirs);
    ASSERT_EQ(a.size(), 320u * 240 * 3) << c.at;
    ASSERT_EQ(a.size(), b.size());
    long differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i])) > 8;
    EXPECT_LT(differing, static_cast<long>(a.size() / 100)) << "at " << c.at << " " << c.filters;
  }
}

TEST(CliSnapshotTest, SeveralPicturesCarryTheirTimes) {
  const std::string clip = clipFixture();
  test::TTempDir dir;
  std::string out;
  ASSERT_EQ(test::RunCommand("XDG_CONFIG_HOME='" + dir.Path() + "' '" VELOCAST_CLI_PATH "' snapshot '" + clip +
                                 "' --at 1 --frames 3 -o '" + dir.File("f.png") + "'",
                             &out),
            0);
  EXPECT_EQ(out, dir.File("f-1.png") + "\t1.000\t320x240\n" + dir.File("f-2.png") + "\t1.040\t320x240\n" +
                     dir.File("f-3.png") + "\t1.080\t320x240\n");
  EXPECT_NE(test::RunCommand("XDG_CONFIG_HOME='" + dir.Path() + "' '" VELOCAST_CLI_PATH "' snapshot '" +
                             dir.File("missing.mp4") + "' --at 1 2>/dev/null"),
            0);
}
