#pragma once
// Text helpers used across the layers: printf-style formatting, the shortest decimal text of a
// number, and the "h:m:s" time text shown in lists and the preview.
#include <cstdint>
#include <string>

namespace vc::base {

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Shortest decimal text that reads back as the same double, "." as separator, no exponent for
// ordinary magnitudes ("12.2", "128", "0.5").
std::string ShortestDecimal(double value);

// General decimal text with at most 15 significant digits, "." whatever the locale; scientific
// ("1.5E-6", "1E15") only below 1e-5 or from 1e15 upwards. Used by the object XML form.
std::string FloatText15(double value);

// Whole seconds as "%d:%d:%d" hours, minutes, seconds without leading zeros (65 gives "0:1:5").
std::string TimeText(int64_t seconds);

// Case-insensitive ASCII comparison.
bool SameText(const std::string& a, const std::string& b);
std::string LowerCase(std::string text);

// Strict decimal parsing: optional sign, digits only, within range; nothing else.
bool TryParseInt32(const std::string& text, int32_t& value);
bool TryParseInt64(const std::string& text, int64_t& value);
// Decimal number with "." as separator (no locale); false when the whole text is not a number.
bool TryParseDouble(const std::string& text, double& value);

}  // namespace vc::base
