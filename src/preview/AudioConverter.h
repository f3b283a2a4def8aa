#pragma once
// Turns decoded sound frames of any sample format and channel layout into interleaved signed
// 16-bit PCM with one or two channels at the pin's sample rate.
#include <cstdint>
#include <vector>

#include "media/AVHandles.h"

namespace vc::preview {

// Channels the preview plays for a stream of `channels`: mono and stereo as they are, anything
// else mixed down to stereo.
inline int32_t PreviewChannels(int32_t channels) { return channels == 1 || channels == 2 ? channels : 2; }

class TS16Converter final {
 public:
  TS16Converter() = default;
  ~TS16Converter() { Reset(); }
  TS16Converter(const TS16Converter&) = delete;
  TS16Converter& operator=(const TS16Converter&) = delete;

  // Appends the frame's sound to out; false when it cannot be converted.
  bool Convert(const AVFrame& frame, int32_t outChannels, int32_t outRate, std::vector<uint8_t>& out);
  void Reset();

 private:
  media::TSwrPtr FSwr;
  // What FSwr was made for.
  int FInFormat = -1;
  int FInRate = 0;
  AVChannelLayout FInLayout{};
  int32_t FOutChannels = 0;
  int32_t FOutRate = 0;
};

}  // namespace vc::preview
