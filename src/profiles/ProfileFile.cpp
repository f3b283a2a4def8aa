#include "profiles/ProfileFile.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "base/AppPaths.h"
#include "base/IniFile.h"
#include "profiles/AVCustomVideoProfile.h"

namespace vc::profiles {

std::string ProfileFileName() { return base::AppDataFolder() + "Profiles.ini"; }

void LoadProfiles(TAVProfileList& list, const std::string& fileName) {
  const base::TIniFile ini(fileName);
  list.ClearCustomProfiles();
  int count = ini.ReadInteger(kProfileSection, "ProfileCount", 0);
  // Every stored profile has keys of its own, so a count beyond the section's size can only
  // come from a damaged file; it must not make the program build millions of empty profiles.
  count = std::min(count, ini.KeyCount(kProfileSection));
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<TAVCustomAudioProfile> profile;
    if (ini.ReadBool(kProfileSection, "IsVideo" + std::to_string(i), false))
      profile = std::make_unique<TAVCustomVideoProfile>();
    else
      profile = std::make_unique<TAVCustomAudioProfile>();
    profile->LoadFromIni(ini, i);
    list.Add(std::move(profile));
  }
}

bool LoadProfiles(TAVProfileList& list) {
  const std::string fileName = ProfileFileName();
  std::error_code ec;
  if (!std::filesystem::exists(fileName, ec)) return false;
  LoadProfiles(list, fileName);
  return true;
}

void SaveProfiles(const TAVProfileList& list, const std::string& fileName) {
  base::TIniFile ini(fileName);
  int count = 0;
  for (int i = 0; i < list.Count(); ++i) {
    const TAVProfile& profile = list.Items(i);
    if (!profile.IsCustom()) continue;
    profile.SaveToIni(ini, count++);
  }
  ini.WriteInteger(kProfileSection, "ProfileCount", count);
  if (const auto folder = std::filesystem::path(fileName).parent_path(); !folder.empty())
    base::ForceDirectories(folder.string());
  ini.UpdateFile();
}

void SaveProfiles(const TAVProfileList& list) { SaveProfiles(list, ProfileFileName()); }

}  // namespace vc::profiles
