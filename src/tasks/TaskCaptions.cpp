#include "tasks/TaskCaptions.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/Format.h"

namespace vc::tasks {

std::string SizeCaption(int64_t bytes) { return base::Format("%lldKB", static_cast<long long>(bytes / 1024)); }

std::string DurationCaption(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
  // nearbyint rounds in the default mode: to nearest, ties to even.
  return base::TimeText(static_cast<int64_t>(std::nearbyint(seconds)));
}

namespace {

// |value| in hundredths, rounded half up on its 15 significant decimal digits (as a Double is
// shown), so 12.345 gives 1235 although its binary value lies just below.
unsigned long long roundedHundredths(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.14e", std::fabs(value));  // d.dddddddddddddde±x
  std::string digits;
  for (const char* p = text; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;  // printf's decimal point follows the locale
  const int exponent = std::atoi(std::strchr(text, 'e') + 1);
  const int kept = exponent + 1 + 2;  // digits up to the hundredths
  if (kept < 0) return 0;
  unsigned long long result = 0;
  for (int i = 0; i < kept; ++i) result = result * 10 + (i < static_cast<int>(digits.size()) ? digits[i] - '0' : 0);
  if (kept < static_cast<int>(digits.size()) && digits[kept] >= '5') ++result;
  return result;
}

}  // namespace

std::string FormatGroupedDecimal(double value, const std::string& thousandsSeparator,
                                 const std::string& decimalSeparator) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e15) value = 0;
  const unsigned long long magnitude = roundedHundredths(value);
  const bool negative = value < 0 && magnitude != 0;
  const unsigned long long whole = magnitude / 100;
  const unsigned fraction = static_cast<unsigned>(magnitude % 100);

  const std::string digits = whole ? std::to_string(whole) : std::string();
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += thousandsSeparator;
    grouped += digits[i];
  }
  const std::string decimals = fraction % 10 == 0 ? std::to_string(fraction / 10) : base::Format("%02u", fraction);
  return (negative ? "-" : "") + grouped + decimalSeparator + decimals;
}

std::string BitrateCaption(double kbitPerSecond) {
  const lconv* conv = std::localeconv();
  const std::string thousands = conv && conv->thousands_sep ? conv->thousands_sep : "";
  const std::string decimal = conv && conv->decimal_point && *conv->decimal_point ? conv->decimal_point : ".";
  return FormatGroupedDecimal(kbitPerSecond, thousands, decimal);
}

std::string StoredDateText(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::time_t ParseStoredDate(const std::string& text) {
  std::tm local{};
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday,
                  &local.tm_hour, &local.tm_min, &local.tm_sec, &consumed) != 6 ||
      static_cast<size_t>(consumed) != text.size())
    return 0;
  local.tm_year -= 1900;
  local.tm_mon -= 1;
  local.tm_isdst = -1;  // whatever daylight saving time said on that day
  const std::time_t time = std::mktime(&local);
  return time == static_cast<std::time_t>(-1) ? 0 : time;
}

std::string DateCaption(std::time_t time) {
  if (time == 0) return {};
  std::tm local{};
  localtime_r(&time, &local);
  char text[128];
  const char* format = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0 ? "%x" : "%x %X";
  if (std::strftime(text, sizeof text, format, &local) == 0) return {};
  return text;
}

}  // namespace vc::tasks
