#include "profiles/FilterDialogs.h"

#include <atomic>

#include "base/Errors.h"

namespace vc::profiles {

namespace {
std::atomic<IFilterDialogs*> installedDialogs{nullptr};
}  // namespace

IFilterDialogs& FilterDialogs() {
  IFilterDialogs* dialogs = installedDialogs.load();
  VC_ASSERT(dialogs != nullptr);
  return *dialogs;
}

void SetFilterDialogs(IFilterDialogs* dialogs) { installedDialogs.store(dialogs); }

}  // namespace vc::profiles
