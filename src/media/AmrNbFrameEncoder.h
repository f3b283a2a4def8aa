#pragma once
// Our AMR-NB encoder behind the frame-encoder interface, so a conversion drives it like a
// library encoder. It takes 8000 Hz mono signed 16-bit frames of up to 160 samples (a shorter
// last one is padded) and gives one packet per 160 samples, timed in samples.
#include <cstdint>
#include <deque>
#include <vector>

#include "media/AmrNbEncoder.h"
#include "media/FrameEncoder.h"

namespace vc::media {

class TAmrNbFrameEncoder final : public IFrameEncoder {
 public:
  // Sets context's audio format to the one the encoder takes; the rest of the conversion reads
  // the format from there.
  static void SetUpContext(AVCodecContext& context);

  // The mode nearest context.bit_rate (bit/s).
  explicit TAmrNbFrameEncoder(const AVCodecContext& context);

  // Describes the stream for the muxer.
  void FillCodecParameters(AVCodecParameters& parameters) const { FEncoder.FillCodecParameters(parameters); }

  int Capabilities() const override { return AV_CODEC_CAP_SMALL_LAST_FRAME; }
  int SendFrame(const AVFrame* frame) override;
  int ReceivePacket(AVPacket* packet) override;

 private:
  struct TEncoded {
    std::vector<uint8_t> Data;
    int64_t Pts;  // samples (1/8000 s)
  };
  TAmrNbEncoder FEncoder;
  std::deque<TEncoded> FPending;
  bool FEnded = false;
};

}  // namespace vc::media
