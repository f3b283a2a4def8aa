#pragma once
// The one place where an encoder name of the option set becomes a library encoder. Names of
// encoders this library build lacks get their substitutes here, so every caller agrees.
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vc::media {

// The encoder called name, or nullptr when there is none.
const AVCodec* FindEncoderByName(const std::string& name);

}  // namespace vc::media
