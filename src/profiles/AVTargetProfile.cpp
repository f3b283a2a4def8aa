#include "profiles/AVTargetProfile.h"

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "engine/AVConvertOptions.h"
#include "profiles/ProfileCodecs.h"

namespace vc::profiles {

TAVTargetProfile::TAVTargetProfile(const char* description, const char* extension) {
  Description = description;
  SetExtension(extension);
}

const base::TPropTable& TAVTargetProfile::Properties() const {
  static const base::TPropTable table = [] {
    base::TPropTable t = BaseProperties();
    auto own = base::TPropTableBuilder<TAVTargetProfile>()
                   .Enum("Target", &TAVTargetProfile::Target, TargetValueNames, 0)
                   .Build();
    t.insert(t.end(), own.begin(), own.end());
    return t;
  }();
  return table;
}

void TAVTargetProfile::applyFrameRate(engine::TAVConvertOptions& options) const {
  if (const auto rate = TargetFrameRate(Target)) {
    options.VideoOptions.FrameRate.num = rate->num;
    options.VideoOptions.FrameRate.den = rate->den;
  }
}

void TAVTargetProfile::applyDiscNorm(engine::TAVConvertOptions& options, int palWidth, int palHeight,
                                     int ntscWidth, int ntscHeight) const {
  auto& video = options.VideoOptions;
  switch (Target) {
    case TAVTarget::pal:
      video.FrameWidth = palWidth;
      video.FrameHeight = palHeight;
      options.CodecOptions.Add("g=15");
      break;
    case TAVTarget::ntsc:
    case TAVTarget::film:
      video.FrameWidth = ntscWidth;
      video.FrameHeight = ntscHeight;
      options.CodecOptions.Add("g=18");
      break;
  }
}

bool TAVVcdProfile::Apply(engine::TAVConvertOptions& options) const {
  options.VideoOptions.EncoderVideoCodecName = "mpeg1video";
  options.AudioOptions.EncoderAudioCodecName = "mp2";
  options.OutputFormat = "vcd";
  applyDiscNorm(options, 352, 288, 352, 240);
  options.VideoOptions.Bitrate = 1150000;
  options.AudioOptions.Bitrate = 224000;
  options.SetCodecOption("maxrate", "1150000");
  options.SetCodecOption("minrate", "1150000");
  options.SetCodecOption("bufsize", "327680");
  options.SetCodecOption("packetsize", "2324");
  options.SetCodecOption("muxrate", "1411200");
  options.AudioOptions.AudioSampleRate = 44100;
  options.AudioOptions.AudioChannels = 2;
  options.MuxerOptions.MuxPreload = 0.44f;
  applyFrameRate(options);
  return true;
}

bool TAVSVcdProfile::Apply(engine::TAVConvertOptions& options) const {
  options.VideoOptions.EncoderVideoCodecName = "mpeg2video";
  options.AudioOptions.EncoderAudioCodecName = "mp2";
  options.OutputFormat = "svcd";
  applyDiscNorm(options, 480, 576, 480, 480);
  options.VideoOptions.Bitrate = 2040000;
  options.AudioOptions.Bitrate = 224000;
  options.SetCodecOption("maxrate", "2516000");
  options.SetCodecOption("minrate", "0");
  options.SetCodecOption("bufsize", "1835008");
  options.SetCodecOption("flags", "+scan_offset");
  options.SetCodecOption("packetsize", "2324");
  options.AudioOptions.AudioSampleRate = 44100;
  applyFrameRate(options);
  return true;
}

bool TAVDvdProfile::Apply(engine::TAVConvertOptions& options) const {
  options.VideoOptions.EncoderVideoCodecName = "mpeg2video";
  options.AudioOptions.EncoderAudioCodecName = "ac3";
  options.OutputFormat = "dvd";
  applyDiscNorm(options, 720, 576, 720, 480);
  options.VideoOptions.Bitrate = 6000000;
  options.AudioOptions.Bitrate = 448000;
  options.SetCodecOption("maxrate", "9000000");
  options.SetCodecOption("minrate", "0");
  options.SetCodecOption("bufsize", "1835008");
  options.SetCodecOption("packetsize", "2048");
  options.SetCodecOption("muxrate", "10080000");
  options.AudioOptions.AudioSampleRate = 48000;
  applyFrameRate(options);
  return true;
}

bool TAVDvProfile::Apply(engine::TAVConvertOptions& options) const {
  options.OutputFormat = "dv";
  auto& video = options.VideoOptions;
  switch (Target) {
    case TAVTarget::pal:
      video.FrameWidth = 720;
      video.FrameHeight = 576;
      video.PixelFormat = AV_PIX_FMT_YUV420P;
      break;
    case TAVTarget::ntsc:
    case TAVTarget::film:
      video.FrameWidth = 720;
      video.FrameHeight = 480;
      video.PixelFormat = AV_PIX_FMT_YUV411P;
      break;
  }
  options.AudioOptions.AudioSampleRate = 48000;
  options.AudioOptions.AudioChannels = 2;
  applyFrameRate(options);
  return true;
}

bool TAVDv50Profile::Apply(engine::TAVConvertOptions& options) const {
  options.VideoOptions.PixelFormat = AV_PIX_FMT_YUV422P;
  applyFrameRate(options);
  return true;
}

}  // namespace vc::profiles
