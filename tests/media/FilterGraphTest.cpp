// Stored filter texts, translated, run in a real libavfilter graph linked as the engine links it;
// the effect is checked in the output pixels against the unfiltered pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "media/FilterGraphRunner.h"
#include "media/FilterText.h"
#include "support/TestSupport.h"

namespace vc::media {
namespace {

using test::GradientPicture;
using test::kFrameHeight;
using test::kFrameWidth;
using test::PixelDistance;
using test::TGraphRun;
using test::TRgbPicture;

const std::string kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Frames at 0.48 s, 1.48 s and 2.48 s; the subtitle fixtures show their line from 1 s to 2 s.
std::vector<TRgbPicture> threeFrames() { return {GradientPicture(12), GradientPicture(37), GradientPicture(62)}; }

TGraphRun runStored(const std::string& storedText, const std::vector<TRgbPicture>& input = threeFrames()) {
  return test::RunFilterGraph(TranslateFilterText(storedText), input);
}

const TGraphRun& unfiltered() {
  static const TGraphRun run = test::RunFilterGraph("null", threeFrames());
  return run;
}

// The old forms as the filter objects write them; paths with backslashes doubled.
std::string doubled(const std::string& path) {
  std::string text;
  for (const char c : path) text += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return text;
}
std::string wrapped(const std::string& item) {
  std::string text = " ";
  for (const char c : item) text += c == ' ' ? std::string("  ") : std::string(1, c);
  return text + " ";
}
std::string oldLogo(const std::string& file, int x, int y) {
  return wrapped("movie=0:png:" + doubled(file) + " [wm];[in][wm] overlay=" + std::to_string(x) + ":" +
                 std::to_string(y) + ":1 [out]");
}
std::string oldSubtitles(const std::string& file, const std::string& font, const std::string& colour,
                         const std::string& codePage = {}) {
  std::string item = "ass=filename$" + doubled(file) + "#font$" + doubled(font) + "#color$" + colour;
  if (!codePage.empty()) item += "#codepage$" + codePage;
  return item.find_first_of(" ,") == std::string::npos ? item : wrapped(item);
}

// A 16x12 PNG: left half red, right half blue.
std::string logoFixture() {
  const std::string dir = std::string(VELOCAST_FIXTURE_DIR) + "/filters";
  const std::string path = dir + "/logo.png";
  if (!std::filesystem::exists(path)) {
    std::filesystem::create_directories(dir);
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i "
        "'color=c=red:s=16x12,drawbox=x=8:y=0:w=8:h=12:color=blue:t=fill' "
        "-frames:v 1 '" +
        path + ".tmp.png' && mv '" + path + ".tmp.png' '" + path + "'";
    EXPECT_EQ(test::RunCommand(command), 0);
  }
  return path;
}

// The size tag makes the line large enough on a 160x120 frame for its colour to be measured.
const std::string kSrt = "1\n00:00:01,000 --> 00:00:02,000\n<font size=\"40\">Hello</font>\n\n";
const std::string kAss =
    "[Script Info]\nScriptType: v4.00+\nPlayResX: 160\nPlayResY: 120\n\n"
    "[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
    "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, "
    "MarginL, MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,28,&H00FFFFFF,&H00FFFFFF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,1\n\n"
    "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
    "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,Hello\n";

bool isRed(const uint8_t* p) { return p[0] > 200 && p[1] < 60 && p[2] < 60; }
bool isBlue(const uint8_t* p) { return p[2] > 200 && p[0] < 60 && p[1] < 60; }
bool isYellow(const uint8_t* p) { return p[0] > 200 && p[1] > 200 && p[2] < 60; }
bool isBlack(const uint8_t* p) { return p[0] < 25 && p[1] < 25 && p[2] < 25; }

int countPixels(const TRgbPicture& picture, bool (*test)(const uint8_t*)) {
  int count = 0;
  for (int y = 0; y < picture.Height; ++y)
    for (int x = 0; x < picture.Width; ++x) count += test(picture.At(x, y)) ? 1 : 0;
  return count;
}

// Pixels that differ from the unfiltered picture by more than the colour conversions do.
int changedPixels(const TRgbPicture& a, const TRgbPicture& b, int x0 = 0, int y0 = 0, int x1 = kFrameWidth,
                  int y1 = kFrameHeight) {
  int count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) count += PixelDistance(a.At(x, y), b.At(x, y)) > 6 ? 1 : 0;
  return count;
}

void expectSize(const TGraphRun& run, size_t frames = 3) {
  ASSERT_EQ(run.Frames.size(), frames);
  for (const auto& f : run.Frames) {
    EXPECT_EQ(f.Width, kFrameWidth);
    EXPECT_EQ(f.Height, kFrameHeight);
  }
}

TEST(FilterGraphTest, FlipsMirrorRowsAndColumns) {
  const TGraphRun& ref = unfiltered();
  const TGraphRun v = runStored("vflip");
  const TGraphRun h = runStored("hflip");
  expectSize(v);
  expectSize(h);
  int worstV = 0, worstH = 0;
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) {
      worstV = std::max(worstV, PixelDistance(v.Frames[0].At(x, y), ref.Frames[0].At(x, kFrameHeight - 1 - y)));
      worstH = std::max(worstH, PixelDistance(h.Frames[0].At(x, y), ref.Frames[0].At(kFrameWidth - 1 - x, y)));
    }
  EXPECT_LE(worstV, 3);
  EXPECT_LE(worstH, 3);
}

