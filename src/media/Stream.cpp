#include "media/Stream.h"

namespace vc::media {

int32_t TStream::Write(const void*, int32_t) { return 0; }

int64_t TStream::Size() {
  const int64_t position = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  if (position >= 0) Seek(position, TSeekOrigin::soBeginning);
  return size;
}

}  // namespace vc::media
