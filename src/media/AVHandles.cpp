#include "media/AVHandles.h"

#include <string>

namespace vc::media {

std::string ErrorText(int code) {
  char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, buffer, sizeof buffer);
  return buffer;
}

}  // namespace vc::media
