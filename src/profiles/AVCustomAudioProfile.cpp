#include "profiles/AVCustomAudioProfile.h"

#include "base/Errors.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "engine/AVConvertOptions.h"
#include "profiles/ProfileCodecs.h"
#include "profiles/UserNumberFormat.h"

namespace vc::profiles {

const base::TPropTable& TAVCustomAudioProfile::AudioProperties() {
  static const base::TPropTable table = [] {
    using C = TAVCustomAudioProfile;
    base::TPropTable t = BaseProperties();
    auto own = base::TPropTableBuilder<C>()
                   .Field("SampleRate", &C::SampleRate)
                   .Enum("AudioEncoder", &C::AudioEncoder, AudioEncoderValueNames)
                   .Enum("AudioChannels", &C::AudioChannels, AudioChannelsValueNames)
                   .Field("AudioBitrate", &C::AudioBitrate)
                   .Enum("Format", &C::Format, FormatValueNames)
                   .Field("Options", &C::Options)
                   .Build();
    t.insert(t.end(), own.begin(), own.end());
    return t;
  }();
  return table;
}

const base::TPropTable& TAVCustomAudioProfile::Properties() const { return AudioProperties(); }

void TAVCustomAudioProfile::SaveToIni(base::TIniFile& ini, int index) const {
  TAVProfile::SaveToIni(ini, index);
  const std::string n = std::to_string(index);
  ini.WriteString(kProfileSection, "IsVideo" + n, "0");
  ini.WriteInteger(kProfileSection, "SampleRate" + n, SampleRate);
  ini.WriteInteger(kProfileSection, "AudioEncoder" + n, Ord(AudioEncoder));
  ini.WriteInteger(kProfileSection, "AudioChannels" + n, Ord(AudioChannels));
  ini.WriteString(kProfileSection, "AudioBitrate" + n, FormatUserFloat(AudioBitrate));
  ini.WriteInteger(kProfileSection, "Format" + n, Ord(Format));
  ini.WriteString(kProfileSection, "Options" + n, Options.CommaText());
}

void TAVCustomAudioProfile::LoadFromIni(const base::TIniFile& ini, int index) {
  TAVProfile::LoadFromIni(ini, index);
  const std::string n = std::to_string(index);
  // Ordinals are kept as read (one byte); Apply refuses those outside their enumeration.
  SampleRate = ini.ReadInteger(kProfileSection, "SampleRate" + n, SampleRate);
  AudioEncoder = static_cast<TCustomAudioEncoder>(ini.ReadInteger(kProfileSection, "AudioEncoder" + n, Ord(AudioEncoder)));
  AudioChannels =
      static_cast<TCustomAudioChannels>(ini.ReadInteger(kProfileSection, "AudioChannels" + n, Ord(AudioChannels)));
  double bitrate = 0;
  if (ParseUserFloat(ini.ReadString(kProfileSection, "AudioBitrate" + n, ""), bitrate)) AudioBitrate = bitrate;
  Format = static_cast<TCustomAVFormat>(ini.ReadInteger(kProfileSection, "Format" + n, Ord(Format)));
  Options.SetCommaText(ini.ReadString(kProfileSection, "Options" + n, Options.CommaText()));
}

void TAVCustomAudioProfile::invalidValue(const char* what, int ordinal) const {
  throw base::EVelocastError(
      base::Format("The profile \"%s\" has an invalid %s (%d)", Description.c_str(), what, ordinal));
}

void TAVCustomAudioProfile::applyAudio(engine::TAVConvertOptions& options) const {
  options.VideoOptions.VideoDisable = true;
  options.SubtitleOptions.SubtitleDisable = true;
  auto& audio = options.AudioOptions;
  if (audio.AudioStreamCopy) return;

  const char* codec = AudioCodecName(AudioEncoder);
  if (!codec) invalidValue("audio encoder", Ord(AudioEncoder));
  audio.EncoderAudioCodecName = codec;
  if (Format != TCustomAVFormat::F_NONE) {
    const char* muxer = FormatMuxerName(Format);
    if (!muxer) invalidValue("format", Ord(Format));
    options.OutputFormat = muxer;
  }
  int32_t bits = 0;
  if (!KbitToBit(AudioBitrate, bits))
    throw base::EVelocastError(base::Format("The profile \"%s\" has an invalid audio bit rate (%s)",
                                            Description.c_str(), base::ShortestDecimal(AudioBitrate).c_str()));
  audio.Bitrate = bits;
  audio.AudioSampleRate = SampleRate;
  switch (AudioChannels) {
    case TCustomAudioChannels::mono1: audio.AudioChannels = 1; break;
    case TCustomAudioChannels::stereo2: audio.AudioChannels = 2; break;
    default: invalidValue("channel choice", Ord(AudioChannels));
  }
  for (const auto& line : Options.Lines()) {
    // A blank line names no option; it would only add a nameless "=" line.
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos)
      options.SetCodecOption(line, "");
    else
      options.SetCodecOption(line.substr(0, eq), line.substr(eq + 1));
  }
}

bool TAVCustomAudioProfile::Apply(engine::TAVConvertOptions& options) const {
  applyAudio(options);
  return true;
}

}  // namespace vc::profiles
