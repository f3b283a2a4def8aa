// velocast-cli convert with video filters: the VideoFilters text the options store, and each
// filter's effect in the decoded frames of the output against the same conversion without filters.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "profiles/AVProfileList.h"
#include "profiles/ProfileCatalogue.h"
#include "support/TestSupport.h"
#include "tasks/ConversionComposer.h"
#include "tasks/ConversionSettings.h"

using namespace vc;

namespace {

const std::string kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// H.264 at 1200 kbit/s in the source's size and rate: close to lossless for a 160x120 clip, so
// mean differences of a few levels separate a filter's effect from the coding.
const std::string kProfile = "Matroska Video";
constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kFrameCount = 75;  // 3 s at 25 fps
// Frames at 0.48 s, 1.48 s and 2.48 s; the subtitle fixtures show their line from 1 s to 2 s.
constexpr int kBefore = 12;
constexpr int kDuring = 37;
constexpr int kAfter = 62;

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Makes file with the shell command (given the temporary name) once per build folder.
std::string cachedFixture(const std::string& name, const std::function<std::string(const std::string&)>& command) {
  const std::string dir = std::string(VELOCAST_FIXTURE_DIR) + "/cli-filters";
  const std::string file = dir + "/" + name;
  if (!std::filesystem::exists(file)) {
    std::filesystem::create_directories(dir);
    const std::string tmp = dir + "/tmp" + std::to_string(getpid()) + "-" + name;
    EXPECT_EQ(test::RunCommand(command(tmp)), 0) << name;
    std::filesystem::rename(tmp, file);
  }
  return file;
}

// 3 s of moving test pattern with sound, coded finely enough that the source is not the blur.
std::string clipFixture() {
  return cachedFixture("clip.avi", [](const std::string& tmp) {
    return "ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=d=3:s=160x120:r=25 -f lavfi -i sine=d=3 "
           "-c:v mpeg4 -q:v 2 -c:a mp3 " +
           shellQuoted(tmp);
  });
}

// A 16x12 PNG: left half red, right half blue.
std::string logoFixture() {
  return cachedFixture("logo.png", [](const std::string& tmp) {
    return "ffmpeg -nostdin -v error -y -f lavfi -i "
           "'color=c=red:s=16x12,drawbox=x=8:y=0:w=8:h=12:color=blue:t=fill' -frames:v 1 -f image2 " +
           shellQuoted(tmp);
  });
}

// The size tag makes the line large enough on a 160x120 frame for its colour to be measured.
const std::string kSrt = "1\n00:00:01,000 --> 00:00:02,000\n<font size=\"80\">Hello</font>\n\n";
const std::string kAss =
    "[Script Info]\nScriptType: v4.00+\nPlayResX: 160\nPlayResY: 120\n\n"
    "[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, "
    "MarginL, MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,28,&H00FFFFFF,&H00FFFFFF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,1\n\n"
    "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
    "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,Hello\n";

struct TFrame {
  std::vector<uint8_t> Rgb;  // RGB24, rows without padding
  const uint8_t* At(int x, int y) const { return &Rgb[(static_cast<size_t>(y) * kWidth + x) * 3]; }
};
using TFrames = std::vector<TFrame>;

// Every picture of the file's video in presentation order, as RGB24.
TFrames decodeFrames(const std::string& file) {
  test::TTempDir dir;
  const std::string raw = dir.File("frames.rgb");
  EXPECT_EQ(test::RunCommand("ffmpeg -nostdin -v error -y -i " + shellQuoted(file) +
                             " -map 0:v:0 -fps_mode passthrough -f rawvideo -pix_fmt rgb24 " + shellQuoted(raw)),
            0)
      << file;
  const std::string bytes = test::ReadFile(raw);
  const size_t frameSize = static_cast<size_t>(kWidth) * kHeight * 3;
  TFrames frames(bytes.size() / frameSize);
  for (size_t i = 0; i < frames.size(); ++i)
    frames[i].Rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(i * frameSize),
                         bytes.begin() + static_cast<std::ptrdiff_t>((i + 1) * frameSize));
  return frames;
}

