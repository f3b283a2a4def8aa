#pragma once
// TStrings: an ordered list of text lines with name=value access and comma text, as a value type.
#include <string>
#include <vector>

namespace vc::base {

class TStrings final {
 public:
  TStrings() = default;
  TStrings(std::initializer_list<std::string> lines) : FLines(lines) {}

  int Count() const { return static_cast<int>(FLines.size()); }
  bool Empty() const { return FLines.empty(); }
  const std::string& operator[](int index) const { return FLines.at(static_cast<size_t>(index)); }
  std::string& operator[](int index) { return FLines.at(static_cast<size_t>(index)); }
  const std::vector<std::string>& Lines() const { return FLines; }

  void Add(std::string line) { FLines.push_back(std::move(line)); }
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear() { FLines.clear(); }

  // name=value access; names compare without regard to case.
  std::string Names(int index) const;            // text before the first '=', empty when none
  std::string ValueFromIndex(int index) const;   // text after the first '='
  int IndexOfName(const std::string& name) const;  // -1 when absent
  std::string Values(const std::string& name) const;
  int IndexOf(const std::string& line) const;    // case-insensitive whole-line match, -1 when absent

  // Lines joined with "\n" (each line followed by one); setting splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& text);

  // Comma text: items separated by commas; an item holding a space, comma, quote or control
  // character is double-quoted with inner quotes doubled. Reading splits at commas and at
  // spaces and control characters outside double quotes.
  std::string CommaText() const;
  void SetCommaText(const std::string& text);

  bool operator==(const TStrings&) const = default;

 private:
  std::vector<std::string> FLines;
};

}  // namespace vc::base
