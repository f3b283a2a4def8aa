#include "base/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::base {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

std::string trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The key of a key=value line; empty for blanks, comments and text without '='.
std::string keyOf(const std::string& line) {
  const auto eq = line.find('=');
  if (eq == std::string::npos) return {};
  std::string key = trim(line.substr(0, eq));
  if (!key.empty() && key[0] == ';') return {};
  return key;
}

std::string valueOf(const std::string& line) { return trim(line.substr(line.find('=') + 1)); }

// The section name of a "[name]" line, or false when the line is no header.
bool headerName(const std::string& line, std::string& name) {
  const std::string t = trim(line);
  if (t.empty() || t[0] != '[') return false;
  const auto close = t.find(']');
  if (close == std::string::npos) return false;
  name = trim(t.substr(1, close - 1));
  return true;
}

std::string oneLine(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return value;
}

[[noreturn]] void writeError(const std::string& fileName) {
  throw EVelocastError(Format("Unable to write to %s", fileName.c_str()));
}

bool writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
  std::error_code ec;
  if (!std::filesystem::exists(FFileName, ec)) return;
  std::ifstream in(FFileName, std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  if (!in || in.bad() || std::filesystem::is_directory(FFileName, ec))
    throw EVelocastError(Format("Unable to read %s", FFileName.c_str()));
  parse(text.str());
}

void TIniFile::parse(const std::string& text) {
  size_t start = 0;
  if (text.compare(0, 3, kByteOrderMark) == 0) {
    FByteOrderMark = true;
    start = 3;
  }
  std::vector<std::string>* target = &FPreamble;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    std::string name;
    if (headerName(line, name)) {
      FSections.push_back({name, line, {}});
      target = &FSections.back().Lines;
    } else {
      target->push_back(std::move(line));
    }
  }
}

const TIniFile::TSection* TIniFile::findSection(const std::string& name) const {
  // The first of equally named sections is the one read and written.
  for (const auto& s : FSections)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

TIniFile::TSection* TIniFile::findSection(const std::string& name) {
  return const_cast<TSection*>(static_cast<const TIniFile*>(this)->findSection(name));
}

int TIniFile::findKey(const TSection& section, const std::string& key) {
  for (size_t i = 0; i < section.Lines.size(); ++i)
    if (SameText(keyOf(section.Lines[i]), key)) return static_cast<int>(i);
  return -1;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  const TSection* s = findSection(section);
  return s && findKey(*s, key) >= 0;
}

int TIniFile::KeyCount(const std::string& section) const {
  const TSection* s = findSection(section);
  int count = 0;
  if (s)
    for (const auto& line : s->Lines)
      if (!keyOf(line).empty()) ++count;
  return count;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const TSection* s = findSection(section);
  if (!s) return defaultValue;
  const int i = findKey(*s, key);
  return i < 0 ? defaultValue : valueOf(s->Lines[static_cast<size_t>(i)]);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const {
  int32_t value = 0;
  return TryParseInt32(ReadString(section, key, ""), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  TSection* s = findSection(section);
  if (!s) {
    FSections.push_back({section, "[" + section + "]", {}});
    s = &FSections.back();
  }
  const int i = findKey(*s, key);
  if (i >= 0) {
    auto& line = s->Lines[static_cast<size_t>(i)];
    line = keyOf(line) + "=" + oneLine(value);
    return;
  }
  // After the last non-blank line, so blank lines that separate sections stay between them.
  auto pos = s->Lines.end();
  while (pos != s->Lines.begin() && trim(*(pos - 1)).empty()) --pos;
  s->Lines.insert(pos, key + "=" + oneLine(value));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const {
  std::string text = FByteOrderMark ? kByteOrderMark : "";
  for (const auto& line : FPreamble) text += line + "\n";
  for (const auto& s : FSections) {
    text += s.Header + "\n";
    for (const auto& line : s.Lines) text += line + "\n";
  }
  return text;
}

void TIniFile::UpdateFile() const {
  namespace fs = std::filesystem;
  std::error_code ec;
  // Through a symbolic link the file it points at is replaced, not the link.
  fs::path target = FFileName;
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode)) writeError(FFileName);

  static std::atomic<unsigned> counter{0};
  const fs::path temp =
      target.parent_path() / Format(".%s.%d.%u.tmp", target.filename().c_str(), static_cast<int>(::getpid()), counter++);
  // 0666 lets the process umask decide a new file's permissions, as for any created file.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) writeError(FFileName);
  bool ok = writeAll(fd, Text());
  if (ok && existed) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    writeError(FFileName);
  }
  // Make the rename itself durable; a failure here cannot lose the old content any more.
  const std::string folder = target.parent_path().empty() ? "." : target.parent_path().string();
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace vc::base
