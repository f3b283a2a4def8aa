#include "media/FilterJoin.h"

namespace vc::media {

namespace {

// Reads a wrapped item starting at its opening space. Inside, every space run is doubled, so it
// has an even length; the closing space makes the last run odd, and that run is followed by ','
// or the end of the text.
bool readWrapped(const std::string& text, size_t& pos, std::string& item) {
  ++pos;
  while (pos < text.size()) {
    if (text[pos] != ' ') {
      item += text[pos++];
      continue;
    }
    size_t run = 0;
    while (pos + run < text.size() && text[pos + run] == ' ') ++run;
    const size_t next = pos + run;
    const bool atItemEnd = next == text.size() || text[next] == ',';
    if (run % 2 == 1) {
      if (!atItemEnd) return false;
      item.append((run - 1) / 2, ' ');
      pos = next;
      return true;
    }
    item.append(run / 2, ' ');
    pos = next;
  }
  return false;
}

bool readPlain(const std::string& text, size_t& pos, std::string& item) {
  while (pos < text.size() && text[pos] != ',') {
    const auto c = static_cast<unsigned char>(text[pos]);
    if (c <= ' ') return false;
    item += text[pos++];
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::string>> SplitFilterJoin(const std::string& text) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  size_t pos = 0;
  for (;;) {
    std::string item;
    const bool ok = text[pos] == ' ' ? readWrapped(text, pos, item) : readPlain(text, pos, item);
    if (!ok) return std::nullopt;
    items.push_back(std::move(item));
    if (pos == text.size()) return items;
    ++pos;  // the ',' between items
    if (pos == text.size()) {
      items.emplace_back();  // a trailing empty item
      return items;
    }
  }
}

}  // namespace vc::media
