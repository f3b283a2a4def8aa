#include "preview/FFPushSource.h"

#include <chrono>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "base/Errors.h"
#include "base/Prompts.h"
#include "preview/BaseRenderer.h"

namespace vc::preview {

namespace {
constexpr auto kSeekPoll = std::chrono::milliseconds(10);
}  // namespace

TFFPushSource::TFFPushSource(std::string name)
    : TBCSourceSeeking(std::move(name)),
      FVideoPin(std::make_unique<TBCPushPinBitmap>(*this)),
      FAudioPin(std::make_unique<TBCPushPinWav>(*this)) {
  AddPin(FVideoPin.get());
  AddPin(FAudioPin.get());
}

TFFPushSource::~TFFPushSource() {
  // The delivery threads first: they read the queues the decoder fills.
  StopForRelease();
  if (FDecoderThread.joinable()) {
    {
      std::lock_guard lock(SeekingLock());
      FTerminate = true;
    }
    FDecoderThread.join();
  }
  FVideoPin->Disconnect();
  FAudioPin->Disconnect();
}

// ---- File source ----

TResult TFFPushSource::Load(const char* fileName, const TMediaType* type) {
  if (!fileName) return TResult::E_POINTER;
  std::lock_guard decode(FDecodeLock);
  std::lock_guard seeking(SeekingLock());
  if (FInput.Context || FDecoderThread.joinable()) return TResult::E_UNEXPECTED;
  const std::string name = fileName;
  TMediaType mediaType;
  if (type) {
    mediaType = *type;
  } else {
    mediaType.Major = TMajorType::Stream;
    mediaType.Sub = TSubType::None;
  }

  try {
    if (media::OpenInput(FInput, name, nullptr, nullptr) < 0) return TResult::E_FAIL;
  } catch (const base::EVelocastError&) {
    return TResult::E_FAIL;  // a "stream:" URL that names no stream object
  }
  AVFormatContext* context = FInput.Context.get();
  if (avformat_find_stream_info(context, nullptr) < 0) {
    FInput = {};
    return TResult::E_FAIL;
  }
  if (context->pb) context->pb->eof_reached = 0;

  for (unsigned i = 0; i < context->nb_streams; ++i) {
    switch (context->streams[i]->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO: FVideoList.push_back(static_cast<int>(i)); break;
      case AVMEDIA_TYPE_AUDIO:
        if (!FDisableAudio) FAudioList.push_back(static_cast<int>(i));
        break;
      case AVMEDIA_TYPE_SUBTITLE: FSubtitleList.push_back(static_cast<int>(i)); break;
      default: break;
    }
  }
  FVideoChoice = FVideoList.empty() ? -1 : 0;
  FAudioChoice = FAudioList.empty() ? -1 : 0;
  FSubtitleChoice = FSubtitleList.empty() ? -1 : 0;
  if (FVideoChoice == -1 && FAudioChoice == -1) {
    FInput = {};
    FVideoList.clear();
    FAudioList.clear();
    FSubtitleList.clear();
    FSubtitleChoice = -1;
    return TResult::E_FAIL;
  }
  FStartTime = context->start_time == AV_NOPTS_VALUE ? 0 : context->start_time;
  if (FVideoChoice != -1) {
    openStream(TKind::Video);
    if (FSubtitleChoice != -1) openStream(TKind::Subtitle);
  }
  if (FAudioChoice != -1) openStream(TKind::Audio);

  FInputDuration = context->duration > 0 ? context->duration * 10 : 0;
  if (FInputDuration > 0) FDuration = FInputDuration * FLoopCount;
  FStop = FStart + FDuration;

  FFileName = name;
  FMediaType = mediaType;
  FMediaType.TemporalCompression = true;
  FMediaType.SampleSize = 1;
  FCurrentFileMediaType = FMediaType;
  FDecoderThread = std::thread([this] { decoderThread(); });
  return TResult::S_OK;
}

TResult TFFPushSource::GetCurFile(std::string* fileName, TMediaType* type) {
  if (!fileName) return TResult::E_POINTER;
  std::lock_guard decode(FDecodeLock);
  *fileName = FFileName;
  if (type) *type = FMediaType;
  return TResult::S_OK;
}

// ---- Streams ----

int TFFPushSource::streamIndex(TKind kind) const {
  switch (kind) {
    case TKind::Video: return FVideoChoice >= 0 ? FVideoList[static_cast<size_t>(FVideoChoice.load())] : -1;
    case TKind::Audio: return FAudioChoice >= 0 ? FAudioList[static_cast<size_t>(FAudioChoice.load())] : -1;
    case TKind::Subtitle:
      return FSubtitleChoice >= 0 ? FSubtitleList[static_cast<size_t>(FSubtitleChoice.load())] : -1;
  }
  return -1;
}

AVStream* TFFPushSource::stream(TKind kind) const {
  const int index = streamIndex(kind);
  return index >= 0 ? FInput.Context->streams[index] : nullptr;
}

double TFFPushSource::streamSeconds(int64_t stamp, AVRational timeBase) const {
  return av_q2d(timeBase) * static_cast<double>(stamp) - static_cast<double>(FStartTime) / AV_TIME_BASE;
}

void TFFPushSource::openStream(TKind kind) {
  AVStream* st = stream(kind);
  if (!st) return;
  // Without a decoder, or when it cannot be opened, the stream stays chosen and its packets are
  // skipped.
  const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
  if (!codec) return;
  media::TCodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), st->codecpar) < 0) return;
  decoder->pkt_timebase = st->time_base;
  decoder->workaround_bugs = 1;
  decoder->lowres = 0;
  decoder->err_recognition = AV_EF_CAREFUL;
  decoder->error_concealment = 3;
  decoder->thread_count = 1;
  if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return;
  st->discard = AVDISCARD_DEFAULT;
  switch (kind) {
    case TKind::Audio:
      FAudioConverter.Reset();
      FAudioPin->SetAudioFormat(PreviewChannels(decoder->ch_layout.nb_channels), 16, decoder->sample_rate);
      FAudioDecoder = std::move(decoder);
      break;
    case TKind::Video: {
      FVideoDecoder = std::move(decoder);
      const AVRational rate = av_guess_frame_rate(FInput.Context.get(), st, nullptr);
      FFrameDuration = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
      FVideoWidth = FVideoDecoder->width;
      FVideoHeight = FVideoDecoder->height;
      FPictureInput = TVideoInput{};
      FPictureInput.Width = FVideoDecoder->width;
      FPictureInput.Height = FVideoDecoder->height;
      FPictureInput.Format = FVideoDecoder->pix_fmt;
      FPictureInput.TimeBase = st->time_base;
      FPictureInput.SampleAspect = FVideoDecoder->sample_aspect_ratio;
      FPictureInput.FrameRate = rate;
      buildVideoGraph();
      break;
    }
    case TKind::Subtitle: FSubtitleDecoder = std::move(decoder); break;
  }
}