struct TRect {
  int X0 = 0, Y0 = 0, X1 = kWidth, Y1 = kHeight;  // [X0, X1) x [Y0, Y1), pixels
  bool Holds(int x, int y) const { return x >= X0 && x < X1 && y >= Y0 && y < Y1; }
};
const TRect kWhole;

int distance(const uint8_t* a, const uint8_t* b) {
  return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// Mean of the largest component difference between out(x, y) and ref(source(x, y)) over the
// pixels of r outside skip whose source lies in the frame.
using TSourceOf = std::function<std::pair<int, int>(int x, int y)>;
double meanDistance(const TFrame& out, const TFrame& ref, const TRect& r = kWhole, const TSourceOf& source = {},
                    const TRect& skip = {0, 0, 0, 0}) {
  double sum = 0;
  int count = 0;
  for (int y = r.Y0; y < r.Y1; ++y)
    for (int x = r.X0; x < r.X1; ++x) {
      if (skip.Holds(x, y)) continue;
      const auto [sx, sy] = source ? source(x, y) : std::pair<int, int>{x, y};
      if (!kWhole.Holds(sx, sy)) continue;
      sum += distance(out.At(x, y), ref.At(sx, sy));
      ++count;
    }
  return count ? sum / count : 0;
}

// As meanDistance, between the means of the 3x3 neighbourhoods, which a turn by any angle keeps
// nearly the same while it moves the sharp edges of the pattern off the pixel grid.
double meanSmoothedDistance(const TFrame& out, const TFrame& ref, const TSourceOf& source) {
  const auto mean3x3 = [](const TFrame& f, int x, int y, int c) {
    int sum = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) sum += f.At(x + dx, y + dy)[c];
    return sum / 9.0;
  };
  double sum = 0;
  int count = 0;
  for (int y = 1; y < kHeight - 1; ++y)
    for (int x = 1; x < kWidth - 1; ++x) {
      const auto [sx, sy] = source(x, y);
      if (sx < 1 || sy < 1 || sx >= kWidth - 1 || sy >= kHeight - 1) continue;
      double worst = 0;
      for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(mean3x3(out, x, y, c) - mean3x3(ref, sx, sy, c)));
      sum += worst;
      ++count;
    }
  return count ? sum / count : 0;
}

// Pixels that differ from the reference by far more than the coding does.
int changedPixels(const TFrame& out, const TFrame& ref, const TRect& r = kWhole) {
  int count = 0;
  for (int y = r.Y0; y < r.Y1; ++y)
    for (int x = r.X0; x < r.X1; ++x) count += distance(out.At(x, y), ref.At(x, y)) > 48 ? 1 : 0;
  return count;
}

bool isRed(const uint8_t* p) { return p[0] > 180 && p[1] < 80 && p[2] < 80; }
bool isBlue(const uint8_t* p) { return p[2] > 180 && p[0] < 80 && p[1] < 80; }
bool isYellow(const uint8_t* p) { return p[0] > 180 && p[1] > 180 && p[2] < 80; }
bool isBlack(const uint8_t* p) { return p[0] < 30 && p[1] < 30 && p[2] < 30; }

int countPixels(const TFrame& frame, bool (*test)(const uint8_t*), const TRect& r = kWhole) {
  int count = 0;
  for (int y = r.Y0; y < r.Y1; ++y)
    for (int x = r.X0; x < r.X1; ++x) count += test(frame.At(x, y)) ? 1 : 0;
  return count;
}

