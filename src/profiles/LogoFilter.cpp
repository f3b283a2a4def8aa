#include "profiles/LogoFilter.h"

#include "base/Format.h"
#include "profiles/FilterDialogs.h"
#include "profiles/FilterPath.h"

namespace vc::profiles {

const base::TPropTable& TLogoFilter::Properties() const {
  using C = TLogoFilter;
  static const base::TPropTable table =
      base::TPropTableBuilder<C>().Field("X", &C::X).Field("Y", &C::Y).Field("LogoFile", &C::LogoFile).Build();
  return table;
}

void TLogoFilter::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TLogoFilter*>(&source);
  if (!s) AssignError(source);
  X = s->X;
  Y = s->Y;
  LogoFile = s->LogoFile;
}

std::string TLogoFilter::GetFilterString() const {
  return base::Format("movie=0:png:%s [wm];[in][wm] overlay=%d:%d:1 [out]", DoubledBackslashes(LogoFile).c_str(), X, Y);
}

bool TLogoFilter::ShowNewDialog() { return FilterDialogs().ShowLogoFilterDialog(*this, TFilterDialogMode::New); }

bool TLogoFilter::ShowEditDialog() { return FilterDialogs().ShowLogoFilterDialog(*this, TFilterDialogMode::Edit); }

}  // namespace vc::profiles