TEST(FilterGraphTest, NegateInvertsValues) {
  const TGraphRun& ref = unfiltered();
  const TGraphRun run = runStored("negate");
  expectSize(run);
  int worst = 0;
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) {
      const uint8_t* p = ref.Frames[0].At(x, y);
      const uint8_t inverted[3] = {uint8_t(255 - p[0]), uint8_t(255 - p[1]), uint8_t(255 - p[2])};
      worst = std::max(worst, PixelDistance(run.Frames[0].At(x, y), inverted));
    }
  EXPECT_LE(worst, 4);
}

// Whole degrees clockwise about the centre, frame size kept, uncovered corners black.
void expectRotated(const TGraphRun& run, int degrees) {
  expectSize(run);
  const TRgbPicture& in = unfiltered().Frames[0];
  const TRgbPicture& out = run.Frames[0];
  const double a = degrees * M_PI / 180, cx = (kFrameWidth - 1) / 2.0, cy = (kFrameHeight - 1) / 2.0;
  int checked = 0, worst = 0;
  for (int yo = 0; yo < kFrameHeight; yo += 3)
    for (int xo = 0; xo < kFrameWidth; xo += 3) {
      // Inverse of the clockwise turn (y grows downwards).
      const double sx = cx + (xo - cx) * std::cos(a) + (yo - cy) * std::sin(a);
      const double sy = cy - (xo - cx) * std::sin(a) + (yo - cy) * std::cos(a);
      const int ix = int(std::lround(sx)), iy = int(std::lround(sy));
      if (ix < 3 || iy < 3 || ix > kFrameWidth - 4 || iy > kFrameHeight - 4) {
        if (sx < -3 || sy < -3 || sx > kFrameWidth + 2 || sy > kFrameHeight + 2) {
          EXPECT_TRUE(isBlack(out.At(xo, yo))) << xo << "," << yo;
        }
        continue;
      }
      // Skip the marker's edges, where a half-pixel shift is a large step.
      if (ix >= 97 && ix <= 110 && iy >= 17 && iy <= 30) continue;
      worst = std::max(worst, PixelDistance(out.At(xo, yo), in.At(ix, iy)));
      ++checked;
    }
  EXPECT_GT(checked, 500);
  EXPECT_LE(worst, 8);
  // The white marker (centre 103.5, 23.5) lands where the turn takes it.
  const double mx = cx + (103.5 - cx) * std::cos(a) - (23.5 - cy) * std::sin(a);
  const double my = cy + (103.5 - cx) * std::sin(a) + (23.5 - cy) * std::cos(a);
  const uint8_t* marker = out.At(int(std::lround(mx)), int(std::lround(my)));
  EXPECT_GT(marker[0], 220);
  EXPECT_GT(marker[1], 220);
  EXPECT_GT(marker[2], 220);
}

TEST(FilterGraphTest, RotateTurnsWholeDegreesClockwise) {
  expectRotated(runStored("rotate=90"), 90);
  expectRotated(runStored(wrapped("vflip,vflip,rotate=45")), 45);
}

