#pragma once
// TLogoFilter: a PNG picture laid over every frame at a fixed position.
#include <cstdint>
#include <string>

#include "profiles/AVFilter.h"

namespace vc::profiles {

class TLogoFilter final : public TAVFilter {
 public:
  TLogoFilter() = default;
  std::string ClassName() const override { return "TLogoFilter"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  // "movie=0:png:FILE [wm];[in][wm] overlay=X:Y:1 [out]", backslashes of FILE doubled.
  std::string GetFilterString() const override;
  std::string GetDisplayName() const override { return "Logo Filter"; }
  bool ShowNewDialog() override;
  bool ShowEditDialog() override;

  int32_t X = 0;  // left edge of the picture, pixels
  int32_t Y = 0;  // top edge of the picture, pixels
  std::string LogoFile;
};

}  // namespace vc::profiles
