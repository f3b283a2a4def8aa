// The decoder thread of TFFPushSource: reads packets, decodes them into queued pictures, sound
// and subtitles, loops the input and performs the seeks the graph asks for.
#include <chrono>
#include <cmath>
#include <thread>

extern "C" {
#include <libavutil/imgutils.h>
}

#include "base/Prompts.h"
#include "preview/FFPushSource.h"
#include "preview/SeekBounds.h"

namespace vc::preview {

namespace {

constexpr auto kEndOfInputPoll = std::chrono::milliseconds(50);
constexpr auto kIdlePoll = std::chrono::milliseconds(10);

int64_t units(double seconds) { return std::llround(seconds * UnitsPerSecond); }

bool interlaced(const AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
  return frame.flags & AV_FRAME_FLAG_INTERLACED;
#else
  return frame.interlaced_frame;
#endif
}

bool topFieldFirst(const AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
  return frame.flags & AV_FRAME_FLAG_TOP_FIELD_FIRST;
#else
  return frame.top_field_first;
#endif
}

void clearInterlaced(AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
  frame.flags &= ~AV_FRAME_FLAG_INTERLACED;
#else
  frame.interlaced_frame = 0;
#endif
}

}  // namespace

void TFFPushSource::decoderThread() {
  try {
    if (StartPosition() != 0) {
      std::lock_guard decode(FDecodeLock);
      performSeek(false);
    } else {
      std::lock_guard decode(FDecodeLock);
      FGuesser.Reset();
    }
    while (!FTerminate) {
      if (FSeekRequest) {
        std::lock_guard decode(FDecodeLock);
        performSeek(true);
        continue;
      }
      if (FEndOfInput) {
        std::this_thread::sleep_for(kEndOfInputPoll);
        continue;
      }
      if (!FVideoPin->IsConnected() && !FAudioPin->IsConnected()) {
        std::this_thread::sleep_for(kIdlePoll);
        continue;
      }
      if (queuesFull()) {
        std::this_thread::sleep_for(kIdlePoll);
        continue;
      }
      bool read = true;
      {
        std::lock_guard decode(FDecodeLock);
        read = decodeNextPacket();
      }
      if (!read) std::this_thread::sleep_for(kIdlePoll);
    }
  } catch (const std::exception& e) {
    // The pins finish what is queued and end their streams; a seek no longer waits for us.
    FEndOfInput = true;
    FDecoderEnded = true;
    FVideoPin->Poke();
    FAudioPin->Poke();
    base::Prompts().ShowError(e.what());
    return;
  }
  FDecoderEnded = true;
}

bool TFFPushSource::queuesFull() {
  const size_t video = FVideoPin->QueueCount();
  const size_t audio = FAudioPin->QueueCount();
  const bool videoFull = !HasVideo() || video >= QueueHighWater;
  const bool audioFull = !HasAudio() || audio >= QueueHighWater;
  if (videoFull && audioFull) return true;
  return (FVideoPin->IsConnected() && video >= QueueLimit) || (FAudioPin->IsConnected() && audio >= QueueLimit);
}

bool TFFPushSource::decodeNextPacket() {
  media::TPacketPtr packet = media::MakePacket();
  const int read = av_read_frame(FInput.Context.get(), packet.get());
  if (read == AVERROR(EAGAIN)) return false;
  if (read < 0) {  // the end of the input, or a read error handled like it
    endOfPass();
    return true;
  }
  const double passOffset = static_cast<double>(FInputDuration) * FLoopIndex / UnitsPerSecond;
  const int index = packet->stream_index;
  if (index == streamIndex(TKind::Video))
    decodeVideo(packet.get(), passOffset);
  else if (index == streamIndex(TKind::Subtitle))
    decodeSubtitle(packet.get(), passOffset);
  else if (index == streamIndex(TKind::Audio) && HasAudio())
    decodeAudio(packet.get(), passOffset);
  return true;
}

// Delayed pictures and sound come out of the decoders (and the deinterlacer) before the pass
// ends; then the next pass begins, or the input has ended.
void TFFPushSource::endOfPass() {
  const double passOffset = static_cast<double>(FInputDuration) * FLoopIndex / UnitsPerSecond;
  if (FVideoDecoder) {
    decodeVideo(nullptr, passOffset);
    FVideoGraph.Push(nullptr);
    drainVideoGraph(passOffset);
  }
  if (FAudioDecoder && HasAudio()) decodeAudio(nullptr, passOffset);
  ++FLoopIndex;
  if (FLoopIndex < FLoopCount) {
    {
      std::lock_guard seeking(SeekingLock());
      FPreviousStart = FStart;
      FStart = FInputDuration * FLoopIndex;
    }
    performSeek(false);
  } else {
    FEndOfInput = true;
    FVideoPin->Poke();
    FAudioPin->Poke();
  }
}

void TFFPushSource::performSeek(bool requested) {
  int64_t start = 0, previousStart = 0;
  {
    std::lock_guard seeking(SeekingLock());
    start = std::max<int64_t>(FStart, 0);
    previousStart = std::max<int64_t>(FPreviousStart, 0);
  }
  const int64_t duration = FInputDuration;
  FLoopIndex = duration > 0 ? static_cast<int32_t>(start / duration) : 0;
  const int64_t target = duration > 0 ? start % duration : start;  // 100 ns within the pass
  const int64_t previous = duration > 0 ? previousStart % duration : previousStart;
  const int64_t timestamp = target / 10 + FStartTime;  // microseconds
  // The key frame at or before the target; what lies before the target is decoded and dropped
  // below, so the first picture is the one showing at the target, never a broken one.
  if (avformat_seek_file(FInput.Context.get(), -1, INT64_MIN, timestamp, timestamp, 0) < 0) {
    const TSeekBounds bounds = SeekBounds(target, previous);
    avformat_seek_file(FInput.Context.get(), -1, bounds.Minimum == INT64_MIN ? INT64_MIN : bounds.Minimum + FStartTime,
                       timestamp, bounds.Maximum == INT64_MAX ? INT64_MAX : bounds.Maximum + FStartTime,
                       AVSEEK_FLAG_ANY);
  }
  if (FVideoDecoder) avcodec_flush_buffers(FVideoDecoder.get());
  if (FAudioDecoder) avcodec_flush_buffers(FAudioDecoder.get());
  if (FSubtitleDecoder) avcodec_flush_buffers(FSubtitleDecoder.get());
  FGuesser.Reset();
  if (FVideoDecoder) {
    try {
      // A fresh graph: the old one may hold pictures from before the seek, or have ended.
      buildVideoGraph();
    } catch (const std::exception& e) {
      reportDecoderError(e.what());
    }
  }
  FVideoClock = FAudioClock = static_cast<double>(target) / UnitsPerSecond;
  FVideoSkipUntil = FAudioSkipUntil = target;

  if (!requested) return;
  std::lock_guard seeking(SeekingLock());
  FVideoPin->Clear();
  FVideoPin->ClearSubtitles();
  FAudioPin->Clear();
  FVideoPin->SetDiscontinuity();
  FAudioPin->SetDiscontinuity();
  FEndOfInput = false;
  FSeekRequest = false;
}

void TFFPushSource::reportDecoderError(const std::string& text) {
  if (text == FLastDecoderError) return;
  FLastDecoderError = text;
  base::Prompts().ShowError(text);
}

// ---- Video ----

void TFFPushSource::decodeVideo(const AVPacket* packet, double passOffset) {
  if (!FVideoDecoder) return;
  // Before a seek target, pictures no other picture refers to need not be decoded at all.
  AVDiscard skip = AVDISCARD_DEFAULT;
  if (FVideoSkipUntil >= 0 && packet && packet->pts != AV_NOPTS_VALUE) {
    const double end = streamSeconds(packet->pts, stream(TKind::Video)->time_base) + FFrameDuration;
    if (units(end) <= FVideoSkipUntil) skip = AVDISCARD_NONREF;
  }
  FVideoDecoder->skip_frame = skip;
  const int sent = avcodec_send_packet(FVideoDecoder.get(), packet);
  if (sent < 0 && sent != AVERROR(EAGAIN)) return;  // a broken packet is dropped
  receiveVideoFrames(passOffset);
}

void TFFPushSource::receiveVideoFrames(double passOffset) {
  media::TFramePtr frame = media::MakeFrame();
  while (avcodec_receive_frame(FVideoDecoder.get(), frame.get()) >= 0) {
    frame->pts = FGuesser.Guess(frame->pkt_dts, frame->pts);
    // Only bottom-field-first pictures are deinterlaced; the others pass the deinterlacer as they are.
    const bool bottomFirst = interlaced(*frame) && !topFieldFirst(*frame);
    if (!bottomFirst) clearInterlaced(*frame);
    const TVideoInput& input = FPictureInput;
    const bool fits = input.Width == frame->width && input.Height == frame->height && input.Format == frame->format &&
                      (input.Deinterlace || !bottomFirst);
    if (!fits || !FVideoGraph.Built()) {
      const int32_t oldWidth = FVideoWidth, oldHeight = FVideoHeight;
      FPictureInput.Width = frame->width;
      FPictureInput.Height = frame->height;
      FPictureInput.Format = static_cast<AVPixelFormat>(frame->format);
      FPictureInput.SampleAspect = frame->sample_aspect_ratio;
      FPictureInput.Deinterlace = FPictureInput.Deinterlace || bottomFirst;  // stays on once needed
      if (!fits) {
        try {
          buildVideoGraph();
        } catch (const std::exception& e) {
          reportDecoderError(e.what());
        }
      }
      if ((FVideoWidth != oldWidth || FVideoHeight != oldHeight) && FVideoPin->IsConnected()) {
        FVideoPin->Clear();
        FVideoPin->Renegotiate(videoMediaType());
      }
    }
    // Pictures that end before a seek target are not even converted (the graph's filters keep
    // the pictures' times); the check after the graph still decides on the rest.
    if (FVideoSkipUntil >= 0 && frame->pts != AV_NOPTS_VALUE) {
      AVStream* st = stream(TKind::Video);
      const double end = streamSeconds(frame->pts, st->time_base) + FFrameDuration;
      if (units(end) <= FVideoSkipUntil) {
        FVideoClock = end;
        av_frame_unref(frame.get());
        continue;
      }
    }
    FVideoGraph.Push(frame.get());
    av_frame_unref(frame.get());
    drainVideoGraph(passOffset);
  }
}

void TFFPushSource::drainVideoGraph(double passOffset) {
  AVStream* st = stream(TKind::Video);
  if (!st) return;
  media::TFramePtr frame = media::MakeFrame();
  while (FVideoGraph.Pull(frame.get())) {
    int64_t stamp = frame->pts;
    const AVRational sinkBase = FVideoGraph.OutputTimeBase();
    if (stamp != AV_NOPTS_VALUE && av_cmp_q(sinkBase, st->time_base) != 0)
      stamp = av_rescale_q(stamp, sinkBase, st->time_base);
    const double start = stamp == AV_NOPTS_VALUE ? FVideoClock : streamSeconds(stamp, st->time_base);
    FVideoClock = start + FFrameDuration + frame->repeat_pict * FFrameDuration * 0.5;
    if (FVideoSkipUntil >= 0) {
      if (units(FVideoClock) <= FVideoSkipUntil) {  // ends before the seek target
        av_frame_unref(frame.get());
        continue;
      }
      FVideoSkipUntil = -1;
    }
    const int size = av_image_get_buffer_size(AV_PIX_FMT_BGRA, frame->width, frame->height, 1);
    if (size > 0 && frame->format == AV_PIX_FMT_BGRA) {
      auto picture = std::make_unique<TFFSample>(size, passOffset + start, passOffset + FVideoClock);
      picture->Width = frame->width;
      picture->Height = frame->height;
      av_image_copy_to_buffer(picture->Data.get(), size, frame->data, frame->linesize, AV_PIX_FMT_BGRA, frame->width,
                              frame->height, 1);
      FVideoPin->QueueSample(std::move(picture));
    }
    av_frame_unref(frame.get());
  }
}

// ---- Subtitles ----

void TFFPushSource::decodeSubtitle(const AVPacket* packet, double passOffset) {
  if (!FSubtitleDecoder) return;
  AVStream* st = stream(TKind::Subtitle);
  const double start = packet->pts == AV_NOPTS_VALUE ? 0 : streamSeconds(packet->pts, st->time_base);
  auto subtitle = std::make_unique<TFFSubtitle>();
  int got = 0;
  const int used =
      avcodec_decode_subtitle2(FSubtitleDecoder.get(), &subtitle->Subtitle(), &got, const_cast<AVPacket*>(packet));
  // Only graphic subtitles are drawn; text ones are decoded and dropped.
  if (used < 0 || !got || subtitle->Subtitle().format != 0) return;
  subtitle->Base = passOffset + start;
  FVideoPin->QueueSubtitle(std::move(subtitle));
}

// ---- Audio ----

void TFFPushSource::decodeAudio(const AVPacket* packet, double passOffset) {
  if (!FAudioDecoder) return;
  const int sent = avcodec_send_packet(FAudioDecoder.get(), packet);
  if (sent < 0 && sent != AVERROR(EAGAIN)) return;  // the rest of a broken packet is abandoned
  receiveAudioFrames(passOffset);
}

void TFFPushSource::receiveAudioFrames(double passOffset) {
  AVStream* st = stream(TKind::Audio);
  const int32_t channels = FAudioPin->Channels();
  const int32_t rate = FAudioPin->SampleRate();
  if (!st || channels <= 0 || rate <= 0) return;
  const double bytesPerSecond = static_cast<double>(rate) * channels * 2;
  const int32_t frameBytes = channels * 2;
  media::TFramePtr frame = media::MakeFrame();
  std::vector<uint8_t> pcm;
  while (avcodec_receive_frame(FAudioDecoder.get(), frame.get()) >= 0) {
    const int64_t stamp = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
    if (stamp != AV_NOPTS_VALUE) FAudioClock = streamSeconds(stamp, st->time_base);
    pcm.clear();
    const bool converted = FAudioConverter.Convert(*frame, channels, rate, pcm);
    av_frame_unref(frame.get());
    if (!converted || pcm.empty()) continue;
    double start = FAudioClock;
    FAudioClock += pcm.size() / bytesPerSecond;
    size_t skip = 0;  // bytes before the seek target
    if (FAudioSkipUntil >= 0) {
      if (units(FAudioClock) <= FAudioSkipUntil) continue;
      const double target = static_cast<double>(FAudioSkipUntil) / UnitsPerSecond;
      if (start < target) {
        skip = static_cast<size_t>(std::llround((target - start) * rate)) * frameBytes;
        skip = std::min(skip, pcm.size());
        start = target;
      }
      FAudioSkipUntil = -1;
    }
    const int32_t size = static_cast<int32_t>(pcm.size() - skip);
    if (size <= 0) continue;
    auto block = std::make_unique<TFFSample>(size, passOffset + start, passOffset + FAudioClock);
    std::copy(pcm.begin() + static_cast<ptrdiff_t>(skip), pcm.end(), block->Data.get());
    FAudioPin->QueueSample(std::move(block));
  }
}

}  // namespace vc::preview