TEST(FilterGraphTest, DrawBoxOutlinesItsRectangleInTheNamedColour) {
  const TGraphRun& ref = unfiltered();
  const TGraphRun run = runStored("drawbox=10:20:60:40:Red");
  expectSize(run);
  const TRgbPicture& out = run.Frames[0];
  // Three-pixel edges of the box x 10..69, y 20..59; inside and outside untouched.
  for (const auto& [x, y] :
       std::vector<std::pair<int, int>>{{30, 20}, {30, 22}, {30, 57}, {30, 59}, {10, 40}, {12, 40}, {67, 40}, {69, 40}})
    EXPECT_TRUE(isRed(out.At(x, y))) << x << "," << y;
  EXPECT_EQ(changedPixels(out, ref.Frames[0], 14, 24, 66, 56), 0);
  EXPECT_EQ(changedPixels(out, ref.Frames[0], 72, 0, kFrameWidth, kFrameHeight), 0);
  EXPECT_EQ(changedPixels(out, ref.Frames[0], 0, 62, kFrameWidth, kFrameHeight), 0);
  // A box saved without a colour name comes out black instead of failing.
  const TGraphRun black = runStored("drawbox=10:20:60:40:");
  EXPECT_TRUE(isBlack(black.Frames[0].At(30, 21)));
}

TEST(FilterGraphTest, LogoSitsAtItsPositionOnEveryFrame) {
  const TGraphRun& ref = unfiltered();
  const TGraphRun run = runStored("hflip," + oldLogo(logoFixture(), 30, 40) + ",negate");
  expectSize(run);
  for (const auto& out : run.Frames) {
    // Drawn after hflip and before negate: red and blue come out negated (cyan, yellow).
    const uint8_t* left = out.At(33, 46);
    const uint8_t* right = out.At(42, 46);
    EXPECT_TRUE(left[0] < 60 && left[1] > 200 && left[2] > 200) << int(left[0]);
    EXPECT_TRUE(isYellow(right)) << int(right[0]) << " " << int(right[1]) << " " << int(right[2]);
  }
  // Outside the 16x12 picture the frame is the flipped, negated source.
  const TGraphRun plain = runStored("hflip,negate");
  EXPECT_EQ(changedPixels(run.Frames[2], plain.Frames[2], 0, 0, kFrameWidth, 38), 0);
  EXPECT_EQ(changedPixels(run.Frames[2], plain.Frames[2], 0, 54, kFrameWidth, kFrameHeight), 0);
  EXPECT_EQ(changedPixels(run.Frames[2], plain.Frames[2], 48, 0, kFrameWidth, kFrameHeight), 0);
  EXPECT_EQ(changedPixels(run.Frames[2], plain.Frames[2], 0, 0, 28, kFrameHeight), 0);
  (void)ref;
}

TEST(FilterGraphTest, OverlayTextChangesOnlyItsRegion) {
  const TGraphRun& ref = unfiltered();
  // As the filter object writes "Hi there" and "AB" (each line ended by CR LF) in yellow on blue.
  const std::string item = "drawtext=fontfile=\\'" + kFont +
                           "\\'#text='Hi there\\nAB\\n'#x=20#y=30#fontsize=16#fgcolor=0xFFFF00FF#bgcolor=0x0000FF00";
  const TGraphRun run = runStored(wrapped(item));
  expectSize(run);
  const TRgbPicture& out = run.Frames[1];
  EXPECT_EQ(changedPixels(out, ref.Frames[1]) - changedPixels(out, ref.Frames[1], 18, 28, 100, 72), 0);
  EXPECT_GT(changedPixels(out, ref.Frames[1], 18, 28, 100, 47), 20);  // first line
  EXPECT_GT(changedPixels(out, ref.Frames[1], 18, 47, 100, 72), 20);  // second line
  EXPECT_GT(countPixels(out, isYellow), 20);
  EXPECT_EQ(countPixels(out, isBlue), 0);  // the background box is transparent
}

struct TSubtitleCase {
  std::string Name;
  std::string Content;
  std::string Colour;
  bool (*IsDrawnColour)(const uint8_t*);
};

TEST(FilterGraphTest, SubtitlesShowOnlyDuringTheirTime) {
  const TGraphRun& ref = unfiltered();
  test::TTempDir dir;
  for (const TSubtitleCase& c :
       {TSubtitleCase{"film.srt", kSrt, "0xFFFF0000", isYellow}, TSubtitleCase{"film.ass", kAss, "0xFF00", isBlue}}) {
    test::WriteFile(dir.File(c.Name), c.Content);
    const TGraphRun run = runStored(oldSubtitles(dir.File(c.Name), kFont, c.Colour));
    expectSize(run);
    EXPECT_EQ(changedPixels(run.Frames[0], ref.Frames[0]), 0) << c.Name;
    EXPECT_EQ(changedPixels(run.Frames[2], ref.Frames[2]), 0) << c.Name;
    EXPECT_GT(changedPixels(run.Frames[1], ref.Frames[1], 0, kFrameHeight / 2, kFrameWidth, kFrameHeight), 30)
        << c.Name;
    EXPECT_EQ(changedPixels(run.Frames[1], ref.Frames[1], 0, 0, kFrameWidth, kFrameHeight / 3), 0) << c.Name;
    EXPECT_GT(countPixels(run.Frames[1], c.IsDrawnColour), 10) << c.Name;
  }
}