// Pixels drawn in a colour: changed against the reference and of that colour now (the test
// pattern has large yellow and blue areas of its own).
int drawnPixels(const TFrame& out, const TFrame& ref, bool (*test)(const uint8_t*), const TRect& r = kWhole) {
  int count = 0;
  for (int y = r.Y0; y < r.Y1; ++y)
    for (int x = r.X0; x < r.X1; ++x) count += test(out.At(x, y)) && distance(out.At(x, y), ref.At(x, y)) > 48 ? 1 : 0;
  return count;
}

// The frames of a conversion of the clip; a wrong count is a failure, and the missing frames
// come as black ones so the checks that follow can still run.
TFrames clipFrames(const std::string& file, const std::string& what) {
  TFrames frames = decodeFrames(file);
  EXPECT_EQ(frames.size(), static_cast<size_t>(kFrameCount)) << what;
  frames.resize(kFrameCount, TFrame{std::vector<uint8_t>(kWidth * kHeight * 3)});
  return frames;
}

// The clip converted without filters, once per test program.
const TFrames& Plain() {
  static const TFrames frames = [] {
    test::TTempDir dir;
    const std::string target = dir.File("plain.mkv");
    EXPECT_EQ(test::RunCommand("XDG_CONFIG_HOME=" + shellQuoted(dir.Path()) + " HOME=" + shellQuoted(dir.Path()) +
                               " '" VELOCAST_CLI_PATH "' convert --profile " + shellQuoted(kProfile) + " " +
                               shellQuoted(clipFixture()) + " -o " + shellQuoted(target) + " >/dev/null 2>&1"),
              0);
    return clipFrames(target, "without filters");
  }();
  return frames;
}

// A terminal with its own configuration and task database: convert files its conversions there,
// so the settings it composed can be read back.
class CliFiltersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Env = "XDG_CONFIG_HOME=" + shellQuoted(Root.Path()) + " HOME=" + shellQuoted(Root.Path()) + " ";
    ASSERT_EQ(test::RunCommand(Env + "sh '" VELOCAST_SOURCE_DIR "/scripts/create-database.sh' >/dev/null"), 0);
  }

  int Cli(const std::string& args, std::string* out = nullptr) {
    return test::RunCommand(Env + "'" VELOCAST_CLI_PATH "' " + args + " 2>&1", out);
  }

  // Converts the clip with the profile and the filter options into a fresh target; the decoded
  // frames of the result.
  TFrames Convert(const std::string& filterArgs) {
    const std::string target = Dir.File("out" + std::to_string(++FTargets) + ".mkv");
    std::string out;
    EXPECT_EQ(Cli("convert --profile " + shellQuoted(kProfile) + " " + shellQuoted(clipFixture()) + " -o " +
                      shellQuoted(target) + " " + filterArgs,
                  &out),
              0)
        << filterArgs << "\n"
        << out;
    return clipFrames(target, filterArgs + "\n" + out);
  }

  // The VideoFilters text of the last conversion filed in the database.
  std::string StoredFilters() {
    std::string xml;
    test::RunCommand("sqlite3 " + shellQuoted(Root.Path() + "/Tamberlin/Velocast/av.cfg") +
                         " 'select ConvertSettings from Conversions order by ID desc limit 1'",
                     &xml);
    tasks::TConversionSettings settings;
    settings.FromXml(xml);
    return settings.ConvertOptions.FilterOptions.VideoFilters;
  }

  test::TTempDir Root;
  test::TTempDir Dir;
  std::string Env;

 private:
  int FTargets = 0;
};

