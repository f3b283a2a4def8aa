#include "profiles/AVFilter.h"

namespace vc::profiles {

uint32_t ColorToRGB(TColor color) {
  const auto c = static_cast<uint32_t>(color);
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

namespace {

bool needsWrapping(const std::string& item) {
  for (const char ch : item) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= ' ' || c == ',') return true;
  }
  return false;
}

std::string wrapped(const std::string& item) {
  std::string text = " ";
  for (const char c : item) {
    text += c;
    if (c == ' ') text += ' ';
  }
  return text + " ";
}

}  // namespace

std::string JoinFilterStrings(const std::vector<std::string>& items) {
  if (items.empty()) return {};
  if (items.size() == 1 && items[0].empty()) return "  ";
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ",";
    text += needsWrapping(items[i]) ? wrapped(items[i]) : items[i];
  }
  return text;
}

std::string VideoFiltersText(const std::vector<std::unique_ptr<TAVFilter>>& filters) {
  std::vector<std::string> items;
  items.reserve(filters.size());
  for (const auto& filter : filters) items.push_back(filter->GetFilterString());
  return JoinFilterStrings(items);
}

}  // namespace vc::profiles
