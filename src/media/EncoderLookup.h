#pragma once
// The one place where an encoder name of the option set becomes an encoder. Names of encoders
// this library build lacks get their substitutes here, so every caller agrees: "libfaac" is
// served by the library's native "aac", "libopencore_amrnb" by our own AMR-NB encoder.
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vc::media {

// Encoders of our own, which the library does not know as AVCodecs.
enum class TOwnEncoder { None, AmrNb };

struct TEncoderChoice {
  const AVCodec* Codec = nullptr;  // the library's encoder; none with an own encoder or when not found
  TOwnEncoder Own = TOwnEncoder::None;
  AVMediaType Type = AVMEDIA_TYPE_UNKNOWN;
  std::string Substitution;  // one log line naming both encoders when a substitute stands in

  bool Found() const { return Codec != nullptr || Own != TOwnEncoder::None; }
};

// The encoder called name: the library's own when it has one, else its substitute; nothing
// found for an empty or unknown name.
TEncoderChoice FindEncoder(const std::string& name);

}  // namespace vc::media