TEST_F(CliFiltersTest, OptionsStoreTheWizardsFilterText) {
  const std::string logo = logoFixture();
  const std::string subtitles = Dir.File("film.srt");
  test::WriteFile(subtitles, kSrt);
  struct TCase {
    std::string Args;
    std::string Stored;
  };
  const std::vector<TCase> cases = {
      // Standard operations share a filter while its fixed order keeps theirs.
      {"--vflip --hflip --rotate 45 --box 10,20,60,40,red --negate --hflip",
       " vflip,hflip,rotate=45 , drawbox=10:20:60:40:Red,negate ,hflip"},
      {"--rotate 90 --vflip --box -1,2,3,4,NAVY", "rotate=90, vflip,drawbox=-1:2:3:4:Navy "},
      // Every value given: two lines of text, a green font on a dark background.
      {"--text \"$(printf 'Hi there\\nAB')\" --font " + kFont +
           " --text-at 5,6 --font-size 20 --text-color 00ff00 "
           "--bg-color 102030 --logo " +
           logo + "@10,-5 --subtitles " + subtitles + " --font " + kFont +
           " --subtitle-color 0000FF --codepage ' cp1251 '",
       " drawtext=fontfile=\\'" + kFont +
           "\\'#text='Hi  there\\nAB\\n'#x=5#y=6#fontsize=20#fgcolor=0x00FF00FF"
           "#bgcolor=0x10203000 , movie=0:png:" +
           logo + "  [wm];[in][wm]  overlay=10:-5:1  [out] ,ass=filename$" + subtitles + "#font$" + kFont +
           "#color$0xFF00#codepage$cp1251"},
      // The dialogs' defaults: at 0,0, size 16, yellow on blue; a yellow subtitle.
      {"--text Hi --font " + kFont + " --subtitles " + subtitles + " --font " + kFont + " --logo " + logo,
       "drawtext=fontfile=\\'" + kFont +
           "\\'#text='Hi\\n'#x=0#y=0#fontsize=16#fgcolor=0xFFFF00FF#bgcolor=0x0000FF00,"
           "ass=filename$" +
           subtitles + "#font$" + kFont + "#color$0xFFFF0000, movie=0:png:" + logo +
           "  [wm];[in][wm]  overlay=0:0:1  [out] "},
  };
  for (const TCase& c : cases) {
    std::string out;
    ASSERT_EQ(Cli("convert --profile " + shellQuoted(kProfile) + " " + clipFixture() + " --end 0.2 -o " +
                      Dir.File("short.mkv") + " " + c.Args,
                  &out),
              0)
        << c.Args << "\n"
        << out;
    EXPECT_EQ(StoredFilters(), c.Stored) << c.Args;
  }
}

TEST_F(CliFiltersTest, OptionsThatCannotMakeAFilterStopBeforeConverting) {
  const std::string srt = Dir.File("film.srt");
  test::WriteFile(srt, kSrt);
  struct TCase {
    std::string Args;
    std::string Message;
  };
  const std::vector<TCase> cases = {
      {"--text Hi", "--text needs --font FILE"},
      {"--vflip --font " + kFont, "--font belongs right after the --text or --subtitles"},
      {"--text ' ' --font " + kFont, "--text needs a text that is not blank"},
      {"--text Hi --font " + Dir.File("missing.ttf"), "--font: there is no file " + Dir.File("missing.ttf")},
      {"--text Hi --font " + kFont + " --font-size 73", "--font-size takes 1 to 72, not '73'"},
      {"--text Hi --font " + kFont + " --text-at -1,0", "--text-at takes X,Y from 0, not '-1,0'"},
      {"--text Hi --font " + kFont + " --text-color red", "--text-color takes a colour as RRGGBB"},
      {"--subtitles " + srt, "--subtitles needs --font FILE"},
      {"--subtitles " + Dir.File("none.srt") + " --font " + kFont, "--subtitles: there is no file"},
      {"--logo " + Dir.File("none.png") + "@1,2", "--logo: there is no file " + Dir.File("none.png")},
      {"--rotate 360", "--rotate takes whole degrees from 0 to 359"},
      {"--box 1,2,3,Red", "--box takes X,Y,W,H,COLOUR"},
      {"--box 1,2,3,4,Pink", "--box takes X,Y,W,H,COLOUR"},
      {"--vflip --rotate", "--rotate needs a value"},
  };
  for (const TCase& c : cases) {
    std::string out;
    EXPECT_EQ(Cli("convert --profile " + shellQuoted(kProfile) + " " + clipFixture() + " -o " + Dir.File("no.mkv") +
                      " " + c.Args,
                  &out),
              2)
        << c.Args;
    EXPECT_NE(out.find(c.Message), std::string::npos) << c.Args << "\n" << out;
    EXPECT_EQ(out.find("Converting"), std::string::npos) << c.Args;
  }
  EXPECT_FALSE(std::filesystem::exists(Dir.File("no.mkv")));
}

