// The packet stage: one demuxed packet (or none, to drain at the end) is decoded where an output
// re-encodes from its stream, its clock is kept, and the result goes to the video, audio or
// subtitle path of every output it feeds, or out again as a copied packet.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "base/Errors.h"
#include "base/Format.h"
#include "engine/AudioPath.h"
#include "engine/Conversion.h"
#include "engine/VideoPath.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace vc::engine {

using base::EVelocastError;

namespace {

const AVRational microseconds{1, AV_TIME_BASE};

struct TSubtitleGuard {
  AVSubtitle* Subtitle;
  ~TSubtitleGuard() { avsubtitle_free(Subtitle); }
};

// µs a frame of the stream lasts, from the best source at hand.
int64_t frameDuration(const TInputStream& input, const AVFrame* frame) {
  if (frame && frame->pkt_duration > 0) return av_rescale_q(frame->pkt_duration, input.Stream->time_base, microseconds);
  const AVCodecContext* decoder = input.Decoder.get();
  AVRational rate = decoder && decoder->framerate.num ? decoder->framerate : input.Stream->r_frame_rate;
  if (!rate.num || !rate.den) return 0;
  const int64_t duration = av_rescale(AV_TIME_BASE, rate.den, rate.num);
  return frame ? duration + duration * frame->repeat_pict / 2 : duration;
}

template <class T>
void scaleIntegers(T* samples, size_t count, int volume) {
  constexpr int64_t low = std::numeric_limits<T>::min();
  constexpr int64_t high = std::numeric_limits<T>::max();
  for (size_t i = 0; i < count; ++i)
    samples[i] = static_cast<T>(std::clamp<int64_t>((static_cast<int64_t>(samples[i]) * volume + 128) >> 8, low, high));
}

template <class T>
void scaleReals(T* samples, size_t count, int volume) {
  const T gain = static_cast<T>(volume) / 256;
  for (size_t i = 0; i < count; ++i) samples[i] = std::clamp<T>(samples[i] * gain, -1, 1);
}

void scaleUnsigned(uint8_t* samples, size_t count, int volume) {
  for (size_t i = 0; i < count; ++i)
    samples[i] = static_cast<uint8_t>(std::clamp(((samples[i] - 128) * volume + 128) / 256 + 128, 0, 255));
}

}  // namespace

int TConversion::processPacket(TInputStream& input, AVPacket* packet) {
  if (input.NextPts == AV_NOPTS_VALUE) input.NextPts = input.Pts;
  if (packet) {
    if (packet->dts != AV_NOPTS_VALUE) input.NextPts = av_rescale_q(packet->dts, input.Stream->time_base, microseconds);
    input.Pts = input.NextPts;
    for (const int index : input.Outputs) {
      TOutputStream& output = *FOutputStreams[static_cast<size_t>(index)];
      if (output.StreamCopy) copyPacket(output, input, packet);
    }
  }
  if (!input.DecodingNeeded) {
    if (packet) advanceWithoutDecoding(input, packet);
    return 0;
  }
  int rc = 0;
  switch (input.Type()) {
    case AVMEDIA_TYPE_VIDEO:
      rc = decodeVideo(input, packet);
      break;
    case AVMEDIA_TYPE_AUDIO:
      rc = decodeAudio(input, packet);
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      rc = decodeSubtitle(input, packet);
      break;
    default:
      break;
  }
  if (!packet) drainEncoders(input);
  return rc;
}

void TConversion::advanceWithoutDecoding(TInputStream& input, const AVPacket* packet) {
  const AVCodecParameters* parameters = input.Stream->codecpar;
  int64_t duration = 0;  // µs
  if (packet->duration > 0)
    duration = av_rescale_q(packet->duration, input.Stream->time_base, microseconds);
  else if (parameters->codec_type == AVMEDIA_TYPE_AUDIO && parameters->sample_rate > 0)
    duration = av_rescale(parameters->frame_size, AV_TIME_BASE, parameters->sample_rate);
  else if (parameters->codec_type == AVMEDIA_TYPE_VIDEO)
    duration = frameDuration(input, nullptr);
  input.NextPts += duration;
}

