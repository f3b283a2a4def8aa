#pragma once
// The profile file: the user's custom profiles in one "Profile" section of an INI file,
// numbered from 0, with "ProfileCount" written last.
#include <string>

#include "profiles/AVProfileList.h"

namespace vc::profiles {

// The application-data folder text with "Profiles.ini" appended directly
// (~/.config/Tamberlin/VelocastProfiles.ini).
std::string ProfileFileName();

// Replaces the custom profiles of `list` by those stored in the file: the other profiles stay
// in their order, the stored ones follow in file order. A count that is missing, no number or
// below 1 leaves no custom profile. A file that exists but cannot be read raises an error and
// leaves the list as it was.
void LoadProfiles(TAVProfileList& list, const std::string& fileName);
// Loads the user's profile file when it exists; false when there is none.
bool LoadProfiles(TAVProfileList& list);

// Writes every custom profile of `list` in list order and then "ProfileCount". Keys already in
// the file keep their lines; higher-numbered keys of an earlier, longer save stay and are
// ignored. The file is replaced as a whole or not at all; failure raises "Unable to write to
// <file>".
void SaveProfiles(const TAVProfileList& list, const std::string& fileName);
void SaveProfiles(const TAVProfileList& list);

}  // namespace vc::profiles