// The wizard sets the filters before the profile fills the option set; no profile may drop them.
TEST(CliFiltersProfiles, NoProfileClearsTheFilters) {
  profiles::TAVProfileList list;
  profiles::BuildCatalogue(list);
  for (int i = 0; i < list.Count(); ++i) {
    engine::TAVConvertOptions options;
    options.FilterOptions.VideoFilters = " vflip,negate ";
    tasks::ApplyProfile(options, list.Items(i));
    EXPECT_EQ(options.FilterOptions.VideoFilters, " vflip,negate ") << list.Items(i).Description;
  }
}

TEST_F(CliFiltersTest, FlipsMirrorAndNegateInverts) {
  const TFrames& plain = Plain();
  const TFrames vflip = Convert("--vflip");
  const TFrames hflip = Convert("--hflip");
  const TFrames negate = Convert("--negate");
  for (const int i : {kBefore, kAfter}) {
    const TSourceOf rowsMirrored = [](int x, int y) { return std::pair{x, kHeight - 1 - y}; };
    const TSourceOf columnsMirrored = [](int x, int y) { return std::pair{kWidth - 1 - x, y}; };
    EXPECT_LT(meanDistance(vflip[i], plain[i], kWhole, rowsMirrored), 2.0) << i;
    EXPECT_GT(meanDistance(vflip[i], plain[i]), 20.0) << i;
    EXPECT_LT(meanDistance(hflip[i], plain[i], kWhole, columnsMirrored), 2.0) << i;
    EXPECT_GT(meanDistance(hflip[i], plain[i]), 20.0) << i;
    double inverted = 0;
    for (size_t k = 0; k < plain[i].Rgb.size(); ++k) inverted += std::abs(255 - plain[i].Rgb[k] - negate[i].Rgb[k]);
    EXPECT_LT(inverted / static_cast<double>(plain[i].Rgb.size()), 2.0) << i;
  }
}

// The frame turned clockwise by degrees about its centre, size kept, uncovered corners black.
void expectRotated(const TFrame& out, const TFrame& in, int degrees) {
  const double a = degrees * M_PI / 180, cx = (kWidth - 1) / 2.0, cy = (kHeight - 1) / 2.0;
  const auto sourceOf = [&](int x, int y, double turn) {
    const double sx = cx + (x - cx) * std::cos(turn) + (y - cy) * std::sin(turn);
    const double sy = cy - (x - cx) * std::sin(turn) + (y - cy) * std::cos(turn);
    return std::pair{static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy))};
  };
  const TRect inner{3, 3, kWidth - 3, kHeight - 3};
  const auto inside = [&](std::pair<int, int> p) { return inner.Holds(p.first, p.second); };
  const TSourceOf clockwise = [&](int x, int y) {
    const auto p = sourceOf(x, y, a);
    return inside(p) ? p : std::pair{-1, -1};
  };
  const TSourceOf counterClockwise = [&](int x, int y) {
    const auto p = sourceOf(x, y, -a);
    return inside(p) ? p : std::pair{-1, -1};
  };
  EXPECT_LT(meanSmoothedDistance(out, in, clockwise), 15.0) << degrees;
  EXPECT_GT(meanSmoothedDistance(out, in, counterClockwise), 60.0) << degrees;
  int corners = 0;
  for (int y = 0; y < kHeight; y += 2)
    for (int x = 0; x < kWidth; x += 2) {
      const double sx = cx + (x - cx) * std::cos(a) + (y - cy) * std::sin(a);
      const double sy = cy - (x - cx) * std::sin(a) + (y - cy) * std::cos(a);
      if (sx > -4 && sy > -4 && sx < kWidth + 3 && sy < kHeight + 3) continue;
      EXPECT_TRUE(isBlack(out.At(x, y))) << degrees << ": " << x << "," << y;
      ++corners;
    }
  EXPECT_GT(corners, 200) << degrees;
}