TEST(FilterGraphTest, CodePageReadsNonUtf8Subtitles) {
  test::TTempDir dir;
  // "Привет" in UTF-8 and in windows-1251.
  test::WriteFile(dir.File("utf8.srt"),
                  "1\n00:00:01,000 --> 00:00:02,000\n\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\n\n");
  test::WriteFile(dir.File("cp1251.srt"), "1\n00:00:01,000 --> 00:00:02,000\n\xCF\xF0\xE8\xE2\xE5\xF2\n\n");
  const TGraphRun utf8 = runStored(oldSubtitles(dir.File("utf8.srt"), kFont, "0xFFFF0000"));
  const TGraphRun cp1251 = runStored(oldSubtitles(dir.File("cp1251.srt"), kFont, "0xFFFF0000", "cp1251"));
  expectSize(cp1251);
  EXPECT_GT(changedPixels(utf8.Frames[1], unfiltered().Frames[1]), 30);
  EXPECT_EQ(changedPixels(cp1251.Frames[1], utf8.Frames[1]), 0);
  // Without the code page the file is not read as text.
  EXPECT_THROW(runStored(oldSubtitles(dir.File("cp1251.srt"), kFont, "0xFFFF0000")), std::runtime_error);
}

bool has(const TGraphRun& run, const std::string& name) {
  return std::count(run.FilterNames.begin(), run.FilterNames.end(), name);
}

TEST(FilterGraphTest, AwkwardPathsReachTheirFilters) {
  const TGraphRun& ref = unfiltered();
  test::TTempDir temp;
  const std::string dir = temp.File("we ird  dir, [x]; y: 'q' \"z\" \\w");
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(logoFixture(), dir + "/logo, [1].png");
  std::filesystem::copy_file(kFont, dir + "/my font;1.ttf");
  test::WriteFile(dir + "/sub: 'a'.srt", kSrt);
  const TGraphRun run = runStored(oldLogo(dir + "/logo, [1].png", 10, 10) + "," +
                                  oldSubtitles(dir + "/sub: 'a'.srt", dir + "/my font;1.ttf", "0xFFFF0000"));
  expectSize(run);
  EXPECT_TRUE(isRed(run.Frames[0].At(13, 16)));
  EXPECT_TRUE(isBlue(run.Frames[0].At(22, 16)));
  EXPECT_EQ(changedPixels(run.Frames[0], ref.Frames[0], 0, 30, kFrameWidth, kFrameHeight), 0);
  EXPECT_GT(countPixels(run.Frames[1], isYellow), 10);
}

// Paths written to end the option or the filter and start another one.
TEST(FilterGraphTest, CraftedPathsAddNoFilter) {
  test::TTempDir temp;
  const std::vector<std::string> subtitleNames = {"e.srt,negate", "d.srt[o];[o]negate",
                                                  "c.srt:fontsdir=.:force_style=Fontsize=90", "q.srt',negate,'",
                                                  "b.srt\\,negate"};
  for (const auto& name : subtitleNames) {
    test::WriteFile(temp.File(name), kSrt);
    const TGraphRun run = runStored(oldSubtitles(temp.File(name), kFont, "0xFFFF0000"));
    EXPECT_FALSE(has(run, "negate")) << name;
    EXPECT_EQ(has(run, "subtitles"), 1) << name;
    EXPECT_GT(countPixels(run.Frames[1], isYellow), 10) << name;
  }
  const std::string logo = temp.File("l.png [wm];[in]negate[n];[n][wm] overlay=0:0:1 [out]");
  std::filesystem::copy_file(logoFixture(), logo);
  const TGraphRun run = runStored(oldLogo(logo, 10, 10));
  EXPECT_FALSE(has(run, "negate"));
  EXPECT_TRUE(isRed(run.Frames[0].At(13, 16)));
}

}  // namespace
}  // namespace vc::media
