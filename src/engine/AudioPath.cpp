#include "engine/AudioPath.h"

#include <algorithm>
#include <cmath>

#include "base/Errors.h"
#include "base/Format.h"
#include "engine/ConversionStreams.h"

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

namespace vc::engine {

using base::EVelocastError;

TAudioPath::TAudioPath(TOutputStream& output, const TAudioSyncSettings& settings)
    : FOutput(output), FEncoder(output.Encoder.get()), FSettings(settings), FEncodeFrame(media::MakeFrame()) {
  FFifo.reset(av_audio_fifo_alloc(FEncoder->sample_fmt, FEncoder->ch_layout.nb_channels, 1024));
  if (!FFifo) throw EVelocastError("no memory");
  if (settings.RecordingTime != INT64_MAX)
    FLimit = av_rescale(settings.RecordingTime, FEncoder->sample_rate, AV_TIME_BASE);
}

TAudioPath::~TAudioPath() {
  if (FConvert) av_freep(&FConvert[0]);
  av_freep(&FConvert);
  av_channel_layout_uninit(&FInLayout);
}

void TAudioPath::prepareConverter(const AVFrame* frame) {
  if (FConverterReady && frame->format == FInFormat && frame->sample_rate == FInRate &&
      !av_channel_layout_compare(&frame->ch_layout, &FInLayout))
    return;
  FInFormat = frame->format;
  FInRate = frame->sample_rate;
  av_channel_layout_uninit(&FInLayout);
  av_channel_layout_copy(&FInLayout, &frame->ch_layout);
  const bool needed = frame->format != FEncoder->sample_fmt || frame->sample_rate != FEncoder->sample_rate ||
                      av_channel_layout_compare(&frame->ch_layout, &FEncoder->ch_layout) != 0 ||
                      FSettings.Method >= 2;
  FResampler.reset();
  if (needed) {
    SwrContext* resampler = nullptr;
    int rc = swr_alloc_set_opts2(&resampler, &FEncoder->ch_layout, FEncoder->sample_fmt, FEncoder->sample_rate,
                                 const_cast<AVChannelLayout*>(&frame->ch_layout), static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                 nullptr);
    FResampler.reset(resampler);
    // Stretching needs the resampler even at equal rates.
    if (rc >= 0 && FSettings.Method >= 2) rc = av_opt_set_int(resampler, "flags", SWR_FLAG_RESAMPLE, 0);
    if (rc >= 0) rc = swr_init(resampler);
    if (rc < 0)
      throw EVelocastError(base::Format("Can not resample channels @  Hz to %d channels @ %d Hz",
                                        FEncoder->ch_layout.nb_channels, FEncoder->sample_rate));
  }
  FConverterReady = true;
}

double TAudioPath::bufferedSamples() const {
  double buffered = av_audio_fifo_size(FFifo.get());
  if (FResampler) buffered += static_cast<double>(swr_get_delay(FResampler.get(), FEncoder->sample_rate));
  return buffered;
}

void TAudioPath::Out(const AVFrame* frame, int64_t syncPts, TInputStream& input) {
  prepareConverter(frame);
  const int encoderRate = FEncoder->sample_rate;
  const int decoderRate = frame->sample_rate;
  const int samples = frame->nb_samples;
  const double inputTime = static_cast<double>(syncPts) / AV_TIME_BASE;  // s
  const double buffered = bufferedSamples();
  int skip = 0;      // input samples dropped at the start of the block
  int64_t pad = 0;   // input samples of silence put before it
  if (FSettings.Method != 0) {
    // Output samples by which the output lags behind the input clock.
    const double delta = inputTime * encoderRate - static_cast<double>(FOutput.SyncOpts) - buffered;
    const int64_t inputDelta = std::llround(delta * decoderRate / encoderRate);
    if (std::fabs(delta) > 50) {
      if (input.IsStart || std::fabs(delta) > FSettings.DriftThreshold * encoderRate) {
        if (inputDelta < 0) {
          skip = static_cast<int>(std::min<int64_t>(-inputDelta, samples));
          if (skip >= samples) return;
        } else {
          pad = inputDelta;
        }
        input.IsStart = false;
      } else if (FSettings.Method >= 2 && FResampler) {
        const int compensation =
            static_cast<int>(std::clamp<int64_t>(std::llround(delta), -FSettings.Method, FSettings.Method));
        swr_set_compensation(FResampler.get(), compensation, encoderRate);
      }
    }
  } else {
    // Without sync the block goes where its clock puts it; nothing goes before the start.
    if (inputTime < 0) {
      skip = static_cast<int>(std::min<double>(std::ceil(-inputTime * decoderRate), samples));
      if (skip >= samples) return;
    }
    const double blockStart = inputTime + static_cast<double>(skip) / decoderRate;
    FOutput.SyncOpts = std::llround(blockStart * encoderRate - buffered);
  }
  if (pad > 0) appendSilence(frame, static_cast<int>(std::min<int64_t>(pad, INT32_MAX)));
  convertAndAppend(frame, skip, samples - skip);
  encodeFromFifo(false);
}

void TAudioPath::appendSilence(const AVFrame* frame, int count) {
  constexpr int chunk = 8192;
  if (!FSilence || FSilence->format != frame->format || av_channel_layout_compare(&FSilence->ch_layout, &frame->ch_layout)) {
    FSilence = media::MakeFrame();
    FSilence->format = frame->format;
    FSilence->sample_rate = frame->sample_rate;
    av_channel_layout_copy(&FSilence->ch_layout, &frame->ch_layout);
    FSilence->nb_samples = chunk;
    if (av_frame_get_buffer(FSilence.get(), 0) < 0) throw EVelocastError("Out of memory in do_audio_out");
    av_samples_set_silence(FSilence->extended_data, 0, chunk, frame->ch_layout.nb_channels,
                           static_cast<AVSampleFormat>(frame->format));
  }
  FSilence->sample_rate = frame->sample_rate;
  while (count > 0) {
    const int n = std::min(count, chunk);
    convertAndAppend(FSilence.get(), 0, n);
    count -= n;
  }
}

void TAudioPath::convertAndAppend(const AVFrame* frame, int offset, int count) {
  if (count <= 0) return;
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const int channels = frame->ch_layout.nb_channels;
  const bool planar = av_sample_fmt_is_planar(format);
  const int planes = planar ? channels : 1;
  const int step = av_get_bytes_per_sample(format) * (planar ? 1 : channels);
  FPlanes.resize(static_cast<size_t>(planes));
  for (int p = 0; p < planes; ++p) FPlanes[static_cast<size_t>(p)] = frame->extended_data[p] + offset * step;
  if (!FResampler) {
    appendConverted(const_cast<uint8_t**>(FPlanes.data()), count);
    return;
  }
  const int capacity = swr_get_out_samples(FResampler.get(), count);
  ensureConvertBuffer(capacity);
  const int converted = swr_convert(FResampler.get(), FConvert, capacity, FPlanes.data(), count);
  if (converted < 0) throw EVelocastError("av_audio_convert() failed");
  appendConverted(FConvert, converted);
}

void TAudioPath::ensureConvertBuffer(int samples) {
  if (samples <= FConvertCapacity) return;
  if (FConvert) av_freep(&FConvert[0]);
  av_freep(&FConvert);
  const int channels = FEncoder->ch_layout.nb_channels;
  if (av_samples_alloc_array_and_samples(&FConvert, &FConvertLinesize, channels, samples, FEncoder->sample_fmt, 0) < 0)
    throw EVelocastError("Out of memory in do_audio_out");
  FConvertCapacity = samples;
}

void TAudioPath::appendConverted(uint8_t** data, int count) {
  const int64_t room = FLimit - FOutput.SyncOpts - av_audio_fifo_size(FFifo.get());
  if (room <= 0 || count <= 0) return;
  if (count > room) count = static_cast<int>(room);
  if (av_audio_fifo_write(FFifo.get(), reinterpret_cast<void**>(data), count) < count)
    throw EVelocastError("av_fifo_realloc2() failed");
}

void TAudioPath::encodeFromFifo(bool flushing) {
  AVAudioFifo* fifo = FFifo.get();
  const int frameSize = FEncoder->frame_size;
  const int capabilities = FOutput.FrameEncoder->Capabilities();
  const bool anySize = frameSize <= 1 || (capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  if (anySize) {
    if (av_audio_fifo_size(fifo) > 0) encodeSamples(av_audio_fifo_size(fifo));
    return;
  }
  while (av_audio_fifo_size(fifo) >= frameSize) encodeSamples(frameSize);
  if (flushing && av_audio_fifo_size(fifo) > 0) {
    if (capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME)
      encodeSamples(av_audio_fifo_size(fifo));
    else
      av_audio_fifo_reset(fifo);  // the encoder takes whole frames only
  }
}

void TAudioPath::ensureEncodeFrame(int samples) {
  AVFrame* frame = FEncodeFrame.get();
  if (samples > FEncodeCapacity) {
    av_frame_unref(frame);
    frame->format = FEncoder->sample_fmt;
    frame->sample_rate = FEncoder->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &FEncoder->ch_layout);
    frame->nb_samples = std::max(samples, FEncoder->frame_size);
    if (av_frame_get_buffer(frame, 0) < 0) throw EVelocastError("Out of memory in do_audio_out");
    FEncodeCapacity = frame->nb_samples;
    return;
  }
  frame->nb_samples = FEncodeCapacity;
  if (av_frame_make_writable(frame) < 0) throw EVelocastError("Out of memory in do_audio_out");
}

void TAudioPath::encodeSamples(int count) {
  ensureEncodeFrame(count);
  AVFrame* frame = FEncodeFrame.get();
  frame->nb_samples = count;
  av_audio_fifo_read(FFifo.get(), reinterpret_cast<void**>(frame->extended_data), count);
  // Encoder ticks are samples; a clock that jumps back must not make timestamps go backwards.
  int64_t pts = FOutput.SyncOpts;
  if (FLastPts != INT64_MIN && pts < FLastPts + FLastSamples) pts = FLastPts + FLastSamples;
  frame->pts = pts;
  FLastPts = pts;
  FLastSamples = count;
  FOutput.SyncOpts = pts + count;
  FOutput.Encode(frame, "Audio encoding failed");
}

void TAudioPath::Flush() {
  if (FResampler) {
    for (;;) {
      const int capacity = swr_get_out_samples(FResampler.get(), 0);
      if (capacity <= 0) break;
      ensureConvertBuffer(capacity);
      const int converted = swr_convert(FResampler.get(), FConvert, capacity, nullptr, 0);
      if (converted <= 0) break;
      appendConverted(FConvert, converted);
    }
  }
  encodeFromFifo(true);
  FOutput.Encode(nullptr, "Audio encoding failed");
}

}  // namespace vc::engine