void TFFPushSource::closeStream(TKind kind) {
  switch (kind) {
    case TKind::Audio:
      FAudioConverter.Reset();
      FAudioDecoder.reset();
      break;
    case TKind::Video:
      FVideoGraph.Reset();
      FVideoDecoder.reset();
      break;
    case TKind::Subtitle: FSubtitleDecoder.reset(); break;
  }
}

// Builds the graph for the pictures as they were last seen (the decoder's view until the first
// picture is decoded).
void TFFPushSource::buildVideoGraph() {
  FVideoGraph.Reset();
  if (!FVideoDecoder) return;
  // Some decoders only know the picture format once they have decoded a picture.
  if (FPictureInput.Width <= 0 || FPictureInput.Height <= 0 || FPictureInput.Format == AV_PIX_FMT_NONE) return;
  FVideoGraph.Build(FPictureInput, FVideoFilters, FScalerFlags);
  FVideoWidth = FVideoGraph.OutputWidth();
  FVideoHeight = FVideoGraph.OutputHeight();
}

TMediaType TFFPushSource::videoMediaType() {
  TMediaType type;
  FVideoPin->GetMediaType(0, &type);
  return type;
}

std::vector<std::string> TFFPushSource::VideoFilterNames() {
  std::lock_guard decode(FDecodeLock);
  return FVideoGraph.FilterNames();
}

// ---- IAVConfig ----

bool TFFPushSource::HasVideo() { return FVideoChoice != -1; }
bool TFFPushSource::HasAudio() { return FAudioChoice != -1 && !FDisableAudio; }
bool TFFPushSource::HasSubtitle() { return FSubtitleChoice != -1; }

void TFFPushSource::SetVideoFilters(const std::string& text) {
  std::lock_guard decode(FDecodeLock);
  FVideoFilters = text;
  if (!FDecoderThread.joinable() || !HasVideo()) return;
  FVideoPin->Clear();
  buildVideoGraph();
  if (FVideoPin->IsConnected()) FVideoPin->Renegotiate(videoMediaType());
}

void TFFPushSource::SetDisableAudio(bool disable) { FDisableAudio = disable; }

void TFFPushSource::SetOnBuffer(TFFOnBufferEvent handler) {
  std::lock_guard lock(FEventLock);
  FOnBuffer = std::move(handler);
}