TEST_F(CliFiltersTest, RotateTurnsClockwiseKeepingTheSize) {
  const TFrames& plain = Plain();
  const TFrames quarter = Convert("--rotate 90");
  const TFrames eighth = Convert("--rotate 45");
  expectRotated(quarter[kDuring], plain[kDuring], 90);
  expectRotated(eighth[kDuring], plain[kDuring], 45);
}

TEST_F(CliFiltersTest, RedBoxOutlinesItsRectangle) {
  const TFrames& plain = Plain();
  const TFrames boxed = Convert("--box 10,20,60,40,Red");
  for (const int i : {kBefore, kAfter}) {
    // Three-pixel edges of x 10..69, y 20..59; points whose chroma sample is all edge.
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{30, 20}, {50, 21}, {30, 58}, {10, 40}, {11, 30}, {68, 40}})
      EXPECT_TRUE(isRed(boxed[i].At(x, y))) << i << ": " << x << "," << y;
    const TRect inside{16, 26, 64, 54};
    const TRect beyond{8, 18, 72, 62};
    EXPECT_LT(meanDistance(boxed[i], plain[i], inside), 4.0) << i;
    EXPECT_EQ(changedPixels(boxed[i], plain[i], inside), 0) << i;
    EXPECT_LT(meanDistance(boxed[i], plain[i], kWhole, {}, beyond), 3.0) << i;
    EXPECT_EQ(changedPixels(boxed[i], plain[i]), changedPixels(boxed[i], plain[i], beyond)) << i;
  }
}

TEST_F(CliFiltersTest, LogoSitsAtItsPosition) {
  const TFrames& plain = Plain();
  const TFrames logo = Convert("--logo " + logoFixture() + "@30,40");
  for (const int i : {0, kDuring, kFrameCount - 1}) {
    EXPECT_EQ(countPixels(logo[i], isRed, {30, 40, 38, 52}), 8 * 12) << i;
    EXPECT_GE(countPixels(logo[i], isBlue, {39, 40, 46, 52}), 7 * 12) << i;
    EXPECT_LT(meanDistance(logo[i], plain[i], kWhole, {}, {28, 38, 48, 54}), 3.0) << i;
    EXPECT_EQ(changedPixels(logo[i], plain[i]), changedPixels(logo[i], plain[i], {28, 38, 48, 54})) << i;
  }
}

TEST_F(CliFiltersTest, OverlayTextChangesItsRegionOnly) {
  const TFrames& plain = Plain();
  const TFrames text =
      Convert("--text \"$(printf 'Hi there\\nAB')\" --font " + kFont + " --text-at 20,30 --font-size 16");
  for (const int i : {kBefore, kAfter}) {
    const TRect region{18, 28, 100, 72};
    EXPECT_EQ(changedPixels(text[i], plain[i]), changedPixels(text[i], plain[i], region)) << i;
    EXPECT_LT(meanDistance(text[i], plain[i], kWhole, {}, region), 3.0) << i;
    EXPECT_GT(changedPixels(text[i], plain[i], {18, 28, 100, 47}), 20) << i;  // first line
    EXPECT_GT(changedPixels(text[i], plain[i], {18, 47, 100, 72}), 20) << i;  // second line
    EXPECT_GT(drawnPixels(text[i], plain[i], isYellow), 40) << i;
  }
}

