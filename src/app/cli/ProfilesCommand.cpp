#include <cstdio>

#include "app/cli/CliCommands.h"
#include "profiles/AVProfileList.h"
#include "profiles/ProfileCatalogue.h"
#include "profiles/ProfileFile.h"

namespace vc::cli {

void LoadProfileList(profiles::TAVProfileList& list) {
  profiles::BuildCatalogue(list);
  profiles::LoadProfiles(list);
}

int cmdProfiles(const TArgs& args) {
  profiles::TAVProfileList list;
  LoadProfileList(list);
  if (!args.empty() && args[0] == "--all") {
    // Every profile, listed or not, with what identifies it.
    for (int i = 0; i < list.Count(); ++i) {
      const auto& p = list.Items(i);
      std::printf("%s\t%s\t%s\t%s\n", p.Description.c_str(), p.ClassName().c_str(), p.Extension().c_str(),
                  p.Category.c_str());
    }
    return 0;
  }
  // As the wizard offers them: each category, then its profiles in list order.
  for (int c = 0; c < list.Categories.Count(); ++c) {
    std::printf("%s\n", list.Categories[c].c_str());
    for (const auto* p : list.ProfilesOfCategory(list.Categories[c])) std::printf("  %s\n", p->Description.c_str());
  }
  return 0;
}

}  // namespace vc::cli
