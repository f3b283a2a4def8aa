#pragma once
// TAVCustomAudioProfile: a user-editable audio-only profile (container, audio codec, rate,
// channels, bit rate and extra codec options).
#include <cstdint>

#include "base/Strings.h"
#include "profiles/AVProfile.h"
#include "profiles/ProfileEnums.h"

namespace vc::profiles {

class TAVCustomAudioProfile : public TAVProfile {
 public:
  TAVCustomAudioProfile() = default;
  std::string ClassName() const override { return "TAVCustomAudioProfile"; }
  const base::TPropTable& Properties() const override;
  bool IsCustom() const override { return true; }

  void SaveToIni(base::TIniFile& ini, int index) const override;
  void LoadFromIni(const base::TIniFile& ini, int index) override;
  bool Apply(engine::TAVConvertOptions& options) const override;

  int32_t SampleRate = 0;  // Hz
  TCustomAudioEncoder AudioEncoder = TCustomAudioEncoder::AAC;
  TCustomAudioChannels AudioChannels = TCustomAudioChannels::mono1;
  double AudioBitrate = 0;  // kbit/s; fractional for AMR (12.2)
  TCustomAVFormat Format = TCustomAVFormat::F_NONE;  // F_NONE: the target file name decides
  base::TStrings Options;   // extra codec options, one name=value per line

 protected:
  static const base::TPropTable& AudioProperties();
  // Disables video and subtitles and, unless audio is copied, sets the audio choices.
  void applyAudio(engine::TAVConvertOptions& options) const;
  [[noreturn]] void invalidValue(const char* what, int ordinal) const;
};

}  // namespace vc::profiles