namespace {

// Sends one packet (null drains) and hands every frame the decoder returns to onFrame with its
// time in µs: the decoder's best guess, or the expected next time when it has none. -1 on a
// decoding error.
template <class OnFrame>
int decodeFrames(TInputStream& input, const AVPacket* packet, AVFrame* frame, OnFrame&& onFrame) {
  AVCodecContext* decoder = input.Decoder.get();
  int rc = avcodec_send_packet(decoder, packet);
  if (rc < 0 && rc != AVERROR_EOF) return -1;
  for (;;) {
    rc = avcodec_receive_frame(decoder, frame);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 0;
    if (rc < 0) return -1;
    // The decoder's best guess already weighs reordered against decoding timestamps.
    const int64_t pts = frame->best_effort_timestamp;
    input.Pts = pts != AV_NOPTS_VALUE ? av_rescale_q(pts, input.Stream->time_base, microseconds) : input.NextPts;
    onFrame(frame);
    av_frame_unref(frame);
  }
}

}  // namespace

int TConversion::decodeVideo(TInputStream& input, const AVPacket* packet) {
  return decodeFrames(input, packet, FFrame.get(), [&](AVFrame* frame) {
    input.Quality = frame->quality;
    input.NextPts = input.Pts + frameDuration(input, frame);
    dispatchVideo(input, frame);
  });
}

int TConversion::decodeAudio(TInputStream& input, const AVPacket* packet) {
  return decodeFrames(input, packet, FFrame.get(), [&](AVFrame* frame) {
    if (frame->sample_rate > 0) input.NextPts = input.Pts + av_rescale(frame->nb_samples, AV_TIME_BASE, frame->sample_rate);
    dispatchAudio(input, frame);
  });
}

int TConversion::decodeSubtitle(TInputStream& input, const AVPacket* packet) {
  if (!packet) return 0;
  AVSubtitle subtitle{};
  int got = 0;
  if (avcodec_decode_subtitle2(input.Decoder.get(), &subtitle, &got, const_cast<AVPacket*>(packet)) < 0) return -1;
  if (!got) return 0;
  TSubtitleGuard guard{&subtitle};
  dispatchSubtitle(input, subtitle, packet->pts);
  return 0;
}

void TConversion::dispatchVideo(TInputStream& input, AVFrame* frame) {
  frame->pts = input.Pts;  // the graphs run on a microsecond clock
  for (const int index : input.Outputs) {
    TOutputStream& output = *FOutputStreams[static_cast<size_t>(index)];
    if (output.StreamCopy || !output.Video) continue;
    pushVideo(output, input, frame);
  }
}

void TConversion::pushVideo(TOutputStream& output, TInputStream& input, AVFrame* frame) {
  TVideoPath& path = *output.Video;
  if (frame) {
    const TVideoInput& expected = path.Input();
    if (frame->width != expected.Width || frame->height != expected.Height || frame->format != expected.Format) {
      if (!path.Resample() && (frame->width != expected.Width || frame->height != expected.Height)) {
        const char* format = av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame->format));
        throw EVelocastError(base::Format("Input Stream #%d.%d frame size changed to %dx%d, %s", input.FileIndex,
                                          input.StreamIndex, frame->width, frame->height, format ? format : "none"));
      }
      // The graph was built for other pictures: finish what it holds, then build it anew.
      if (path.Push(nullptr) >= 0) pullVideo(output, input);
      TVideoInput changed = expected;
      changed.Width = frame->width;
      changed.Height = frame->height;
      changed.Format = static_cast<AVPixelFormat>(frame->format);
      if (frame->sample_aspect_ratio.num) changed.SampleAspect = frame->sample_aspect_ratio;
      if (path.Rebuild(changed, output.Encoder->width, output.Encoder->height) != 0)
        throw EVelocastError("Error opening filters!");
    }
  }
  if (path.Push(frame) < 0 && frame) throw EVelocastError("Error while filtering video");
  pullVideo(output, input);
}

