// The stored video filter text read back and translated for today's filter library: the join's
// wrapping undone, today's syntax kept byte for byte, each old form rewritten, and old forms that
// cannot be read failing with the program's message and a log line naming the item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Errors.h"
#include "media/FilterJoin.h"
#include "media/FilterText.h"

namespace vc::media {
namespace {

const std::string kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

// An item as the wizard's join stores it: wrapped in spaces, inner spaces doubled, when it holds
// a blank, a comma or a control character.
std::string stored(const std::string& item) {
  if (item.find_first_of(" ,\t\n\r") == std::string::npos) return item;
  std::string text = " ";
  for (const char c : item) text += c == ' ' ? std::string("  ") : std::string(1, c);
  return text + " ";
}

TEST(FilterJoinTest, SplitsWhatTheJoinWrote) {
  using Items = std::vector<std::string>;
  const std::vector<std::pair<std::string, Items>> cases = {
      {"", {}},
      {"  ", {""}},
      {"vflip", {"vflip"}},
      {"vflip,negate", {"vflip", "negate"}},
      {",vflip,", {"", "vflip", ""}},
      {" vflip,hflip,rotate=45 ", {"vflip,hflip,rotate=45"}},
      {" movie=0:png:/my  logos/a.png  [wm];[in][wm]  overlay=10:10:1  [out] ,negate",
       {"movie=0:png:/my logos/a.png [wm];[in][wm] overlay=10:10:1 [out]", "negate"}},
      {"    ", {" "}},                 // one item that is a single space
      {"   a  ,  b   ", {" a , b "}},  // blanks at the ends of an item and before a comma
      {" a\nb ", {"a\nb"}},
  };
  for (const auto& [text, items] : cases) {
    const auto split = SplitFilterJoin(text);
    ASSERT_TRUE(split.has_value()) << text;
    EXPECT_EQ(*split, items) << text;
  }
}

TEST(FilterJoinTest, RefusesTextsTheJoinCannotWrite) {
  for (const std::string text : {"scale=320:240, vflip", " vflip", " a b ", "a b", "vflip ,negate", "a\tb"})
    EXPECT_FALSE(SplitFilterJoin(text).has_value()) << text;
}

TEST(FilterTextTest, TodaysSyntaxPassesUnchanged) {
  const std::vector<std::string> cases = {
      "",
      "vflip",
      "hflip,vflip,negate",
      "drawbox=10:20:100:50:Red",
      " vflip,hflip,negate ",
      " vflip,hflip ,drawbox=1:2:3:4:Blue",
      "scale=320:240,setsar=1",
      "yadif=0:-1:0, scale=160:120",
      "rotate=PI/6",
      "rotate=a=45*PI/180:ow=rotw(a):oh=roth(a)",
      "hqdn3d=4:3:6:4.5",
      "subtitles=filename=/s/a\\,b.srt:force_style='FontName=DejaVu Sans'",
      "drawtext=fontfile=/f.ttf:text='hello world':x=10:y=10",
      "ass=/s/film.ass",
      "movie=logo.png[wm];[in][wm]overlay=10:10[out]",
      "[in]split[a][b];[a]vflip[c];[b][c]hstack,scale=160:120[out]",
      "sws_flags=bicubic;scale=160:120",
  };
  for (const auto& text : cases) EXPECT_EQ(TranslateFilterText(text), text);
}

TEST(FilterTextTest, RewritesEachOldForm) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"rotate=45", "rotate=angle=45*PI/180"},
      {"rotate=-90", "rotate=angle=-90*PI/180"},
      {" vflip,hflip,rotate=45 ", "vflip,hflip,rotate=angle=45*PI/180"},
      {"drawbox=10:20:30:40:", "drawbox=x=10:y=20:w=30:h=40:color=black"},
      {"  ", ""},
      {",vflip,", "vflip"},
      // The logo alone: the picture is a second chain, so the text names "in" and "out".
      {" movie=0:png:/p/my  logo.png  [wm];[in][wm]  overlay=10:20:1  [out] ",
       "movie=filename=file\\\\:/p/my logo.png:format_name=png_pipe[vc_logo1];"
       "[in][vc_logo1]overlay=x=10:y=20[out]"},
      // Chains before and after a logo are linked through their own labels.
      {"vflip, movie=0:png:/p/a\\\\b.png  [wm];[in][wm]  overlay=-5:7:1  [out] ,negate,rotate=90",
       "[in]vflip[vc_main1];movie=filename=file\\\\:/p/a\\\\\\\\b.png:format_name=png_pipe[vc_logo2];"
       "[vc_main1][vc_logo2]overlay=x=-5:y=7[vc_main3];[vc_main3]negate,rotate=angle=90*PI/180[out]"},
      // Line breaks kept, no %-expansion, the background box with its stored (invisible) alpha.
      {"drawtext=fontfile=\\'/f/DejaVu.ttf\\'#text='first\\nsecond\\n'#x=10#y=20#fontsize=16"
       "#fgcolor=0xFFFF00FF#bgcolor=0x0000FF00",
       "drawtext=fontfile=/f/DejaVu.ttf:text=first\nsecond\\\\\\\n:expansion=none:x=10:y=20:fontsize=16"
       ":fontcolor=0xFFFF00FF:box=1:boxcolor=0x0000FF00"},
      {" drawtext=fontfile=\\'\\'#text='100%  done:  it''s'#x=0#y=0#fontsize=8#fgcolor=0xFFFFFFFF#bgcolor=0x00000000 ",
       "drawtext=text=100% done\\\\: it\\\\\\'\\\\\\'s:expansion=none:x=0:y=0:fontsize=8"
       ":fontcolor=0xFFFFFFFF:box=1:boxcolor=0x00000000"},
      // Nothing to draw.
      {"drawtext=fontfile=\\'/f.ttf\\'#text=''#x=0#y=0#fontsize=8#fgcolor=0xFFFFFFFF#bgcolor=0x00000000,vflip",
       "vflip"},
      // Subtitles: the font's folder, family, weight and slant, the colour made opaque, the code page.
      {"ass=filename$/s/film.srt#font$" + kFont + "#color$0xFFFF0000",
       "subtitles=filename=file\\\\:/s/film.srt:fontsdir=/usr/share/fonts/truetype/dejavu"
       ":force_style=FontName=DejaVu Sans\\,Bold=0\\,Italic=0\\,PrimaryColour=&H0000FFFF"},
      {"ass=filename$/s/film.ass#font$" + kBoldFont + "#color$0xFF00#codepage$cp1251",
       "subtitles=filename=file\\\\:/s/film.ass:fontsdir=/usr/share/fonts/truetype/dejavu"
       ":force_style=FontName=DejaVu Serif\\,Bold=1\\,Italic=0\\,PrimaryColour=&H00FF0000:charenc=cp1251"},
      {"ass=filename$/s/a.srt#font$#color$0x000",
       "subtitles=filename=file\\\\:/s/a.srt:force_style=PrimaryColour=&H00000000"},
  };
  for (const auto& [stored, expected] : cases) EXPECT_EQ(TranslateFilterText(stored), expected) << stored;
}

