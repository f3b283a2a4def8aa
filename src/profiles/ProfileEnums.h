#pragma once
// The profile vocabulary: enumerations (their ordinals are what the profile file stores), the
// display tables the editor and the wizard show, and the named frame sizes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vc::profiles {

// All enumerations are one byte wide: a profile file may hold any ordinal, which is kept as read
// (modulo 256) and refused only when a profile is applied.
enum class TCustomAudioEncoder : uint8_t { AAC, WMAV2, AC3, MP2, MP3, PCM_S16LE, RA1, AMR_NB };
enum class TCustomAudioChannels : uint8_t { mono1, stereo2 };
enum class TCustomAVFormat : uint8_t {
  F_NONE, F_RM, F_MP4, F_ASF, F_AVI, F_3GP, F_3GP2, F_FLV, F_MOV,
  F_PSP, F_IPOD, F_SVCD, F_VCD, F_VOB, F_DVD, F_WEBM, F_AC3
};
enum class TCustomVideoEncoder : uint8_t { H263, H264, MPEG4, WMV2, MPEG2VIDEO, MSMPEGV3, RV20, XVID, FLV };
enum class TCustomFrameRate : uint8_t { rOriginal, r1499, r20, r2397, r24, r25, r2997, r30 };
enum class TAVAspectRatio : uint8_t { AR_NONE, AR4_3 };
enum class TAVTarget : uint8_t { pal, ntsc, film };
enum class TAVImageType : uint8_t { bitmap, jpeg, png, gif, tiff };
enum class TPreset : uint8_t {
  basic, FastFirstPass, SlowFirstPass, Common, HighQuality, Best,
  LosslessFast, LosslessMedium, LosslessSlow, LosslessSlower, LosslessMax
};
enum class TAVFrameSize : uint8_t {
  fsOriginal, fsNtsc, fsPal, fsQntsc, fsIPaq, fsPsp, fsSpal, fsIPhoneWide, fsIPhone, fsSqcif,
  fsQcif, fsCif, fs4cif, fs16cif, fsQqvga, fsQvga, fsVga, fsSvga, fsXga, fsUxga,
  fsQxga, fsSxga, fsQsxga, fsHsxga, fsWvga, fsWxga, fsWsxga, fsWuxga, fsWoxga, fsWqsxga,
  fsWquxga, fsWhsxga, fsWhuxga, fsCga, fsEga, fsHd480, fsHd720, fsHd1080, fsMceHd
};

template <class E>
constexpr int Ord(E value) {
  return static_cast<int>(value);
}

// Display tables, indexed by ordinal.
extern const std::array<const char*, 9> VideoEncoderNames;
extern const std::array<const char*, 8> AudioEncoderNames;
extern const std::array<const char*, 17> FormatNames;
extern const std::array<const char*, 8> FrameRateNames;
extern const std::array<const char*, 2> ChannelNames;

struct TFrameSize {
  const char* Name;  // display name, exactly as listed (two rows carry old typos)
  int32_t Width;     // pixels
  int32_t Height;    // pixels
};
extern const std::array<TFrameSize, 39> FrameSizes;

// The first row whose width and height match; fsOriginal when none does.
TAVFrameSize FrameSizeOf(int32_t width, int32_t height);

// Value names as spelled in code, for the published property tables.
extern const std::vector<std::string> AudioEncoderValueNames;
extern const std::vector<std::string> AudioChannelsValueNames;
extern const std::vector<std::string> FormatValueNames;
extern const std::vector<std::string> VideoEncoderValueNames;
extern const std::vector<std::string> FrameRateValueNames;
extern const std::vector<std::string> AspectRatioValueNames;
extern const std::vector<std::string> TargetValueNames;
extern const std::vector<std::string> ImageTypeValueNames;
extern const std::vector<std::string> PresetValueNames;

}  // namespace vc::profiles
