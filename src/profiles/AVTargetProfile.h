#pragma once
// Fixed-standard profiles with a TV norm: VCD, SVCD, DVD, DV and DV50.
#include "profiles/AVProfile.h"
#include "profiles/ProfileEnums.h"

namespace vc::profiles {

class TAVTargetProfile : public TAVProfile {
 public:
  const base::TPropTable& Properties() const override;
  TAVTarget Target = TAVTarget::pal;

 protected:
  TAVTargetProfile(const char* description, const char* extension);
  // The norm's frame rate; nothing for a norm outside the enumeration.
  void applyFrameRate(engine::TAVConvertOptions& options) const;
  // Disc profiles: the norm's frame size and the appended GOP line ("g=15" for pal, "g=18"
  // otherwise); nothing for a norm outside the enumeration.
  void applyDiscNorm(engine::TAVConvertOptions& options, int palWidth, int palHeight, int ntscWidth,
                     int ntscHeight) const;
};

class TAVVcdProfile final : public TAVTargetProfile {
 public:
  TAVVcdProfile() : TAVTargetProfile("VCD", ".mpg") {}
  std::string ClassName() const override { return "TAVVcdProfile"; }
  bool Apply(engine::TAVConvertOptions& options) const override;
};

class TAVSVcdProfile final : public TAVTargetProfile {
 public:
  TAVSVcdProfile() : TAVTargetProfile("SVCD", ".mpg") {}
  std::string ClassName() const override { return "TAVSVcdProfile"; }
  bool Apply(engine::TAVConvertOptions& options) const override;
};

class TAVDvdProfile final : public TAVTargetProfile {
 public:
  TAVDvdProfile() : TAVTargetProfile("DVD", ".vob") {}
  std::string ClassName() const override { return "TAVDvdProfile"; }
  bool Apply(engine::TAVConvertOptions& options) const override;
};

class TAVDvProfile final : public TAVTargetProfile {
 public:
  TAVDvProfile() : TAVTargetProfile("DV", ".dv") {}
  std::string ClassName() const override { return "TAVDvProfile"; }
  bool Apply(engine::TAVConvertOptions& options) const override;
};

// Only the pixel format and the rate: container and size follow from the target file name and
// the source.
class TAVDv50Profile final : public TAVTargetProfile {
 public:
  TAVDv50Profile() : TAVTargetProfile("DV50", ".dv") {}
  std::string ClassName() const override { return "TAVDv50Profile"; }
  bool Apply(engine::TAVConvertOptions& options) const override;
};

}  // namespace vc::profiles
