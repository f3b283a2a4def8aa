#include "preview/AudioConverter.h"

#include <cstring>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

namespace vc::preview {

void TS16Converter::Reset() {
  FSwr.reset();
  av_channel_layout_uninit(&FInLayout);
  FInFormat = -1;
  FInRate = 0;
  FOutChannels = 0;
  FOutRate = 0;
}

bool TS16Converter::Convert(const AVFrame& frame, int32_t outChannels, int32_t outRate, std::vector<uint8_t>& out) {
  const int inChannels = frame.ch_layout.nb_channels;
  if (inChannels <= 0 || frame.nb_samples <= 0 || outChannels <= 0 || outRate <= 0) return false;
  // Already what the pin plays: copied as it is.
  if (frame.format == AV_SAMPLE_FMT_S16 && inChannels == outChannels && frame.sample_rate == outRate) {
    const size_t bytes = static_cast<size_t>(frame.nb_samples) * inChannels * 2;
    const size_t at = out.size();
    out.resize(at + bytes);
    std::memcpy(out.data() + at, frame.data[0], bytes);
    return true;
  }
  AVChannelLayout inLayout{};
  if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&inLayout, inChannels);
  else if (av_channel_layout_copy(&inLayout, &frame.ch_layout) < 0)
    return false;
  const bool same = FSwr && FInFormat == frame.format && FInRate == frame.sample_rate &&
                    av_channel_layout_compare(&FInLayout, &inLayout) == 0 && FOutChannels == outChannels &&
                    FOutRate == outRate;
  if (!same) {
    Reset();
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, outChannels);
    SwrContext* swr = nullptr;
    const int rc = swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout,
                                       static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
    av_channel_layout_uninit(&outLayout);
    media::TSwrPtr owned(swr);
    if (rc < 0 || !swr || swr_init(swr) < 0) {
      av_channel_layout_uninit(&inLayout);
      return false;
    }
    FSwr = std::move(owned);
    FInFormat = frame.format;
    FInRate = frame.sample_rate;
    av_channel_layout_copy(&FInLayout, &inLayout);
    FOutChannels = outChannels;
    FOutRate = outRate;
  }
  av_channel_layout_uninit(&inLayout);
  const int capacity = swr_get_out_samples(FSwr.get(), frame.nb_samples);
  if (capacity <= 0) return capacity == 0;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(capacity) * outChannels * 2);
  uint8_t* target[1] = {out.data() + at};
  const int converted = swr_convert(FSwr.get(), target, capacity, const_cast<const uint8_t**>(frame.extended_data),
                                    frame.nb_samples);
  if (converted < 0) {
    out.resize(at);
    return false;
  }
  out.resize(at + static_cast<size_t>(converted) * outChannels * 2);
  return true;
}

}  // namespace vc::preview
