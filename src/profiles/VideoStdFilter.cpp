#include "profiles/VideoStdFilter.h"

#include <vector>

#include "base/Format.h"
#include "profiles/FilterDialogs.h"

namespace vc::profiles {

const base::TPropTable& TVideoStdFilter::Properties() const {
  using C = TVideoStdFilter;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("VerticalFilp", &C::VerticalFilp)
                                            .Field("HorizontalFilip", &C::HorizontalFilip)
                                            .Field("DrawBox", &C::DrawBox)
                                            .Field("BX", &C::BX)
                                            .Field("BY", &C::BY)
                                            .Field("BWidth", &C::BWidth)
                                            .Field("BHeight", &C::BHeight)
                                            .Field("BColor", &C::BColor)
                                            .Field("Negate", &C::Negate)
                                            .Field("Rotate", &C::Rotate)
                                            .Field("Degree", &C::Degree)
                                            .Build();
  return table;
}

void TVideoStdFilter::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TVideoStdFilter*>(&source);
  if (!s) AssignError(source);
  VerticalFilp = s->VerticalFilp;
  HorizontalFilip = s->HorizontalFilip;
  DrawBox = s->DrawBox;
  BX = s->BX;
  BY = s->BY;
  BWidth = s->BWidth;
  BHeight = s->BHeight;
  BColor = s->BColor;
  Negate = s->Negate;
  Rotate = s->Rotate;
  Degree = s->Degree;
}

std::string TVideoStdFilter::GetFilterString() const {
  std::vector<std::string> parts;
  if (VerticalFilp) parts.emplace_back("vflip");
  if (HorizontalFilip) parts.emplace_back("hflip");
  if (DrawBox) parts.push_back(base::Format("drawbox=%d:%d:%d:%d:%s", BX, BY, BWidth, BHeight, BColor.c_str()));
  if (Negate) parts.emplace_back("negate");
  if (Rotate) parts.push_back(base::Format("rotate=%d", Degree));
  return JoinFilterStrings(parts);
}

bool TVideoStdFilter::ShowNewDialog() { return FilterDialogs().ShowStdFilterDialog(*this, TFilterDialogMode::New); }

bool TVideoStdFilter::ShowEditDialog() { return FilterDialogs().ShowStdFilterDialog(*this, TFilterDialogMode::Edit); }

}  // namespace vc::profiles
