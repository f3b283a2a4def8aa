#include "media/EncoderLookup.h"

#include "base/Format.h"

namespace vc::media {

namespace {

constexpr const char* kOwnAmrNbName = "Velocast AMR-NB (libopencore-amrnb)";

// Encoders the stored profiles name that today's Debian build leaves out.
struct TSubstitute {
  const char* Missing;
  const char* Library;  // the library encoder that stands in; none for an own encoder
  TOwnEncoder Own;
};

constexpr TSubstitute kSubstitutes[] = {
    {"libfaac", "aac", TOwnEncoder::None},
    {"libopencore_amrnb", nullptr, TOwnEncoder::AmrNb},
};

std::string substitutionLine(const std::string& missing, const char* standIn) {
  return base::Format("Encoder %s is not in this media library; %s encodes in its place", missing.c_str(), standIn);
}

}  // namespace

TEncoderChoice FindEncoder(const std::string& name) {
  TEncoderChoice choice;
  if (name.empty()) return choice;
  // A build that has the named encoder uses it.
  if ((choice.Codec = avcodec_find_encoder_by_name(name.c_str()))) {
    choice.Type = choice.Codec->type;
    return choice;
  }
  for (const auto& s : kSubstitutes) {
    if (name != s.Missing) continue;
    if (s.Own == TOwnEncoder::AmrNb) {
      choice.Own = s.Own;
      choice.Type = AVMEDIA_TYPE_AUDIO;
      choice.Substitution = substitutionLine(name, kOwnAmrNbName);
    } else if ((choice.Codec = avcodec_find_encoder_by_name(s.Library))) {
      choice.Type = choice.Codec->type;
      choice.Substitution = substitutionLine(name, s.Library);
    }
    break;
  }
  return choice;
}

}  // namespace vc::media
