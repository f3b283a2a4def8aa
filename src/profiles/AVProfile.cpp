#include "profiles/AVProfile.h"

#include <algorithm>

#include "base/IniFile.h"
#include "profiles/AVProfileList.h"

namespace vc::profiles {

TAVProfile::~TAVProfile() = default;

const base::TPropTable& TAVProfile::BaseProperties() {
  static const base::TPropTable table = [] {
    base::TPropTableBuilder<TAVProfile> b;
    b.Field("Description", &TAVProfile::Description);
    base::TPropInfo ext;
    ext.Name = "Extension";
    ext.Kind = base::TPropKind::String;
    ext.GetStr = [](const base::TPersistent& o) { return static_cast<const TAVProfile&>(o).Extension(); };
    ext.SetStr = [](base::TPersistent& o, const std::string& v) { static_cast<TAVProfile&>(o).SetExtension(v); };
    auto t = b.Field("Category", &TAVProfile::Category).Build();
    t.insert(t.begin() + 1, std::move(ext));
    return t;
  }();
  return table;
}

void TAVProfile::SaveToIni(base::TIniFile& ini, int index) const {
  const std::string n = std::to_string(index);
  ini.WriteString(kProfileSection, "Description" + n, Description);
  ini.WriteString(kProfileSection, "Extension" + n, Extension());
  ini.WriteString(kProfileSection, "Category" + n, Category);
}

void TAVProfile::LoadFromIni(const base::TIniFile& ini, int index) {
  const std::string n = std::to_string(index);
  Description = ini.ReadString(kProfileSection, "Description" + n, Description);
  SetExtension(ini.ReadString(kProfileSection, "Extension" + n, Extension()));
  Category = ini.ReadString(kProfileSection, "Category" + n, Category);
}

void TAVProfile::SetProfileList(TAVProfileList& list) {
  VC_ASSERT(FList != nullptr);
  if (FList == &list) return;
  list.Add(FList->Extract(*this));
}

std::unique_ptr<TAVProfile> TAVProfile::Detach() {
  VC_ASSERT(FList != nullptr);
  return FList->Extract(*this);
}

int TAVProfile::Index() const { return FList ? FList->IndexOf(*this) : -1; }

void TAVProfile::SetIndex(int n) {
  if (!FList) return;
  FList->move(Index(), std::clamp(n, 0, FList->Count() - 1));
}

}  // namespace vc::profiles