// Shown from 1 s to 2 s in the lower part of the picture, and nowhere at other times.
void expectSubtitleOnlyDuringItsTime(const TFrames& out, bool (*drawnColour)(const uint8_t*), const std::string& name) {
  const TFrames& plain = Plain();
  for (const int i : {kBefore, kAfter}) {
    EXPECT_LT(meanDistance(out[i], plain[i]), 3.0) << name << " " << i;
    EXPECT_EQ(changedPixels(out[i], plain[i]), 0) << name << " " << i;
  }
  EXPECT_GT(changedPixels(out[kDuring], plain[kDuring], {0, kHeight / 2, kWidth, kHeight}), 100) << name;
  EXPECT_EQ(changedPixels(out[kDuring], plain[kDuring], {0, 0, kWidth, kHeight / 3}), 0) << name;
  const TRect lower{0, kHeight / 2, kWidth, kHeight};
  EXPECT_GT(drawnPixels(out[kDuring], plain[kDuring], drawnColour, lower), 50) << name;
}

TEST_F(CliFiltersTest, SrtAndAssSubtitlesShowDuringTheirTime) {
  test::WriteFile(Dir.File("film.srt"), kSrt);
  test::WriteFile(Dir.File("film.ass"), kAss);
  expectSubtitleOnlyDuringItsTime(Convert("--subtitles " + Dir.File("film.srt") + " --font " + kFont), isYellow, "srt");
  expectSubtitleOnlyDuringItsTime(
      Convert("--subtitles " + Dir.File("film.ass") + " --font " + kFont + " --subtitle-color 0000ff"), isBlue, "ass");
}

TEST_F(CliFiltersTest, CodePageReadsTheSubtitleFile) {
  const TFrames& plain = Plain();
  // "Привет" in UTF-8 and in windows-1251.
  test::WriteFile(Dir.File("utf8.srt"),
                  "1\n00:00:01,000 --> 00:00:02,000\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n\n");
  test::WriteFile(Dir.File("cp1251.srt"), "1\n00:00:01,000 --> 00:00:02,000\n\xCF\xF0\xE8\xE2\xE5\xF2\n\n");
  const TFrames utf8 = Convert("--subtitles " + Dir.File("utf8.srt") + " --font " + kFont);
  const TFrames cp1251 = Convert("--subtitles " + Dir.File("cp1251.srt") + " --font " + kFont + " --codepage cp1251");
  // The same bytes read as Western European are other letters.
  const TFrames cp1252 = Convert("--subtitles " + Dir.File("cp1251.srt") + " --font " + kFont + " --codepage cp1252");
  EXPECT_GT(changedPixels(utf8[kDuring], plain[kDuring]), 30);
  EXPECT_LT(meanDistance(cp1251[kDuring], utf8[kDuring]), 1.0);
  EXPECT_EQ(changedPixels(cp1251[kDuring], utf8[kDuring]), 0);
  EXPECT_GT(changedPixels(cp1252[kDuring], utf8[kDuring]), 20);
}

TEST_F(CliFiltersTest, StoredSettingsInTheOldSyntaxRunLikeTheOptions) {
  const std::string logo = logoFixture();
  const TFrames converted = Convert("--logo " + logo + "@100,60 --text Velocast --font " + kFont +
                                    " --text-at 10,10 --text-color FFFFFF --vflip --negate");
  // The text as the wizard's filters write it: logo, text, then one standard filter.
  const std::string stored = " movie=0:png:" + logo +
                             "  [wm];[in][wm]  overlay=100:60:1  [out] ,drawtext=fontfile=\\'" + kFont +
                             "\\'#text='Velocast\\n'#x=10#y=10#fontsize=16#fgcolor=0xFFFFFFFF"
                             "#bgcolor=0x0000FF00, vflip,negate ";
  EXPECT_EQ(StoredFilters(), stored);

  profiles::TAVProfileList list;
  profiles::BuildCatalogue(list);
  const profiles::TAVProfile* profile = nullptr;
  for (int i = 0; i < list.Count(); ++i)
    if (list.Items(i).Description == kProfile) profile = &list.Items(i);
  ASSERT_NE(profile, nullptr);
  tasks::TConversionSettings settings;
  settings.SourceFile = clipFixture();
  settings.TargetFile = Dir.File("run.mkv");
  settings.Profile = kProfile;
  settings.ConvertOptions.FilterOptions.VideoFilters = stored;
  tasks::ApplyProfile(settings.ConvertOptions, *profile);
  test::WriteFile(Dir.File("settings.xml"), settings.ToXml());
  std::string out;
  ASSERT_EQ(Cli("run " + Dir.File("settings.xml"), &out), 0) << out;

  const TFrames run = clipFrames(settings.TargetFile, out);
  for (const int i : {0, kDuring, kFrameCount - 1}) {
    EXPECT_LT(meanDistance(run[i], converted[i]), 0.5) << i;
    EXPECT_GT(meanDistance(run[i], Plain()[i]), 20.0) << i;
  }
}

