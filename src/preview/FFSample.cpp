#include "preview/FFSample.h"

namespace vc::preview {

TFFSample::TFFSample(int32_t size, double start, double stop)
    : Data(std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size > 0 ? size : 1))),
      Start(start),
      Stop(stop),
      Size(size) {}

}  // namespace vc::preview
