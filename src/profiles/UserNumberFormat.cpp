#include "profiles/UserNumberFormat.h"

#include <langinfo.h>
#include <locale.h>

#include "base/Format.h"

namespace vc::profiles {

std::string UserDecimalSeparator() {
  locale_t user = ::newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (!user) return ".";
  const char* radix = ::nl_langinfo_l(RADIXCHAR, user);
  std::string separator = radix && *radix ? radix : ".";
  ::freelocale(user);
  return separator;
}

std::string FormatUserFloat(double value) {
  std::string text = base::ShortestDecimal(value);
  const std::string separator = UserDecimalSeparator();
  if (const auto dot = text.find('.'); dot != std::string::npos && separator != ".") text.replace(dot, 1, separator);
  return text;
}

bool ParseUserFloat(const std::string& text, double& value) {
  std::string plain = text;
  const std::string separator = UserDecimalSeparator();
  if (separator != ".") {
    if (const auto at = plain.find(separator); at != std::string::npos) plain.replace(at, separator.size(), ".");
  }
  if (const auto comma = plain.find(','); comma != std::string::npos) plain[comma] = '.';
  return base::TryParseDouble(plain, value);
}

}  // namespace vc::profiles
