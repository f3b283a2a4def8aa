#pragma once
// TAVImageProfile: an image-sequence profile; the target file name's extension ("1.jpg")
// chooses codec and container.
#include "profiles/AVProfile.h"
#include "profiles/ProfileEnums.h"

namespace vc::profiles {

class TAVImageProfile final : public TAVProfile {
 public:
  TAVImageProfile();
  std::string ClassName() const override { return "TAVImageProfile"; }
  const base::TPropTable& Properties() const override;
  // One thread; nothing else.
  bool Apply(engine::TAVConvertOptions& options) const override;

  TAVImageType ImageType = TAVImageType::bitmap;  // stored and shown; nothing reads it
};

}  // namespace vc::profiles
