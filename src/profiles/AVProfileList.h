#pragma once
// TAVProfileList: the ordered profiles of the program and the category names in display order.
// The list owns its profiles; destroying it destroys them, last first.
#include <memory>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "profiles/AVProfile.h"

namespace vc::profiles {

class TAVProfileList final {
 public:
  TAVProfileList() = default;
  ~TAVProfileList();
  TAVProfileList(const TAVProfileList&) = delete;
  TAVProfileList& operator=(const TAVProfileList&) = delete;

  base::TStrings Categories;  // category names in display order

  int Count() const { return static_cast<int>(FItems.size()); }
  TAVProfile& Items(int index) const;
  int IndexOf(const TAVProfile& profile) const;  // -1 when not attached here

  // Appends a detached profile and takes its ownership.
  TAVProfile& Add(std::unique_ptr<TAVProfile> profile);
  // Detaches an attached profile and hands it back.
  std::unique_ptr<TAVProfile> Extract(TAVProfile& profile);
  // Detaches and destroys an attached profile.
  void Delete(TAVProfile& profile);
  // Detaches and destroys every custom profile, last first; the others keep their order.
  void ClearCustomProfiles();

  // The profile with this component name; none when absent.
  TAVProfile* FindByName(const std::string& name) const;
  // The profiles whose Category equals `category` without regard to case, in list order.
  std::vector<TAVProfile*> ProfilesOfCategory(const std::string& category) const;

 private:
  friend class TAVProfile;
  void move(int from, int to);
  std::vector<std::unique_ptr<TAVProfile>> FItems;
};

}  // namespace vc::profiles
