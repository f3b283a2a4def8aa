#include "media/EncoderLookup.h"

namespace vc::media {

const AVCodec* FindEncoderByName(const std::string& name) {
  if (name.empty()) return nullptr;
  return avcodec_find_encoder_by_name(name.c_str());
}

}  // namespace vc::media