TEST(FilterTextTest, OldFormThatCannotBeReadFailsNamingTheItem) {
  const std::vector<std::string> cases = {
      "movie=0:png:/p/logo.png",
      "movie=0:png: [wm];[in][wm] overlay=1:1:1 [out]",
      "movie=0:png:/p/l.png [wm];[in][wm] overlay=99999999999:1:1 [out]",
      "drawtext=fontfile=\\'/f.ttf\\'#text='a'#x=1",
      "drawtext=fontfile=\\'/f.ttf\\'#text='a'#x=1#y=2#fontsize=3#fgcolor=0xFFFFFF#bgcolor=0x00000000",
      "ass=filename$/s/a.srt",
      "ass=filename$/s/a.srt#font$" + kFont + "#color$0xFF",
      "ass=filename$#font$" + kFont + "#color$0xFF00",
      "ass=filename$/s/a.srt#font$/no/such/font.ttf#color$0xFF00",
      "ass=filename$/s/a.srt#font$/usr/share/fonts/truetype/dejavu#color$0xFF00",
      "rotate=4294967296",
  };
  for (const auto& item : cases) {
    std::vector<std::string> lines;
    try {
      TranslateFilterText("vflip," + stored(item), [&](const std::string& line) { lines.push_back(line); });
      ADD_FAILURE() << "no error for " << item;
    } catch (const base::EVelocastError& e) {
      EXPECT_STREQ(e.what(), "Error opening filters!");
      ASSERT_EQ(lines.size(), 1u) << item;
      EXPECT_NE(lines[0].find("\"" + item + "\""), std::string::npos) << lines[0];
    }
  }
  // Without a log the error is the same.
  EXPECT_THROW(TranslateFilterText("rotate=4294967296"), base::EVelocastError);
}

}  // namespace
}  // namespace vc::media
