#pragma once
// The built-in catalogue: 56 profiles and twelve categories, as the program starts with them.
#include "profiles/AVProfileList.h"

namespace vc::profiles {

// Sets the categories and appends the catalogue profiles in catalogue order.
void BuildCatalogue(TAVProfileList& list);

}  // namespace vc::profiles
