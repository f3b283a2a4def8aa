#pragma once
// What the profile enumerations mean to the media library: encoder and muxer names, frame
// rates, and the kbit/s to bit/s conversion used when a profile is applied.
#include <cstdint>
#include <optional>

#include "profiles/ProfileEnums.h"

namespace vc::profiles {

struct TFrameRateValue {
  int32_t num;
  int32_t den;
};

// Encoder names; none for a value outside the enumeration.
const char* AudioCodecName(TCustomAudioEncoder value);
const char* VideoCodecName(TCustomVideoEncoder value);
// Whether the encoder is run with one thread (those that cannot slice their work).
bool VideoCodecSingleThreaded(TCustomVideoEncoder value);
// Muxer name; none for F_NONE (the target file name decides) and for values outside the range.
const char* FormatMuxerName(TCustomAVFormat value);

// Frames per second; none for rOriginal and for values outside the enumeration.
std::optional<TFrameRateValue> FrameRateValue(TCustomFrameRate value);
// pal 25, ntsc 30000/1001, film 24000/1001; none outside the enumeration.
std::optional<TFrameRateValue> TargetFrameRate(TAVTarget value);

// kbit/s to bit/s, rounded to the nearest whole number with halves to even. A result outside
// the 32-bit range (or not a number) is refused with false.
bool KbitToBit(double kbit, int32_t& bits);

}  // namespace vc::profiles
