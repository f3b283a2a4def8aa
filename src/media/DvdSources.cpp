#include "media/DvdSources.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::media {

namespace fs = std::filesystem;

namespace {

constexpr std::streamoff kSector = 2048;
constexpr int kFirstDescriptor = 16;  // ISO 9660 volume descriptors start at sector 16
constexpr int kMaxDescriptors = 32;

bool isFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}
bool isDirectory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// The folder holds VIDEO_TS/VIDEO_TS.IFO (names as DVD-Video writes them, or folded to lower case
// by a plain ISO 9660 mount).
bool holdsVideoTs(const fs::path& folder) {
  return isFile(folder / "VIDEO_TS" / "VIDEO_TS.IFO") || isFile(folder / "video_ts" / "video_ts.ifo");
}

std::string rightTrimmed(std::string text) {
  const size_t end = text.find_last_not_of(std::string(" \0", 2));
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

// The primary volume descriptor's label; nothing when path is not readable as ISO 9660.
std::optional<std::string> isoLabel(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  char descriptor[kSector];
  for (int i = kFirstDescriptor; i < kFirstDescriptor + kMaxDescriptors; ++i) {
    in.seekg(i * kSector);
    if (!in.read(descriptor, kSector)) return std::nullopt;
    if (std::string_view(descriptor + 1, 5) != "CD001") return std::nullopt;
    const auto type = static_cast<unsigned char>(descriptor[0]);
    if (type == 1) return rightTrimmed(std::string(descriptor + 40, 32));
    if (type == 255) return std::nullopt;  // set terminator
  }
  return std::nullopt;
}

std::string folderName(fs::path folder) {
  if (!folder.has_filename()) folder = folder.parent_path();  // "a/b/" names b
  return folder.filename().string();
}

// /proc/mounts writes blanks, tabs, newlines and backslashes in paths as octal escapes.
std::string unescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::stoi(digits, nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

// The device name a mount line's device field stands for ("/dev/cdrom" may link to "sr0").
bool namesDevice(const std::string& device, const std::string& name) {
  if (fs::path(device).filename() == name) return true;
  std::error_code ec;
  const fs::path resolved = fs::canonical(device, ec);
  return !ec && resolved.filename() == name;
}

}  // namespace

std::string DvdSourceCaption(const TDvdSource& source) {
  return base::Format("%s: [%s]", source.Path.c_str(), source.Label.c_str());
}

std::vector<TDvdSource> ListDvdDrives(const std::string& blockClassDir, const std::string& mountsFile) {
  std::vector<std::string> drives;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(blockClassDir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("sr", 0) == 0) drives.push_back(name);
  }
  std::sort(drives.begin(), drives.end());

  std::vector<std::pair<std::string, std::string>> mounts;  // device, mount point
  std::ifstream in(mountsFile);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string device, mountPoint;
    if (fields >> device >> mountPoint) mounts.emplace_back(unescapeMountField(device), unescapeMountField(mountPoint));
  }

  std::vector<TDvdSource> sources;
  for (const auto& drive : drives) {
    for (const auto& [device, mountPoint] : mounts) {
      if (!namesDevice(device, drive) || !holdsVideoTs(mountPoint)) continue;
      TDvdSource source;
      source.Path = mountPoint;
      source.Label = isoLabel(device).value_or(folderName(mountPoint));
      sources.push_back(std::move(source));
      break;
    }
  }
  return sources;
}

std::optional<TDvdSource> DvdSourceFromPath(const std::string& path) {
  const fs::path p(path);
  const bool dvdFolder = isDirectory(p) && (holdsVideoTs(p) || (base::SameText(folderName(p), "VIDEO_TS") &&
                                                                 (isFile(p / "VIDEO_TS.IFO") || isFile(p / "video_ts.ifo"))));
  if (!dvdFolder && !isoLabel(path)) return std::nullopt;
  return TDvdSource{path, DvdVolumeLabel(path)};
}

std::string DvdVolumeLabel(const std::string& path) {
  fs::path p(path);
  if (isDirectory(p)) {
    if (!p.has_filename()) p = p.parent_path();
    if (base::SameText(p.filename().string(), "VIDEO_TS")) p = p.parent_path();
    return p.filename().string();
  }
  if (auto label = isoLabel(path); label && !label->empty()) return *label;
  return p.stem().string();
}

std::vector<TDvdTitle> ListDvdTitles(const std::string& path) {
  std::unique_ptr<TDvdNav> dvd = TDvdNav::Open(path);
  if (!dvd) throw base::EVelocastError("Can not open DVD");
  std::vector<TDvdTitle> titles;
  const int32_t count = dvd->TitleCount();
  for (int32_t i = 1; i <= count; ++i)
    if (std::optional<TDvdTitle> title = dvd->ScanTitle(i)) titles.push_back(std::move(*title));
  for (TDvdTitle& title : titles) {
    if (dvd->Start(title, 1)) title.AngleCount = dvd->AngleCount();
    dvd->Stop();
  }
  return titles;
}

std::string DvdTitleCaption(const TDvdTitle& title) {
  return base::Format("%d(%.2d:%.2d:%.2d)", title.Number, title.Hours, title.Minutes, title.Seconds);
}

}  // namespace vc::media
