#include "media/AmrNbFrameEncoder.h"

#include <algorithm>
#include <cstring>
#include <span>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace vc::media {

void TAmrNbFrameEncoder::SetUpContext(AVCodecContext& context) {
  context.codec_type = AVMEDIA_TYPE_AUDIO;
  context.codec_id = AV_CODEC_ID_AMR_NB;
  context.sample_fmt = AV_SAMPLE_FMT_S16;
  context.sample_rate = TAmrNbEncoder::kSampleRate;
  av_channel_layout_uninit(&context.ch_layout);
  av_channel_layout_default(&context.ch_layout, TAmrNbEncoder::kChannels);
  context.frame_size = TAmrNbEncoder::kFrameSamples;
  context.time_base = AVRational{1, TAmrNbEncoder::kSampleRate};
}

TAmrNbFrameEncoder::TAmrNbFrameEncoder(const AVCodecContext& context) : FEncoder(context.bit_rate) {}

int TAmrNbFrameEncoder::SendFrame(const AVFrame* frame) {
  if (FEnded) return AVERROR_EOF;
  if (!frame) {
    FEnded = true;
    return 0;
  }
  if (frame->format != AV_SAMPLE_FMT_S16 || frame->ch_layout.nb_channels != TAmrNbEncoder::kChannels ||
      frame->sample_rate != TAmrNbEncoder::kSampleRate)
    return AVERROR(EINVAL);
  const auto* samples = reinterpret_cast<const int16_t*>(frame->extended_data[0]);
  const int64_t start = frame->pts == AV_NOPTS_VALUE ? 0 : frame->pts;
  for (int at = 0; at < frame->nb_samples; at += TAmrNbEncoder::kFrameSamples) {
    const int count = std::min(TAmrNbEncoder::kFrameSamples, frame->nb_samples - at);
    FPending.push_back({FEncoder.EncodeFrame(std::span(samples + at, static_cast<size_t>(count))), start + at});
  }
  return 0;
}

int TAmrNbFrameEncoder::ReceivePacket(AVPacket* packet) {
  if (FPending.empty()) return FEnded ? AVERROR_EOF : AVERROR(EAGAIN);
  const TEncoded& next = FPending.front();
  const int rc = av_new_packet(packet, static_cast<int>(next.Data.size()));
  if (rc < 0) return rc;
  std::memcpy(packet->data, next.Data.data(), next.Data.size());
  packet->pts = packet->dts = next.Pts;
  packet->duration = TAmrNbEncoder::kFrameSamples;  // a short last frame was padded to a whole one
  packet->flags |= AV_PKT_FLAG_KEY;
  FPending.pop_front();
  return 0;
}

}  // namespace vc::media
