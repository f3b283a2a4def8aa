#pragma once
// TVideoStdFilter: the standard operations in one filter: flips, a drawn box, negation, rotation.
#include <cstdint>
#include <string>

#include "profiles/AVFilter.h"

namespace vc::profiles {

class TVideoStdFilter final : public TAVFilter {
 public:
  TVideoStdFilter() = default;
  std::string ClassName() const override { return "TVideoStdFilter"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  // The parts of the switches that are on, in this order, joined by JoinFilterStrings: "vflip",
  // "hflip", "drawbox=BX:BY:BWidth:BHeight:BColor", "negate", "rotate=Degree".
  std::string GetFilterString() const override;
  std::string GetDisplayName() const override { return "Standar Filters"; }
  bool ShowNewDialog() override;
  bool ShowEditDialog() override;

  // The property names keep the spelling of the stored format.
  bool VerticalFilp = false;
  bool HorizontalFilip = false;
  bool DrawBox = false;
  int32_t BX = 0;       // box left edge, pixels
  int32_t BY = 0;       // box top edge, pixels
  int32_t BWidth = 0;   // pixels
  int32_t BHeight = 0;  // pixels
  std::string BColor;   // a colour name of the dialog's list ("Red"), empty when none was chosen
  bool Negate = false;
  bool Rotate = false;
  int32_t Degree = 0;  // whole degrees, clockwise
};

}  // namespace vc::profiles
