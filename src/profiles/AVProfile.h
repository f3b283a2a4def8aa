#pragma once
// TAVProfile: a named target preset that knows how to fill a conversion's option set, how to
// store itself in the profile file, and which list it belongs to.
#include <memory>
#include <string>

#include "base/Persistent.h"

namespace vc::base {
class TIniFile;
}
namespace vc::engine {
class TAVConvertOptions;
}

namespace vc::profiles {

class TAVProfileList;

// The one section of the profile file.
inline constexpr const char* kProfileSection = "Profile";

class TAVProfile : public base::TPersistent {
 public:
  ~TAVProfile() override;
  TAVProfile(const TAVProfile&) = delete;
  TAVProfile& operator=(const TAVProfile&) = delete;

  std::string Name;         // component name ("pfMp3"); empty for profiles read from the file
  std::string Description;  // shown to the user and stored with a conversion as its profile name
  std::string Category;     // matched against the list's Categories without regard to case

  // Replaces the source file's extension in the target name, dot included (".mp4", "1.jpg").
  virtual std::string Extension() const { return FExtension; }
  virtual void SetExtension(const std::string& value) { FExtension = value; }

  // Only custom (user-editable) profiles are stored in the profile file and edited.
  virtual bool IsCustom() const { return false; }

  // Writes this profile's keys numbered `index` into the "Profile" section.
  virtual void SaveToIni(base::TIniFile& ini, int index) const;
  // Reads them back; a missing or unreadable key leaves the property as it is.
  virtual void LoadFromIni(const base::TIniFile& ini, int index);
  // Fills the option set with this profile's choices; true on success. An enumeration value
  // outside its range (only an edited profile file holds one) raises an error at that step.
  virtual bool Apply(engine::TAVConvertOptions& options) const = 0;

  // The list this profile is attached to; none when detached.
  TAVProfileList* ProfileList() const { return FList; }
  // Moves an attached profile to the end of `list` (nothing when it is there already). A
  // detached profile is attached with TAVProfileList::Add, which takes its ownership.
  void SetProfileList(TAVProfileList& list);
  // Detaches from the list and hands the profile to the caller.
  std::unique_ptr<TAVProfile> Detach();
  // Position in the list, -1 when detached.
  int Index() const;
  // Moves the profile to position n, clamped to the list; nothing when detached.
  void SetIndex(int n);

 protected:
  TAVProfile() = default;
  static const base::TPropTable& BaseProperties();

 private:
  friend class TAVProfileList;
  std::string FExtension;
  TAVProfileList* FList = nullptr;
};

}  // namespace vc::profiles
