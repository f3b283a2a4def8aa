#pragma once
// TOverlayTextFilter: a text drawn in a TrueType font at a fixed position on every frame.
#include <cstdint>
#include <string>

#include "profiles/AVFilter.h"

namespace vc::profiles {

class TOverlayTextFilter final : public TAVFilter {
 public:
  TOverlayTextFilter() = default;
  std::string ClassName() const override { return "TOverlayTextFilter"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  // "drawtext=fontfile=\'FONT\'#text='TEXT'#x=X#y=Y#fontsize=S#fgcolor=0xRRGGBBFF#bgcolor=0xRRGGBB00"
  // with FONT's backslashes doubled and every CR LF of TEXT written as "\n".
  std::string GetFilterString() const override;
  std::string GetDisplayName() const override { return "Overlay Text Filter"; }
  bool ShowNewDialog() override;
  bool ShowEditDialog() override;

  std::string Text;  // lines as the dialog delivers them, each ending in CR LF
  int32_t FontSize = 0;
  std::string FontFile;
  int32_t X = 0;  // pixels from the left edge
  int32_t Y = 0;  // pixels from the top edge
  TColor FontColor = 0;
  TColor BgColor = 0;
};

}  // namespace vc::profiles
