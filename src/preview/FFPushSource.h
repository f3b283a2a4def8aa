#pragma once
// The preview's decoding source: opens a file or a "stream:" URL with the media libraries, picks
// one video, one audio and one subtitle stream, and runs a decoder thread that turns them into
// BGRA pictures (through a filter graph with the user's filter text), 16-bit PCM and graphic
// subtitles, queued with their times for the video pin and the audio pin. It plays the input a
// set number of times and seeks on request of the graph (ChangeStart).
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "media/AVHandles.h"
#include "media/InputOpener.h"
#include "media/MediaLibrary.h"
#include "preview/AVConfig.h"
#include "preview/AudioConverter.h"
#include "preview/BCPushPinBitmap.h"
#include "preview/BCPushPinWav.h"
#include "preview/BCSourceSeeking.h"
#include "preview/PreviewFilterGraph.h"
#include "preview/ReferenceClock.h"
#include "preview/TimeStampGuesser.h"

namespace vc::preview {

inline constexpr const char* FFPushSourceClassId = "{9610224B-8441-41AE-97D1-8C496F8F5D71}";
inline constexpr const char* AVConfigInterfaceId = "{AEF191A8-F246-49E7-B8BA-8D0693B0D82D}";
inline constexpr const char* FFPushSourceName = "FFMPEG Source Filter";

class TFFPushSource final : public TBCSourceSeeking, public IAVConfig {
 public:
  // Create: holds the media libraries and makes the two pins.
  explicit TFFPushSource(std::string name = FFPushSourceName);
  // Release: ends the pins' threads and the decoder thread, then frees every library resource.
  ~TFFPushSource() override;

  // File source: opens the input and starts the decoder thread. S_OK; E_POINTER without a name;
  // E_FAIL when the input cannot be opened or has neither audio nor video; E_UNEXPECTED on a
  // second Load (a source plays one input in its life). Filter graph errors are thrown.
  TResult Load(const char* fileName, const TMediaType* type);
  TResult GetCurFile(std::string* fileName, TMediaType* type);

  IAVConfig& Config() { return *this; }
  TBCPushPinBitmap& VideoPin() { return *FVideoPin; }
  TBCPushPinWav& AudioPin() { return *FAudioPin; }

  // IAVConfig
  bool HasVideo() override;
  bool HasAudio() override;
  bool HasSubtitle() override;
  void SetVideoFilters(const std::string& text) override;
  void SetDisableAudio(bool disable) override;
  void SetOnBuffer(TFFOnBufferEvent handler) override;
  void SetLoopCount(int32_t count) override;
  void SetOnAudioBuffer(TFFOnAudioBufferEvent handler) override;
  int32_t GetAudioStreamCount() override;
  int32_t GetVideoStreamCount() override;
  int32_t GetSubtitleStreamCount() override;
  int32_t GetVideoWidth() override;
  int32_t GetVideoHeight() override;
  void SetAudioIndex(int32_t index) override;
  void SetVideoIndex(int32_t index) override;
  void SetSubtitleIndex(int32_t index) override;

  // For the pins.
  bool EndOfInput() const { return FEndOfInput; }
  // Between a seek request and the pins' restart nothing may be delivered: it would belong to
  // the old segment or be flushed away.
  bool RestartPending() const { return FRestartPending; }
  void FireOnBuffer(uint8_t* buffer, int32_t width, int32_t height);
  void FireOnAudioBuffer(uint8_t* buffer, int32_t byteCount);

  // The decoder thread is running (Load succeeded and it has not ended).
  bool DecoderRunning() const { return FDecoderThread.joinable() && !FDecoderEnded; }
  // Names of the filter instances in the current video filter graph ("src", "out", ...).
  std::vector<std::string> VideoFilterNames();
  // Input duration of one pass, 100-ns units (0 when the input does not say).
  int64_t InputDuration() const { return FInputDuration; }

 protected:
  TResult ChangeStart() override;
  TResult ChangeStop() override { return TResult::S_OK; }
  TResult ChangeRate() override { return TResult::S_OK; }

 private:
  enum class TKind { Video, Audio, Subtitle };

  // Streams and decoders (under FDecodeLock).
  void openStream(TKind kind);
  void closeStream(TKind kind);
  void buildVideoGraph();
  int streamIndex(TKind kind) const;
  AVStream* stream(TKind kind) const;
  double streamSeconds(int64_t stamp, AVRational timeBase) const;
  TMediaType videoMediaType();

  // The decoder thread (FFDecoderThread.cpp).
  void decoderThread();
  bool queuesFull();
  bool decodeNextPacket();  // false: the input has nothing for now
  void endOfPass();
  void performSeek(bool requested);
  void decodeVideo(const AVPacket* packet, double passOffset);
  void receiveVideoFrames(double passOffset);
  void drainVideoGraph(double passOffset);
  void decodeSubtitle(const AVPacket* packet, double passOffset);
  void decodeAudio(const AVPacket* packet, double passOffset);
  void receiveAudioFrames(double passOffset);
  void reportDecoderError(const std::string& text);

  media::TMediaLibraryUse FLibraries;  // first member: held until everything else is gone

  std::unique_ptr<TBCPushPinBitmap> FVideoPin;
  std::unique_ptr<TBCPushPinWav> FAudioPin;

  // Guarded by FDecodeLock: one packet's reading and decoding, stream switches, the filter text.
  std::mutex FDecodeLock;
  media::TOpenedInput FInput;
  std::vector<int> FVideoList, FAudioList, FSubtitleList;  // the library's stream indexes
  std::atomic<int32_t> FVideoChoice = -1, FAudioChoice = -1, FSubtitleChoice = -1;
  media::TCodecContextPtr FVideoDecoder, FAudioDecoder, FSubtitleDecoder;
  TS16Converter FAudioConverter;
  TPreviewFilterGraph FVideoGraph;
  TVideoInput FPictureInput;  // what the decoded pictures look like: the graph is built for it
  TTimeStampGuesser FGuesser;
  std::string FVideoFilters;
  const int32_t FScalerFlags = 4;  // bicubic
  std::atomic<bool> FDisableAudio = false;
  std::atomic<int32_t> FLoopCount = 1;
  int32_t FLoopIndex = 0;
  int64_t FInputDuration = 0;  // one pass, 100 ns
  int64_t FStartTime = 0;      // the container's start time, microseconds
  double FVideoClock = 0;      // seconds within one pass: start of the next picture
  double FAudioClock = 0;      // seconds within one pass: time of the next audio byte
  double FFrameDuration = 0.04;   // seconds of one picture
  int64_t FVideoSkipUntil = -1;   // after a seek: pictures ending at or before this are dropped (100 ns, in the pass)
  int64_t FAudioSkipUntil = -1;   // after a seek: sound before this is cut away (100 ns, in the pass)
  std::string FLastDecoderError;  // shown once, not for every picture

  std::atomic<int32_t> FVideoWidth = 0, FVideoHeight = 0;  // at the sink of the graph, else the decoder's

  std::mutex FEventLock;
  TFFOnBufferEvent FOnBuffer;
  TFFOnAudioBufferEvent FOnAudioBuffer;

  std::atomic<bool> FTerminate = false;
  std::atomic<bool> FSeekRequest = false;
  std::atomic<bool> FRestartPending = false;
  std::atomic<bool> FEndOfInput = false;
  std::atomic<bool> FDecoderEnded = false;
  std::string FFileName;
  TMediaType FMediaType;
  std::thread FDecoderThread;
};

}  // namespace vc::preview
