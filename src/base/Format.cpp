#include "base/Format.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <vector>

namespace vc::base {

std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), fmt, args);
    out.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);
  return out;
}

std::string ShortestDecimal(double value) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buffer, end);
}

std::string FloatText15(double value) {
  if (value == 0) return "0";
  if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
  // to_chars never looks at the locale, so "." stays the separator everywhere.
  const double magnitude = std::fabs(value);
  char buffer[400];
  if (magnitude >= 1e-5 && magnitude < 1e15) {
    const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    const int decimals = std::max(0, 14 - exponent);
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    if (text.find('.') != std::string::npos) {
      while (!text.empty() && text.back() == '0') text.pop_back();
      if (!text.empty() && text.back() == '.') text.pop_back();
    }
    return text;
  }
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
  std::string text(buffer, ec == std::errc() ? end : buffer);  // d.ddddddddddddddde±xx
  const auto e = text.find('e');
  std::string mantissa = text.substr(0, e);
  const int exponent = std::atoi(text.c_str() + e + 1);
  if (mantissa.find('.') != std::string::npos) {
    while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
    if (!mantissa.empty() && mantissa.back() == '.') mantissa.pop_back();
  }
  return mantissa + "E" + std::to_string(exponent);
}

std::string TimeText(int64_t seconds) {
  return Format("%d:%d:%d", static_cast<int>((seconds / 60) / 60), static_cast<int>((seconds / 60) % 60),
                static_cast<int>(seconds % 60));
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string LowerCase(std::string text) {
  for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

template <class T>
static bool parseWhole(const std::string& text, T& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  if (first == last) return false;
  auto [ptr, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && ptr == last;
}

bool TryParseInt32(const std::string& text, int32_t& value) { return parseWhole(text, value); }
bool TryParseInt64(const std::string& text, int64_t& value) { return parseWhole(text, value); }

bool TryParseDouble(const std::string& text, double& value) { return parseWhole(text, value); }

}  // namespace vc::base
