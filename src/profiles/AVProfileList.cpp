#include "profiles/AVProfileList.h"

#include "base/Errors.h"
#include "base/Format.h"

namespace vc::profiles {

TAVProfileList::~TAVProfileList() {
  while (!FItems.empty()) {
    FItems.back()->FList = nullptr;
    FItems.pop_back();
  }
}

TAVProfile& TAVProfileList::Items(int index) const {
  VC_ASSERT(index >= 0 && index < Count());
  return *FItems[static_cast<size_t>(index)];
}

int TAVProfileList::IndexOf(const TAVProfile& profile) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == &profile) return static_cast<int>(i);
  return -1;
}

TAVProfile& TAVProfileList::Add(std::unique_ptr<TAVProfile> profile) {
  VC_ASSERT(profile && profile->FList == nullptr);
  profile->FList = this;
  FItems.push_back(std::move(profile));
  return *FItems.back();
}

std::unique_ptr<TAVProfile> TAVProfileList::Extract(TAVProfile& profile) {
  const int i = IndexOf(profile);
  VC_ASSERT(i >= 0);
  auto owned = std::move(FItems[static_cast<size_t>(i)]);
  FItems.erase(FItems.begin() + i);
  owned->FList = nullptr;
  return owned;
}

void TAVProfileList::Delete(TAVProfile& profile) { Extract(profile).reset(); }

void TAVProfileList::ClearCustomProfiles() {
  for (int i = Count() - 1; i >= 0; --i)
    if (FItems[static_cast<size_t>(i)]->IsCustom()) Delete(*FItems[static_cast<size_t>(i)]);
}

TAVProfile* TAVProfileList::FindByName(const std::string& name) const {
  for (const auto& p : FItems)
    if (p->Name == name) return p.get();
  return nullptr;
}

std::vector<TAVProfile*> TAVProfileList::ProfilesOfCategory(const std::string& category) const {
  std::vector<TAVProfile*> result;
  for (const auto& p : FItems)
    if (base::SameText(p->Category, category)) result.push_back(p.get());
  return result;
}

void TAVProfileList::move(int from, int to) {
  auto owned = std::move(FItems[static_cast<size_t>(from)]);
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, std::move(owned));
}

}  // namespace vc::profiles
