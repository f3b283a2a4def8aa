#include "profiles/AVImageProfile.h"

#include "engine/AVConvertOptions.h"

namespace vc::profiles {

TAVImageProfile::TAVImageProfile() { Description = "Image Sequence Profile"; }

const base::TPropTable& TAVImageProfile::Properties() const {
  static const base::TPropTable table = [] {
    base::TPropTable t = BaseProperties();
    auto own = base::TPropTableBuilder<TAVImageProfile>()
                   .Enum("ImageType", &TAVImageProfile::ImageType, ImageTypeValueNames)
                   .Build();
    t.insert(t.end(), own.begin(), own.end());
    return t;
  }();
  return table;
}

bool TAVImageProfile::Apply(engine::TAVConvertOptions& options) const {
  options.ThreadCount = 1;
  return true;
}

}  // namespace vc::profiles
