#include <gtest/gtest.h>

#include <clocale>

#include "base/Format.h"
#include "base/Strings.h"

using namespace vc::base;

TEST(FormatTest, FloatText15MatchesTheStoredForm) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {static_cast<double>(0.1f), "0.100000001490116"},
      {static_cast<double>(0.44f), "0.439999997615814"},
      {static_cast<double>(0.7f), "0.699999988079071"},
      {12.5, "12.5"},
      {-3, "-3"},
      {-99999, "-99999"},
      {0.00001, "0.00001"},
      {1.5e-6, "1.5E-6"},
      {1e15, "1E15"},
      {123456789012345.0, "123456789012345"},
      {1.0 / 3.0, "0.333333333333333"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatText15(c.value), c.text) << c.value;
}

TEST(FormatTest, NumbersIgnoreADecimalCommaLocale) {
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "the de_DE.UTF-8 locale must exist (install-deps.sh)";
  EXPECT_EQ(FloatText15(12.5), "12.5");
  EXPECT_EQ(ShortestDecimal(12.2), "12.2");
  double value = 0;
  EXPECT_TRUE(TryParseDouble("12.5", value));
  EXPECT_EQ(value, 12.5);
  std::setlocale(LC_ALL, "C");
}

TEST(FormatTest, ShortestDecimalAndTimeText) {
  EXPECT_EQ(ShortestDecimal(12.2), "12.2");
  EXPECT_EQ(ShortestDecimal(128), "128");
  EXPECT_EQ(ShortestDecimal(0.5), "0.5");
  EXPECT_EQ(TimeText(65), "0:1:5");
  EXPECT_EQ(TimeText(3725), "1:2:5");
  EXPECT_EQ(TimeText(0), "0:0:0");
}

TEST(FormatTest, StrictIntegerParsing) {
  int32_t v = 0;
  EXPECT_TRUE(TryParseInt32("-42", v));
  EXPECT_EQ(v, -42);
  for (const char* bad : {"", "abc", "1.5", "12x", "2147483648", " 1"}) EXPECT_FALSE(TryParseInt32(bad, v)) << bad;
  int64_t w = 0;
  EXPECT_TRUE(TryParseInt64("9223372036854775807", w));
  EXPECT_FALSE(TryParseInt64("9223372036854775808", w));
}

TEST(StringsTest, CommaTextRoundTripsAndQuotes) {
  const struct {
    std::vector<std::string> lines;
    const char* text;
  } cases[] = {
      {{"maxrate=1000000", "qmin=3", "qmax=5", "bufsize=4096k", "g=300"},
       "maxrate=1000000,qmin=3,qmax=5,bufsize=4096k,g=300"},
      {{"a b", "c,d", "say \"hi\""}, "\"a b\",\"c,d\",\"say \"\"hi\"\"\""},
      // Only a space, comma, quote or control character asks for quotes; a lone empty line is
      // quoted so that it is not read back as no line at all.
      {{"x", "", "y"}, "x,,y"},
      {{""}, "\"\""},
      {{"a", ""}, "a,"},
  };
  for (const auto& c : cases) {
    TStrings list;
    for (const auto& l : c.lines) list.Add(l);
    EXPECT_EQ(list.CommaText(), c.text);
    TStrings back;
    back.SetCommaText(c.text);
    EXPECT_EQ(back.Lines(), c.lines) << c.text;
  }
  TStrings spaced;
  spaced.SetCommaText("a b,c");  // blanks outside quotes separate items too
  EXPECT_EQ(spaced.Lines(), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(StringsTest, NameValueAccessIgnoresCase) {
  TStrings list{"Preset=slow", "crf=23"};
  EXPECT_EQ(list.IndexOfName("preset"), 0);
  EXPECT_EQ(list.Values("CRF"), "23");
  EXPECT_EQ(list.IndexOfName("missing"), -1);
  EXPECT_EQ(list.Names(1), "crf");
}
