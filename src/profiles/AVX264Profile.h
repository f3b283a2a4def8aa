#pragma once
// TAVX264Profile: a fixed set of libx264 option lines chosen by `preset`. Used inside the
// custom video profiles; never stored in the profile file.
#include "profiles/AVProfile.h"
#include "profiles/ProfileEnums.h"

namespace vc::profiles {

class TAVX264Profile final : public TAVProfile {
 public:
  TAVX264Profile();
  std::string ClassName() const override { return "TAVX264Profile"; }
  const base::TPropTable& Properties() const override;
  // Writes the preset's lines into CodecOptions (replacing same-named lines) and nothing else.
  // A preset outside the enumeration writes nothing.
  bool Apply(engine::TAVConvertOptions& options) const override;

  TPreset preset = TPreset::basic;
};

}  // namespace vc::profiles
