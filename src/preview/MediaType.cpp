#include "preview/MediaType.h"

#include <cstdlib>

namespace vc::preview {

int32_t BitmapRowBytes(const TBitmapInfoHeader& header) {
  return ((header.Width * header.BitCount + 31) & ~31) / 8;
}

int32_t BitmapSize(const TBitmapInfoHeader& header) {
  return BitmapRowBytes(header) * std::abs(header.Height);
}

TSubType BitmapSubtype(const TBitmapInfoHeader& header) {
  return header.Compression == BI_RGB && header.BitCount == 32 ? TSubType::RGB32 : TSubType::None;
}

}  // namespace vc::preview
