// The video filter objects: their texts exactly as stored conversions hold them, the join of a
// filter list, the dialog operations handed to the desktop, and the stored text of a whole list
// read back by the filter-text translation.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "media/FilterJoin.h"
#include "media/FilterText.h"
#include "profiles/AVFilter.h"
#include "profiles/FilterDialogs.h"
#include "profiles/LogoFilter.h"
#include "profiles/OverlayTextFilter.h"
#include "profiles/SubtitleFilter.h"
#include "profiles/VideoStdFilter.h"

namespace vc::profiles {
namespace {

// Colours as the desktop stores them: red in the low byte.
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clRed = 0x000000FF;

TEST(VideoFilterTest, NamesAndPublishedProperties) {
  TLogoFilter logo;
  TOverlayTextFilter text;
  TSubtitleFilter subtitle;
  TVideoStdFilter standard;
  const std::vector<std::pair<TAVFilter*, std::vector<std::string>>> expected = {
      {&logo, {"X", "Y", "LogoFile"}},
      {&text, {"Text", "FontSize", "FontFile", "X", "Y", "FontColor", "BgColor"}},
      {&subtitle, {"SubtitleFile", "FontFile", "CodePage", "FontColor"}},
      {&standard,
       {"VerticalFilp", "HorizontalFilip", "DrawBox", "BX", "BY", "BWidth", "BHeight", "BColor", "Negate", "Rotate",
        "Degree"}},
  };
  for (const auto& [filter, names] : expected) {
    std::vector<std::string> actual;
    for (const auto& p : filter->Properties()) actual.push_back(p.Name);
    EXPECT_EQ(actual, names) << filter->ClassName();
  }
  EXPECT_EQ(logo.GetDisplayName(), "Logo Filter");
  EXPECT_EQ(text.GetDisplayName(), "Overlay Text Filter");
  EXPECT_EQ(subtitle.GetDisplayName(), "Hard Subtitle Filter");
  EXPECT_EQ(standard.GetDisplayName(), "Standar Filters");
  EXPECT_EQ(standard.ClassName(), "TVideoStdFilter");
}

TEST(VideoFilterTest, LogoTextDoublesBackslashes) {
  TLogoFilter logo;
  logo.X = 10;
  logo.Y = 10;
  logo.LogoFile = "/my logos/a\\b.png";
  EXPECT_EQ(logo.GetFilterString(), "movie=0:png:/my logos/a\\\\b.png [wm];[in][wm] overlay=10:10:1 [out]");
  // In the list the item holds spaces: wrapped, every inner space doubled, the path's included.
  EXPECT_EQ(JoinFilterStrings({logo.GetFilterString()}),
            " movie=0:png:/my  logos/a\\\\b.png  [wm];[in][wm]  overlay=10:10:1  [out] ");
}

TEST(VideoFilterTest, OverlayText) {
  TOverlayTextFilter text;
  text.Text = "first\r\nsecond\r\n";  // as the memo delivers two lines
  text.FontFile = "/fonts/a\\b.ttf";
  text.X = 10;
  text.Y = 20;
  text.FontSize = 16;
  text.FontColor = clWhite;
  text.BgColor = clBlue;
  EXPECT_EQ(text.GetFilterString(),
            "drawtext=fontfile=\\'/fonts/a\\\\b.ttf\\'#text='first\\nsecond\\n'#x=10#y=20#fontsize=16"
            "#fgcolor=0xFFFFFFFF#bgcolor=0x0000FF00");
  // Six digits with leading zeros.
  text.FontColor = clNavy;
  text.BgColor = clRed;
  EXPECT_NE(text.GetFilterString().find("#fgcolor=0x000080FF#bgcolor=0xFF000000"), std::string::npos);
  // Only CR LF pairs are line breaks of the memo.
  text.Text = "a\nb";
  EXPECT_NE(text.GetFilterString().find("#text='a\nb'#"), std::string::npos);
}

TEST(VideoFilterTest, SubtitleColourWithoutLeadingZerosAndCodePage) {
  TSubtitleFilter subtitle;
  subtitle.SubtitleFile = "/s/film.srt";
  subtitle.FontFile = "/f/a.ttf";
  subtitle.FontColor = clYellow;
  EXPECT_EQ(subtitle.GetFilterString(), "ass=filename$/s/film.srt#font$/f/a.ttf#color$0xFFFF0000");
  subtitle.FontColor = clBlue;
  EXPECT_EQ(subtitle.GetFilterString(), "ass=filename$/s/film.srt#font$/f/a.ttf#color$0xFF00");
  subtitle.CodePage = "cp1251";
  EXPECT_EQ(subtitle.GetFilterString(), "ass=filename$/s/film.srt#font$/f/a.ttf#color$0xFF00#codepage$cp1251");
}

TEST(VideoFilterTest, StandardFilterParts) {
  TVideoStdFilter standard;
  EXPECT_EQ(standard.GetFilterString(), "");
  standard.DrawBox = true;
  standard.BX = 10;
  standard.BY = 20;
  standard.BWidth = 100;
  standard.BHeight = 50;
  standard.BColor = "Red";
  EXPECT_EQ(standard.GetFilterString(), "drawbox=10:20:100:50:Red");

  TVideoStdFilter flips;
  flips.VerticalFilp = flips.HorizontalFilip = flips.Rotate = true;
  flips.Degree = 45;
  EXPECT_EQ(flips.GetFilterString(), "vflip,hflip,rotate=45");
  EXPECT_EQ(JoinFilterStrings({flips.GetFilterString()}), " vflip,hflip,rotate=45 ");

  standard.Assign(flips);
  standard.Negate = standard.DrawBox = true;
  EXPECT_EQ(standard.GetFilterString(), "vflip,hflip,drawbox=0:0:0:0:,negate,rotate=45");
  EXPECT_THROW(standard.Assign(TLogoFilter()), base::EConvertError);
}

TEST(VideoFilterTest, JoinRule) {
  using Items = std::vector<std::string>;
  const std::vector<std::pair<Items, std::string>> cases = {
      {{}, ""},
      {{""}, "  "},
      {{"", ""}, ","},
      {{"vflip", ""}, "vflip,"},
      {{"vflip", "negate"}, "vflip,negate"},
      {{"a b"}, " a  b "},
      {{"a,b", "c"}, " a,b ,c"},
      {{"a\tb"}, " a\tb "},
      {{" "}, "    "},
  };
  for (const auto& [items, text] : cases) {
    EXPECT_EQ(JoinFilterStrings(items), text);
    // The translation reads every join back into the same items.
    EXPECT_EQ(media::SplitFilterJoin(text), items) << text;
  }
}

class TRecordingDialogs final : public IFilterDialogs {
 public:
  TRecordingDialogs() { SetFilterDialogs(this); }
  ~TRecordingDialogs() override { SetFilterDialogs(nullptr); }
  bool ShowLogoFilterDialog(TLogoFilter& f, TFilterDialogMode mode) override {
    Calls.push_back(std::string("logo ") + (mode == TFilterDialogMode::New ? "new" : "edit"));
    if (Answer) f.LogoFile = "/chosen.png";
    return Answer;
  }
  bool ShowTextFilterDialog(TOverlayTextFilter&, TFilterDialogMode mode) override {
    Calls.push_back(std::string("text ") + (mode == TFilterDialogMode::New ? "new" : "edit"));
    return Answer;
  }
  bool ShowSubtitleFilterDialog(TSubtitleFilter&, TFilterDialogMode mode) override {
    Calls.push_back(std::string("subtitle ") + (mode == TFilterDialogMode::New ? "new" : "edit"));
    return Answer;
  }
  bool ShowStdFilterDialog(TVideoStdFilter&, TFilterDialogMode mode) override {
    Calls.push_back(std::string("std ") + (mode == TFilterDialogMode::New ? "new" : "edit"));
    return Answer;
  }
  std::vector<std::string> Calls;
  bool Answer = true;
};

TEST(VideoFilterTest, DialogsComeFromTheDesktop) {
  TLogoFilter logo;
  TOverlayTextFilter text;
  TSubtitleFilter subtitle;
  TVideoStdFilter standard;
  EXPECT_THROW(logo.ShowNewDialog(), base::EAssertionFailed);  // no desktop installed
  TRecordingDialogs dialogs;
  EXPECT_TRUE(logo.ShowNewDialog());
  EXPECT_EQ(logo.LogoFile, "/chosen.png");
  dialogs.Answer = false;
  EXPECT_FALSE(logo.ShowEditDialog());
  EXPECT_FALSE(text.ShowNewDialog());
  EXPECT_FALSE(subtitle.ShowEditDialog());
  EXPECT_FALSE(standard.ShowNewDialog());
  EXPECT_EQ(dialogs.Calls, (std::vector<std::string>{"logo new", "logo edit", "text new", "subtitle edit", "std new"}));
}

// A whole list as the wizard stores it, and what the engine will hand to today's library.
TEST(VideoFilterTest, StoredListTranslatesForTodaysLibrary) {
  std::vector<std::unique_ptr<TAVFilter>> filters;
  auto standard = std::make_unique<TVideoStdFilter>();
  standard->VerticalFilp = standard->Rotate = true;
  standard->Degree = 90;
  auto logo = std::make_unique<TLogoFilter>();
  logo->LogoFile = "/my logos/a.png";
  logo->X = 4;
  logo->Y = 6;
  auto subtitle = std::make_unique<TSubtitleFilter>();
  subtitle->SubtitleFile = "/s/film, part 1.srt";
  subtitle->FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  subtitle->FontColor = clYellow;
  subtitle->CodePage = "cp1251";
  filters.push_back(std::move(standard));
  filters.push_back(std::move(logo));
  filters.push_back(std::move(subtitle));

  const std::string stored = VideoFiltersText(filters);
  EXPECT_EQ(stored,
            " vflip,rotate=90 , movie=0:png:/my  logos/a.png  [wm];[in][wm]  overlay=4:6:1  [out] ,"
            " ass=filename$/s/film,  part  1.srt#font$/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
            "#color$0xFFFF0000#codepage$cp1251 ");
  EXPECT_EQ(media::TranslateFilterText(stored),
            "[in]vflip,rotate=angle=90*PI/180[vc_main1];"
            "movie=filename=file\\\\:/my logos/a.png:format_name=png_pipe[vc_logo2];"
            "[vc_main1][vc_logo2]overlay=x=4:y=6[vc_main3];"
            "[vc_main3]subtitles=filename=file\\\\:/s/film\\, part 1.srt:fontsdir=/usr/share/fonts/truetype/dejavu"
            ":force_style=FontName=DejaVu Sans\\,Bold=0\\,Italic=0\\,PrimaryColour=&H0000FFFF:charenc=cp1251[out]");
}

}  // namespace
}  // namespace vc::profiles
