#include "engine/ConversionStreams.h"

#include "base/Errors.h"
#include "engine/AudioPath.h"
#include "engine/TwoPassLog.h"
#include "engine/VideoPath.h"

namespace vc::engine {

TOutputStream::TOutputStream() : Packet(media::MakePacket()) {}
TOutputStream::~TOutputStream() {
  // The statistics buffer belongs to us, not to the encoder.
  if (Encoder) Encoder->stats_in = nullptr;
}

double TOutputStream::OutputTime() const {
  if (StreamCopy || !Encoder) return CopyTime;
  if (Type == AVMEDIA_TYPE_AUDIO) return static_cast<double>(SyncOpts) / Encoder->sample_rate;
  if (Type == AVMEDIA_TYPE_VIDEO) return static_cast<double>(SyncOpts) * av_q2d(Encoder->time_base);
  return CopyTime;
}

void TOutputStream::Encode(const AVFrame* frame, const char* failure) {
  AVCodecContext* encoder = Encoder.get();
  int rc = FrameEncoder->SendFrame(frame);
  if (rc < 0 && rc != AVERROR_EOF) throw base::EVelocastError(failure);
  for (;;) {
    rc = FrameEncoder->ReceivePacket(Packet.get());
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) break;
    if (rc < 0) throw base::EVelocastError(failure);
    if (PassLog && encoder->stats_out) PassLog->Append(encoder->stats_out);
    if (Packet->duration == 0 && Type == AVMEDIA_TYPE_VIDEO) Packet->duration = 1;
    av_packet_rescale_ts(Packet.get(), encoder->time_base, Stream->time_base);
    Write(Packet.get());
  }
}

void TOutputStream::Write(AVPacket* packet) {
  packet->stream_index = Stream->index;
  auto mux = [this](AVPacket* p) {
    if (av_interleaved_write_frame(Muxer, p) < 0) throw base::EVelocastError("av_interleaved_write_frame() ");
  };
  if (Filters.Empty())
    mux(packet);
  else
    Filters.Filter(packet, mux);
}

}  // namespace vc::engine
