#include "profiles/AVCustomVideoProfile.h"

#include "base/Errors.h"
#include "base/Format.h"
#include "base/IniFile.h"
#include "engine/AVConvertOptions.h"
#include "profiles/AVX264Profile.h"
#include "profiles/ProfileCodecs.h"

namespace vc::profiles {

const base::TPropTable& TAVCustomVideoProfile::Properties() const {
  static const base::TPropTable table = [] {
    using C = TAVCustomVideoProfile;
    base::TPropTable t = AudioProperties();
    auto own = base::TPropTableBuilder<C>()
                   .Field("FrameWidth", &C::FrameWidth)
                   .Field("FrameHeight", &C::FrameHeight)
                   .Enum("VideoEncoder", &C::VideoEncoder, VideoEncoderValueNames)
                   .Enum("FrameRate", &C::FrameRate, FrameRateValueNames)
                   .Field("VideoBitrate", &C::VideoBitrate)
                   .Field("Pass", &C::Pass)
                   .Enum("FrameAspectRatio", &C::FrameAspectRatio, AspectRatioValueNames)
                   .Build();
    t.insert(t.end(), own.begin(), own.end());
    return t;
  }();
  return table;
}

void TAVCustomVideoProfile::SaveToIni(base::TIniFile& ini, int index) const {
  TAVCustomAudioProfile::SaveToIni(ini, index);
  const std::string n = std::to_string(index);
  ini.WriteString(kProfileSection, "IsVideo" + n, "1");
  ini.WriteInteger(kProfileSection, "FrameWidth" + n, FrameWidth);
  ini.WriteInteger(kProfileSection, "FrameHeight" + n, FrameHeight);
  ini.WriteInteger(kProfileSection, "VideoEncoder" + n, Ord(VideoEncoder));
  ini.WriteInteger(kProfileSection, "FrameRate" + n, Ord(FrameRate));
  ini.WriteInteger(kProfileSection, "VideoBitrate" + n, VideoBitrate);
}

void TAVCustomVideoProfile::LoadFromIni(const base::TIniFile& ini, int index) {
  TAVCustomAudioProfile::LoadFromIni(ini, index);
  const std::string n = std::to_string(index);
  FrameWidth = ini.ReadInteger(kProfileSection, "FrameWidth" + n, FrameWidth);
  FrameHeight = ini.ReadInteger(kProfileSection, "FrameHeight" + n, FrameHeight);
  VideoEncoder = static_cast<TCustomVideoEncoder>(ini.ReadInteger(kProfileSection, "VideoEncoder" + n, Ord(VideoEncoder)));
  FrameRate = static_cast<TCustomFrameRate>(ini.ReadInteger(kProfileSection, "FrameRate" + n, Ord(FrameRate)));
  VideoBitrate = ini.ReadInteger(kProfileSection, "VideoBitrate" + n, VideoBitrate);
}

void TAVCustomVideoProfile::applyH264Defaults(engine::TAVConvertOptions& options) {
  TAVX264Profile preset;
  preset.preset = TPreset::basic;
  preset.Apply(options);
  options.SetCodecOption("mbd", "rd");
  options.SetCodecOption("level", "41");
}

bool TAVCustomVideoProfile::Apply(engine::TAVConvertOptions& options) const {
  // Copying the audio stream ends only the audio part; the video choices apply in any case.
  applyAudio(options);
  auto& video = options.VideoOptions;
  video.VideoDisable = false;

  const char* codec = VideoCodecName(VideoEncoder);
  if (!codec) invalidValue("video encoder", Ord(VideoEncoder));
  video.EncoderVideoCodecName = codec;
  if (VideoCodecSingleThreaded(VideoEncoder)) options.ThreadCount = 1;
  if (VideoEncoder == TCustomVideoEncoder::H264) applyH264Defaults(options);

  if (FrameWidth > 0) video.FrameWidth = FrameWidth;
  if (FrameHeight > 0) video.FrameHeight = FrameHeight;
  const int64_t bits = int64_t{VideoBitrate} * 1000;
  if (bits < INT32_MIN || bits > INT32_MAX)
    throw base::EVelocastError(
        base::Format("The profile \"%s\" has an invalid video bit rate (%d)", Description.c_str(), VideoBitrate));
  video.Bitrate = static_cast<int32_t>(bits);
  if (FrameAspectRatio == TAVAspectRatio::AR4_3) video.FrameAspectRatio = 4.0f / 3.0f;
  video.SetPass(Pass);
  if (FrameRate != TCustomFrameRate::rOriginal) {
    const auto rate = FrameRateValue(FrameRate);
    if (!rate) invalidValue("frame rate", Ord(FrameRate));
    video.FrameRate.num = rate->num;
    video.FrameRate.den = rate->den;
  }
  return true;
}

}  // namespace vc::profiles
