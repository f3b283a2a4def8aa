#include "base/Strings.h"

#include "base/Format.h"

namespace vc::base {

void TStrings::Insert(int index, std::string line) {
  FLines.insert(FLines.begin() + index, std::move(line));
}

void TStrings::Delete(int index) { FLines.erase(FLines.begin() + index); }

std::string TStrings::Names(int index) const {
  const auto& line = (*this)[index];
  const auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  const auto& line = (*this)[index];
  const auto eq = line.find('=');
  return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

int TStrings::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const auto& line = FLines[static_cast<size_t>(i)];
    const auto eq = line.find('=');
    if (eq != std::string::npos && SameText(line.substr(0, eq), name)) return i;
  }
  return -1;
}

std::string TStrings::Values(const std::string& name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

int TStrings::IndexOf(const std::string& line) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(FLines[static_cast<size_t>(i)], line)) return i;
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (const auto& line : FLines) text += line + "\n";
  return text;
}

void TStrings::SetText(const std::string& text) {
  FLines.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      FLines.push_back(text.substr(start));
      break;
    }
    FLines.push_back(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

static bool needsQuotes(const std::string& item) {
  for (unsigned char c : item)
    if (c <= ' ' || c == ',' || c == '"') return true;
  return false;
}

std::string TStrings::CommaText() const {
  // A single empty line is written as "" so it survives a round trip; empty lines among others
  // are written as nothing between two commas, which reads back as an empty line as well.
  if (FLines.size() == 1 && FLines[0].empty()) return "\"\"";
  std::string text;
  for (size_t i = 0; i < FLines.size(); ++i) {
    if (i) text += ',';
    const auto& item = FLines[i];
    if (needsQuotes(item)) {
      text += '"';
      for (char c : item) {
        if (c == '"') text += '"';
        text += c;
      }
      text += '"';
    } else {
      text += item;
    }
  }
  return text;
}

void TStrings::SetCommaText(const std::string& text) {
  FLines.clear();
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  size_t p = 0;
  while (p < text.size() && isBlank(text[p])) ++p;
  while (p < text.size()) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < text.size()) {
        if (text[p] == '"') {
          if (p + 1 < text.size() && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      while (p < text.size() && text[p] != ',' && !isBlank(text[p])) item += text[p++];
    }
    FLines.push_back(item);
    while (p < text.size() && isBlank(text[p])) ++p;
    if (p < text.size() && text[p] == ',') {
      ++p;
      while (p < text.size() && isBlank(text[p])) ++p;
      if (p == text.size()) FLines.emplace_back();  // trailing comma gives a last empty item
    }
  }
}

}  // namespace vc::base
