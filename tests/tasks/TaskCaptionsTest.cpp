#include <gtest/gtest.h>

#include <clocale>
#include <ctime>

#include "tasks/TaskCaptions.h"

using namespace vc::tasks;

TEST(TaskCaptionsTest, SizesAreWholeKibibytes) {
  EXPECT_EQ(SizeCaption(0), "0KB");
  EXPECT_EQ(SizeCaption(1023), "0KB");
  EXPECT_EQ(SizeCaption(1024 * 1536 + 1023), "1536KB");
  EXPECT_EQ(SizeCaption(int64_t{5} << 40), "5368709120KB");  // beyond 32 bits
}

TEST(TaskCaptionsTest, DurationsRoundHalfToEven) {
  const std::pair<double, const char*> cases[] = {
      {3725, "1:2:5"}, {0, "0:0:0"}, {1.5, "0:0:2"}, {2.5, "0:0:2"}, {2.51, "0:0:3"}, {362439, "100:40:39"}, {59.49, "0:0:59"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationCaption(seconds), text) << seconds;
}

TEST(TaskCaptionsTest, BitratePatternGroupsThousandsAndKeepsOneToTwoDecimals) {
  const std::pair<double, const char*> cases[] = {
      {0, ".0"},           {0.5, ".5"},          {0.004, ".0"},         {0.125, ".13"},      {12.345, "12.35"},
      {128, "128.0"},      {999.999, "1,000.0"}, {1234.5, "1,234.5"},   {1234567.891, "1,234,567.89"},
      {100000, "100,000.0"}, {-1.25, "-1.25"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatGroupedDecimal(value, ",", "."), text) << value;
  EXPECT_EQ(FormatGroupedDecimal(1234567.5, ".", ","), "1.234.567,5");
}

TEST(TaskCaptionsTest, BitrateFollowsTheNumericLocale) {
  EXPECT_EQ(BitrateCaption(1234.5), "1234.5");  // the C locale has no thousands separator
  const std::string old = std::setlocale(LC_NUMERIC, nullptr);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  const std::string text = BitrateCaption(1234.5);
  std::setlocale(LC_NUMERIC, old.c_str());
  EXPECT_EQ(text, "1.234,5");
}

TEST(TaskCaptionsTest, StoredDatesSortAsTextAndReadBack) {
  std::tm local{};
  local.tm_year = 2024 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 5;
  local.tm_hour = 14;
  local.tm_min = 7;
  local.tm_sec = 9;
  local.tm_isdst = -1;
  const std::time_t afternoon = std::mktime(&local);
  EXPECT_EQ(StoredDateText(afternoon), "2024-03-05 14:07:09");
  EXPECT_EQ(ParseStoredDate("2024-03-05 14:07:09"), afternoon);
  EXPECT_LT(StoredDateText(afternoon - 86400 * 40), StoredDateText(afternoon));
  for (const char* bad : {"", "05.03.2024 14:07:09", "2024-03-05", "2024-03-05 14:07:09x"})
    EXPECT_EQ(ParseStoredDate(bad), 0) << bad;
}

TEST(TaskCaptionsTest, DateColumnLeavesOutMidnight) {
  // The tests run in the C locale: short date %m/%d/%y, long time %H:%M:%S.
  EXPECT_EQ(DateCaption(ParseStoredDate("2024-03-05 14:07:09")), "03/05/24 14:07:09");
  EXPECT_EQ(DateCaption(ParseStoredDate("2024-03-05 00:00:00")), "03/05/24");
  EXPECT_EQ(DateCaption(ParseStoredDate("2024-03-05 00:00:01")), "03/05/24 00:00:01");
  EXPECT_EQ(DateCaption(0), "");
}
