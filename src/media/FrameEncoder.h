#pragma once
// What an output stream needs from its encoder while the conversion runs: frames in, packets
// out. The library's encoders and our own (which the library does not know) both serve it.
extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vc::media {

class IFrameEncoder {
 public:
  virtual ~IFrameEncoder() = default;
  // AV_CODEC_CAP_* flags that decide how audio is cut into frames (variable or small last frame).
  virtual int Capabilities() const = 0;
  // Takes one frame, or nullptr when no more follow. Library error codes; AVERROR_EOF after the end.
  virtual int SendFrame(const AVFrame* frame) = 0;
  // The next packet in the encoder's time base: 0, AVERROR(EAGAIN) when it needs more frames,
  // AVERROR_EOF when everything is out.
  virtual int ReceivePacket(AVPacket* packet) = 0;
};

// A library encoder, opened on context, which stays the caller's.
class TCodecFrameEncoder final : public IFrameEncoder {
 public:
  explicit TCodecFrameEncoder(AVCodecContext* context) : FContext(context) {}
  int Capabilities() const override { return FContext->codec ? FContext->codec->capabilities : 0; }
  int SendFrame(const AVFrame* frame) override { return avcodec_send_frame(FContext, frame); }
  int ReceivePacket(AVPacket* packet) override { return avcodec_receive_packet(FContext, packet); }

 private:
  AVCodecContext* FContext;
};

}  // namespace vc::media