TEST_F(CliFiltersTest, AwkwardPathsReachTheirFilters) {
  const TFrames& plain = Plain();
  const std::string dir = Dir.File("we ird  dir, [x]; y: 'q' \"z\"");
  std::filesystem::create_directories(dir);
  const std::string logo = dir + "/logo, [1]: 'a'.png";
  const std::string srt = dir + "/sub, [2]: 'b' \"c\".srt";
  std::filesystem::copy_file(logoFixture(), logo);
  test::WriteFile(srt, kSrt);
  const TFrames out =
      Convert("--logo " + shellQuoted(logo + "@10,10") + " --subtitles " + shellQuoted(srt) + " --font " + kFont);
  for (const int i : {kBefore, kDuring, kAfter}) {
    EXPECT_EQ(countPixels(out[i], isRed, {10, 10, 18, 22}), 8 * 12) << i;
    EXPECT_GE(countPixels(out[i], isBlue, {19, 10, 26, 22}), 7 * 12) << i;
  }
  const TRect logoArea{8, 8, 28, 24};
  const TRect lower{0, kHeight / 2, kWidth, kHeight};
  EXPECT_LT(meanDistance(out[kBefore], plain[kBefore], kWhole, {}, logoArea), 3.0);
  EXPECT_EQ(changedPixels(out[kBefore], plain[kBefore]), changedPixels(out[kBefore], plain[kBefore], logoArea));
  EXPECT_GT(drawnPixels(out[kDuring], plain[kDuring], isYellow, lower), 50);
}

// File names written to end the path, the option or the filter and to start another filter.
TEST_F(CliFiltersTest, CraftedPathsAddNoFilter) {
  const TFrames& plain = Plain();
  const std::string logo = Dir.File("l.png [wm];[in]negate[n];[n][wm] overlay=0:0:1 [out]");
  std::filesystem::copy_file(logoFixture(), logo);
  std::string args = "--logo " + shellQuoted(logo + "@10,10");
  for (const std::string name : {"e.srt,negate", "q.srt',negate,'", "d.srt[o];[o]negate", "b.srt\\,negate"}) {
    test::WriteFile(Dir.File(name), kSrt);
    args += " --subtitles " + shellQuoted(Dir.File(name)) + " --font " + kFont;
  }
  const TFrames out = Convert(args);
  const TRect logoArea{8, 8, 28, 24};
  const TRect lower{0, kHeight / 2, kWidth, kHeight};
  EXPECT_LT(meanDistance(out[kBefore], plain[kBefore], kWhole, {}, logoArea), 3.0);
  EXPECT_EQ(changedPixels(out[kBefore], plain[kBefore]), changedPixels(out[kBefore], plain[kBefore], logoArea));
  EXPECT_EQ(countPixels(out[kBefore], isRed, {10, 10, 18, 22}), 8 * 12);
  EXPECT_GT(drawnPixels(out[kDuring], plain[kDuring], isYellow, lower), 50);
}

}  // namespace
