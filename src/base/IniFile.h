#pragma once
// A private-profile (INI) file held in memory: "[Section]" header lines followed by key=value
// lines. Section and key names compare without regard to case; values are unquoted and read
// trimmed. Lines the reader does not understand (comments, blanks, text without '=') are kept
// as they are, so rewriting a file changes only the keys that were written.
#include <cstdint>
#include <string>
#include <vector>

namespace vc::base {

class TIniFile final {
 public:
  // Reads the file when it exists; a missing file starts empty. A file that exists but cannot
  // be read raises an error naming it, so a later save cannot replace what it could not see.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FFileName; }

  bool ValueExists(const std::string& section, const std::string& key) const;
  // Number of key=value lines in the section.
  int KeyCount(const std::string& section) const;
  std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
  // A missing key or a value that is not a whole decimal number gives the default.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
  // Any non-zero integer is true.
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // A key already present keeps its line and gets the new value; a new key goes after the last
  // entry of its section; a new section goes to the end. Line breaks inside the value become
  // spaces, since they would end the line and start foreign keys.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // The whole file as it would be written ("\n" after every line).
  std::string Text() const;
  // Writes the text to the file through a temporary file in the same folder and a rename, so a
  // failed write (full disk, no permission, missing folder) leaves the old file untouched.
  // Failure raises "Unable to write to <file>".
  void UpdateFile() const;

 private:
  struct TSection {
    std::string Name;
    std::string Header;              // the header line as read or written
    std::vector<std::string> Lines;  // the lines after the header up to the next header
  };

  const TSection* findSection(const std::string& name) const;
  TSection* findSection(const std::string& name);
  static int findKey(const TSection& section, const std::string& key);
  void parse(const std::string& text);

  std::string FFileName;
  bool FByteOrderMark = false;
  std::vector<std::string> FPreamble;  // lines before the first section header
  std::vector<TSection> FSections;
};

}  // namespace vc::base
