#pragma once
// Translation of the codec and muxer option names that stored profiles and presets use (written
// for the libavcodec 52 generation) into what today's library accepts. Stored files keep the old
// names; the conversion translates each name=value line just before setting it.
#include <string>
#include <vector>

namespace vc::media {

enum class TLegacyTarget {
  AsGiven,         // not an old name: set it as given, wherever the library keeps it
  Codec,           // a generic AVCodecContext option
  EncoderPrivate,  // a private option of the encoder (AVCodecContext.priv_data)
  Muxer,           // a private option of the muxer (AVFormatContext.priv_data)
  Format,          // a generic AVFormatContext option
  Dropped,         // no equivalent: not set; LogText says so
};

struct TTranslatedOption {
  TLegacyTarget Target = TLegacyTarget::AsGiven;
  std::string Name;     // empty when dropped
  std::string Value;
  std::string LogText;  // the one log line of a dropped option; empty otherwise

  bool operator==(const TTranslatedOption&) const = default;
};

// What to set for one name=value line. Most names give one entry; a flag list ("flags2",
// "flags") may give several, one for each destination, and an item with no equivalent gives a
// Dropped entry of its own. Names compare exactly, as the library compares them.
std::vector<TTranslatedOption> TranslateLegacyOption(const std::string& name, const std::string& value);

}  // namespace vc::media
