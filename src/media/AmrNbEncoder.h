#pragma once
// An AMR-NB speech encoder of our own on libopencore-amrnb, for the profiles that name
// "libopencore_amrnb" (this FFmpeg build has only the AMR-NB decoder). It takes 8000 Hz mono
// signed 16-bit samples in frames of 160 (20 ms) and gives one packet per frame in the storage
// format the 3GP and AMR muxers take as AV_CODEC_ID_AMR_NB: a mode header byte, then the speech
// bits.
#include <cstdint>
#include <span>
#include <vector>

extern "C" {
#include <libavcodec/codec_par.h>
}

namespace vc::media {

class TAmrNbEncoder final {
 public:
  static constexpr int kSampleRate = 8000;   // Hz
  static constexpr int kChannels = 1;
  static constexpr int kFrameSamples = 160;  // samples per packet (20 ms)

  // Chooses the mode whose bit rate is nearest to bitRate (bit/s; ties go to the lower mode).
  // Raises an error when the library cannot start an encoder.
  explicit TAmrNbEncoder(int64_t bitRate);
  ~TAmrNbEncoder();
  TAmrNbEncoder(const TAmrNbEncoder&) = delete;
  TAmrNbEncoder& operator=(const TAmrNbEncoder&) = delete;

  int Mode() const { return FMode; }        // 0 (4.75 kbit/s) .. 7 (12.2 kbit/s)
  int BitRate() const;                      // bit/s of the chosen mode
  static int NearestMode(int64_t bitRate);  // the mode a bit rate chooses
  static int ModeBitRate(int mode);         // bit/s

  // Encodes one frame. Fewer than 160 samples (the end of the stream) are padded with silence;
  // more is a programming error.
  std::vector<uint8_t> EncodeFrame(std::span<const int16_t> samples);

  // Describes the stream for the muxer (codec, rate, mono layout, bit rate, frame size).
  void FillCodecParameters(AVCodecParameters& parameters) const;

 private:
  void* FState = nullptr;
  int FMode = 0;
};

}  // namespace vc::media
