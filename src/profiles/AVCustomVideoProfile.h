#pragma once
// TAVCustomVideoProfile: a user-editable profile with audio and video.
#include <cstdint>

#include "profiles/AVCustomAudioProfile.h"

namespace vc::profiles {

class TAVCustomVideoProfile final : public TAVCustomAudioProfile {
 public:
  TAVCustomVideoProfile() = default;
  std::string ClassName() const override { return "TAVCustomVideoProfile"; }
  const base::TPropTable& Properties() const override;

  void SaveToIni(base::TIniFile& ini, int index) const override;
  void LoadFromIni(const base::TIniFile& ini, int index) override;
  bool Apply(engine::TAVConvertOptions& options) const override;

  int32_t FrameWidth = 0;   // pixels; 0 keeps the source width
  int32_t FrameHeight = 0;  // pixels; 0 keeps the source height
  TCustomVideoEncoder VideoEncoder = TCustomVideoEncoder::H263;
  TCustomFrameRate FrameRate = TCustomFrameRate::rOriginal;
  int32_t VideoBitrate = 0;  // kbit/s
  int32_t Pass = 0;          // encoding pass handed to the engine; not stored in the profile file
  TAVAspectRatio FrameAspectRatio = TAVAspectRatio::AR_NONE;  // not stored in the profile file

  // The named size matching FrameWidth x FrameHeight; fsOriginal when none does.
  TAVFrameSize FrameSize() const { return FrameSizeOf(FrameWidth, FrameHeight); }

 private:
  // The libx264 option lines every H.264 custom profile gets: the basic preset, then mbd=rd and
  // level=41, replacing same-named lines of Options.
  static void applyH264Defaults(engine::TAVConvertOptions& options);
};

}  // namespace vc::profiles