void TFFPushSource::SetLoopCount(int32_t count) {
  if (count <= 0) throw base::EVelocastError("Loop count must be larger than 0");
  FLoopCount = count;
}

void TFFPushSource::SetOnAudioBuffer(TFFOnAudioBufferEvent handler) {
  std::lock_guard lock(FEventLock);
  FOnAudioBuffer = std::move(handler);
}

void TFFPushSource::FireOnBuffer(uint8_t* buffer, int32_t width, int32_t height) {
  TFFOnBufferEvent handler;
  {
    std::lock_guard lock(FEventLock);
    handler = FOnBuffer;
  }
  if (handler) handler(this, buffer, width, height);
}

void TFFPushSource::FireOnAudioBuffer(uint8_t* buffer, int32_t byteCount) {
  TFFOnAudioBufferEvent handler;
  {
    std::lock_guard lock(FEventLock);
    handler = FOnAudioBuffer;
  }
  if (handler) handler(this, buffer, byteCount);
}

int32_t TFFPushSource::GetAudioStreamCount() { return static_cast<int32_t>(FAudioList.size()); }
int32_t TFFPushSource::GetVideoStreamCount() { return static_cast<int32_t>(FVideoList.size()); }
int32_t TFFPushSource::GetSubtitleStreamCount() { return static_cast<int32_t>(FSubtitleList.size()); }
int32_t TFFPushSource::GetVideoWidth() { return HasVideo() ? FVideoWidth.load() : 0; }
int32_t TFFPushSource::GetVideoHeight() { return HasVideo() ? FVideoHeight.load() : 0; }

// Stream switches take effect while the decoder thread runs; before Load there is nothing to
// switch. A kind the file does not have cannot be switched (the index check fails first).
void TFFPushSource::SetAudioIndex(int32_t index) {
  if (index == FAudioChoice) return;
  VC_ASSERT(index >= 0 && index < static_cast<int32_t>(FAudioList.size()));
  std::lock_guard decode(FDecodeLock);
  if (!FDecoderThread.joinable()) return;
  FAudioChoice = index;
  FAudioPin->Clear();
  closeStream(TKind::Audio);
  openStream(TKind::Audio);
  if (FAudioPin->IsConnected() && HasAudio()) {
    TMediaType type;
    if (FAudioPin->GetMediaType(0, &type) == TResult::S_OK) FAudioPin->Renegotiate(type);
  }
}

void TFFPushSource::SetVideoIndex(int32_t index) {
  if (index == FVideoChoice) return;
  VC_ASSERT(index >= 0 && index < static_cast<int32_t>(FVideoList.size()));
  std::lock_guard decode(FDecodeLock);
  if (!FDecoderThread.joinable()) return;
  FVideoChoice = index;
  FVideoPin->Clear();
  closeStream(TKind::Video);
  FGuesser.Reset();
  openStream(TKind::Video);
  if (FVideoPin->IsConnected()) FVideoPin->Renegotiate(videoMediaType());
}

void TFFPushSource::SetSubtitleIndex(int32_t index) {
  if (index == FSubtitleChoice) return;
  VC_ASSERT(index >= 0 && index < static_cast<int32_t>(FSubtitleList.size()));
  std::lock_guard decode(FDecodeLock);
  if (!FDecoderThread.joinable()) return;
  FSubtitleChoice = index;
  FVideoPin->ClearSubtitles();
  closeStream(TKind::Subtitle);
  openStream(TKind::Subtitle);
}

// ---- Seeking ----

TResult TFFPushSource::ChangeStart() {
  if (!DecoderRunning()) return TResult::S_OK;  // Load seeks to the start when it begins
  {
    std::lock_guard lock(SeekingLock());
    FRestartPending = true;
    FSeekRequest = true;
  }
  while (FSeekRequest && !FDecoderEnded) std::this_thread::sleep_for(kSeekPoll);
  for (TBCPushPin* pin : {static_cast<TBCPushPin*>(FVideoPin.get()), static_cast<TBCPushPin*>(FAudioPin.get())}) {
    if (!pin->ThreadExists()) continue;
    pin->DeliverBeginFlush();
    pin->CallWorker(TSourceStreamPin::TCommand::Stop);
    pin->DeliverEndFlush();
    pin->CallWorker(TSourceStreamPin::TCommand::Run);
  }
  FRestartPending = false;
  FVideoPin->Poke();
  FAudioPin->Poke();
  return FDecoderEnded ? TResult::E_FAIL : TResult::S_OK;
}

}  // namespace vc::preview
