#include "profiles/ProfileCodecs.h"

#include <array>
#include <cmath>

namespace vc::profiles {

namespace {

template <size_t N>
const char* lookup(const std::array<const char*, N>& table, int ordinal) {
  return ordinal >= 0 && ordinal < static_cast<int>(N) ? table[static_cast<size_t>(ordinal)] : nullptr;
}

// The names stored profiles rely on; encoders this library lacks are substituted where the
// engine opens them.
constexpr std::array<const char*, 8> kAudioCodecs = {"libfaac", "wmav2",     "ac3",      "mp2",
                                                     "libmp3lame", "pcm_s16le", "real_144", "libopencore_amrnb"};
constexpr std::array<const char*, 9> kVideoCodecs = {"h263",    "libx264", "mpeg4",   "wmv2", "mpeg2video",
                                                     "msmpeg4", "rv20",    "libxvid", "flv"};
constexpr std::array<bool, 9> kSingleThreaded = {true, false, false, true, false, false, true, false, true};
constexpr std::array<const char*, 17> kMuxers = {nullptr, "rm",   "mp4",  "asf", "avi", "3gp", "3g2",  "flv", "mov",
                                                 "psp",   "ipod", "svcd", "vcd", "vob", "dvd", "webm", "ac3"};
constexpr std::array<TFrameRateValue, 8> kFrameRates = {
    {{0, 0}, {15000, 1001}, {20, 1}, {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}}};
constexpr std::array<TFrameRateValue, 3> kTargetFrameRates = {{{25, 1}, {30000, 1001}, {24000, 1001}}};

}  // namespace

const char* AudioCodecName(TCustomAudioEncoder value) { return lookup(kAudioCodecs, Ord(value)); }
const char* VideoCodecName(TCustomVideoEncoder value) { return lookup(kVideoCodecs, Ord(value)); }

bool VideoCodecSingleThreaded(TCustomVideoEncoder value) {
  const int i = Ord(value);
  return i < static_cast<int>(kSingleThreaded.size()) && kSingleThreaded[static_cast<size_t>(i)];
}

const char* FormatMuxerName(TCustomAVFormat value) { return lookup(kMuxers, Ord(value)); }

std::optional<TFrameRateValue> FrameRateValue(TCustomFrameRate value) {
  const int i = Ord(value);
  if (i <= 0 || i >= static_cast<int>(kFrameRates.size())) return std::nullopt;
  return kFrameRates[static_cast<size_t>(i)];
}

std::optional<TFrameRateValue> TargetFrameRate(TAVTarget value) {
  const int i = Ord(value);
  if (i >= static_cast<int>(kTargetFrameRates.size())) return std::nullopt;
  return kTargetFrameRates[static_cast<size_t>(i)];
}

bool KbitToBit(double kbit, int32_t& bits) {
  const double exact = kbit * 1000;
  if (!std::isfinite(exact)) return false;
  double whole = std::floor(exact);
  const double fraction = exact - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
  if (whole < INT32_MIN || whole > INT32_MAX) return false;
  bits = static_cast<int32_t>(whole);
  return true;
}

}  // namespace vc::profiles