void TConversion::pullVideo(TOutputStream& output, TInputStream& input) {
  AVFrame* filtered = FFiltered.get();
  while (output.Video->Pull(filtered) == 0) {
    videoOut(output, input, filtered);
    av_frame_unref(filtered);
  }
}

void TConversion::videoOut(TOutputStream& output, TInputStream& input, AVFrame* frame) {
  AVCodecContext* encoder = output.Encoder.get();
  const TVideoOptions& video = FOptions.VideoOptions;
  int64_t pts = frame->pts != AV_NOPTS_VALUE ? frame->pts : input.Pts;  // µs
  if (output.SyncIndex != output.SourceIndex) pts = FInputStreams[static_cast<size_t>(output.SyncIndex)]->Pts;
  const double syncTime = static_cast<double>(pts) / AV_TIME_BASE / av_q2d(encoder->time_base);  // encoder ticks
  const bool variableRate = output.Muxer->oformat->flags & AVFMT_VARIABLE_FPS;
  int64_t copies = VideoFrameCopies(syncTime, output.SyncOpts, video.VideoSyncMethod, variableRate);
  copies = std::min<int64_t>(copies, output.MaxFrames - output.FrameNumber);
  if (FOptions.RecordingTime != INT64_MAX) {
    const int64_t limit = av_rescale_q_rnd(FOptions.RecordingTime, microseconds, encoder->time_base,
                                           static_cast<AVRounding>(AV_ROUND_UP));
    copies = std::min<int64_t>(copies, limit - output.SyncOpts);
  }
  if (copies <= 0) return;
  frame->pict_type = AV_PICTURE_TYPE_NONE;
  frame->quality = video.SameQuality ? input.Quality : encoder->global_quality;
  if (encoder->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME)) {
    if (video.TopFieldFirst != -1) frame->top_field_first = video.TopFieldFirst;
  }
  frame->pkt_duration = 1;  // encoder ticks
  for (int64_t i = 0; i < copies; ++i) {
    frame->pts = output.SyncOpts;
    output.Encode(frame, "Video encoding failed");
    ++output.SyncOpts;
    ++output.FrameNumber;
  }
}

