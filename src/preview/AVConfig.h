#pragma once
// The configuration interface of the decoding source, as the player uses it: streams, the video
// filter text, audio on or off, looping and the per-buffer callbacks.
#include <cstdint>
#include <functional>
#include <string>

namespace vc::preview {

class TFFPushSource;

// Every picture before it is delivered: videoWidth x videoHeight BGRA pixels, rows top first,
// each row right after the previous one.
using TFFOnBufferEvent =
    std::function<void(TFFPushSource* sender, uint8_t* buffer, int32_t videoWidth, int32_t videoHeight)>;
// Every sound block before it is delivered: byteCount bytes of interleaved signed 16-bit PCM.
using TFFOnAudioBufferEvent = std::function<void(TFFPushSource* sender, uint8_t* buffer, int32_t byteCount)>;

class IAVConfig {
 public:
  virtual ~IAVConfig() = default;
  virtual bool HasVideo() = 0;
  virtual bool HasAudio() = 0;
  virtual bool HasSubtitle() = 0;
  // Stores the text; once playing, rebuilds the video filter graph at once. Throws
  // EVelocastError with the filter graph's message when the text cannot be built.
  virtual void SetVideoFilters(const std::string& text) = 0;
  virtual void SetDisableAudio(bool disable) = 0;  // takes effect at the next Load
  virtual void SetOnBuffer(TFFOnBufferEvent handler) = 0;
  // Throws EVelocastError("Loop count must be larger than 0") for count <= 0.
  virtual void SetLoopCount(int32_t count) = 0;
  virtual void SetOnAudioBuffer(TFFOnAudioBufferEvent handler) = 0;
  virtual int32_t GetAudioStreamCount() = 0;
  virtual int32_t GetVideoStreamCount() = 0;
  virtual int32_t GetSubtitleStreamCount() = 0;
  virtual int32_t GetVideoWidth() = 0;   // pixels; 0 without video
  virtual int32_t GetVideoHeight() = 0;  // pixels; 0 without video
  // Positions in the lists of that kind's streams.
  virtual void SetAudioIndex(int32_t index) = 0;
  virtual void SetVideoIndex(int32_t index) = 0;
  virtual void SetSubtitleIndex(int32_t index) = 0;
};

}  // namespace vc::preview