void TConversion::applyVolume(AVFrame* frame) const {
  const int volume = FOptions.AudioOptions.AudioVolume;
  if (volume == 256) return;
  if (av_frame_make_writable(frame) < 0) throw EVelocastError("Out of memory in do_audio_out");
  const auto format = static_cast<AVSampleFormat>(frame->format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int channels = frame->ch_layout.nb_channels;
  const int planes = planar ? channels : 1;
  const size_t count = static_cast<size_t>(frame->nb_samples) * static_cast<size_t>(planar ? 1 : channels);
  for (int p = 0; p < planes; ++p) {
    uint8_t* data = frame->extended_data[p];
    switch (av_get_packed_sample_fmt(format)) {
      case AV_SAMPLE_FMT_U8: scaleUnsigned(data, count, volume); break;
      case AV_SAMPLE_FMT_S16: scaleIntegers(reinterpret_cast<int16_t*>(data), count, volume); break;
      case AV_SAMPLE_FMT_S32: scaleIntegers(reinterpret_cast<int32_t*>(data), count, volume); break;
      case AV_SAMPLE_FMT_S64: scaleIntegers(reinterpret_cast<int64_t*>(data), count, volume); break;
      case AV_SAMPLE_FMT_FLT: scaleReals(reinterpret_cast<float*>(data), count, volume); break;
      case AV_SAMPLE_FMT_DBL: scaleReals(reinterpret_cast<double*>(data), count, volume); break;
      default: break;
    }
  }
}

void TConversion::dispatchAudio(TInputStream& input, AVFrame* frame) {
  applyVolume(frame);
  for (const int index : input.Outputs) {
    TOutputStream& output = *FOutputStreams[static_cast<size_t>(index)];
    if (output.StreamCopy || !output.Audio) continue;
    const int64_t syncPts = FInputStreams[static_cast<size_t>(output.SyncIndex)]->Pts;
    output.Audio->Out(frame, syncPts, input);
  }
}

void TConversion::dispatchSubtitle(TInputStream& input, AVSubtitle& subtitle, int64_t packetPts) {
  if (packetPts == AV_NOPTS_VALUE) throw EVelocastError("Subtitle packets must have a pts");
  constexpr int bufferSize = 1 << 20;
  const AVRational milliseconds{1, 1000};
  for (const int index : input.Outputs) {
    TOutputStream& output = *FOutputStreams[static_cast<size_t>(index)];
    if (output.StreamCopy || !output.EncodingNeeded) continue;
    if (FSubtitleBuffer.empty()) FSubtitleBuffer.resize(bufferSize);
    AVCodecContext* encoder = output.Encoder.get();
    const bool dvb = encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
    // DVB subtitles need a second packet that clears the screen when the subtitle ends.
    for (int pass = 0; pass < (dvb ? 2 : 1); ++pass) {
      AVSubtitle shown = subtitle;
      shown.pts = av_rescale_q(packetPts, input.Stream->time_base, microseconds) +
                  av_rescale_q(subtitle.start_display_time, milliseconds, microseconds);
      shown.end_display_time = subtitle.end_display_time - subtitle.start_display_time;
      shown.start_display_time = 0;
      if (pass == 1) shown.num_rects = 0;
      const int size = avcodec_encode_subtitle(encoder, FSubtitleBuffer.data(), bufferSize, &shown);
      if (size < 0) throw EVelocastError("Subtitle encoding failed");
      AVPacket* packet = output.Packet.get();
      if (av_new_packet(packet, size) < 0) throw EVelocastError("no memory");
      std::memcpy(packet->data, FSubtitleBuffer.data(), static_cast<size_t>(size));
      const AVRational timeBase = output.Stream->time_base;
      packet->pts = av_rescale_q(shown.pts, microseconds, timeBase);
      if (dvb)
        packet->pts += av_rescale_q(pass == 0 ? shown.start_display_time : shown.end_display_time, milliseconds, timeBase);
      else
        packet->duration = av_rescale_q(shown.end_display_time, milliseconds, timeBase);
      packet->dts = packet->pts;
      output.Write(packet);
      ++output.FrameNumber;
    }
  }
}

void TConversion::copyPacket(TOutputStream& output, TInputStream& input, const AVPacket* packet) {
  if (!output.CopyStarted) {
    if (!(packet->flags & AV_PKT_FLAG_KEY)) return;
    output.CopyStarted = true;
  }
  // µs: the packet's place on the output clock; nothing past the recording limit is copied.
  if (FOptions.RecordingTime != INT64_MAX && input.Pts >= FOptions.RecordingTime) return;
  AVPacket* copy = FCopy.get();
  if (av_packet_ref(copy, packet) < 0) throw EVelocastError("no memory");
  const AVRational in = input.Stream->time_base;
  const AVRational out = output.Stream->time_base;
  if (copy->pts != AV_NOPTS_VALUE) copy->pts = av_rescale_q(copy->pts, in, out);
  copy->dts = copy->dts != AV_NOPTS_VALUE ? av_rescale_q(copy->dts, in, out) : av_rescale_q(input.Pts, microseconds, out);
  copy->duration = av_rescale_q(copy->duration, in, out);
  copy->pos = -1;
  if (output.Type == AVMEDIA_TYPE_VIDEO) ++output.SyncOpts;
  output.CopyTime = static_cast<double>(copy->dts + copy->duration) * av_q2d(out);
  output.Write(copy);
  av_packet_unref(copy);
  ++output.FrameNumber;
}

void TConversion::drainEncoders(TInputStream& input) {
  for (const int index : input.Outputs) {
    TOutputStream& output = *FOutputStreams[static_cast<size_t>(index)];
    if (output.StreamCopy || !output.EncodingNeeded) continue;
    if (output.Video) {
      if (output.Video->Push(nullptr) >= 0) pullVideo(output, input);
      output.Encode(nullptr, "Video encoding failed");
    } else if (output.Audio) {
      output.Audio->Flush();
    }
  }
}

}  // namespace vc::engine
