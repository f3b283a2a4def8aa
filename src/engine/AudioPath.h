#pragma once
// The audio path of one re-encoded output stream: keeps the output in step with the input clock
// (trim, pad with silence, or stretch through the resampler's compensation), converts channel
// layout, rate and sample format with libswresample, and cuts the samples into the encoder's frame
// size through a FIFO.
#include <cstdint>
#include <vector>

#include "media/AVHandles.h"

namespace vc::engine {

struct TOutputStream;
struct TInputStream;

struct TAudioSyncSettings {
  int Method = 0;                   // 0 none, 1 pad/trim, >=2 also stretch by at most this many samples
  double DriftThreshold = 0.1;      // s
  int64_t RecordingTime = INT64_MAX;  // µs; the maximum means no limit
};

class TAudioPath final {
 public:
  TAudioPath(TOutputStream& output, const TAudioSyncSettings& settings);
  ~TAudioPath();
  TAudioPath(const TAudioPath&) = delete;
  TAudioPath& operator=(const TAudioPath&) = delete;

  // One decoded block; syncPts is the sync input's clock in µs at the block's first sample.
  // input is the stream the block came from (its start flag is kept there).
  void Out(const AVFrame* frame, int64_t syncPts, TInputStream& input);
  // At the end: what the resampler holds, a short last frame where the encoder takes one, and the
  // encoder's own delay.
  void Flush();

 private:
  void prepareConverter(const AVFrame* frame);
  // Appends count output-format samples (planes as swr gives them) to the FIFO, within the limit.
  void appendConverted(uint8_t** data, int count);
  // Converts count input samples starting at offset (nullptr data: silence) and appends them.
  void convertAndAppend(const AVFrame* frame, int offset, int count);
  void appendSilence(const AVFrame* frame, int count);
  void encodeFromFifo(bool flushing);
  void encodeSamples(int count);
  void ensureConvertBuffer(int samples);
  void ensureEncodeFrame(int samples);
  double bufferedSamples() const;

  TOutputStream& FOutput;
  AVCodecContext* FEncoder;
  TAudioSyncSettings FSettings;
  media::TSwrPtr FResampler;       // none when the input already is in the encoder's format
  bool FConverterReady = false;
  int FInFormat = -1;
  int FInRate = 0;
  AVChannelLayout FInLayout{};
  media::TAudioFifoPtr FFifo;
  uint8_t** FConvert = nullptr;    // resampler output, grown as needed
  int FConvertCapacity = 0;        // samples
  int FConvertLinesize = 0;
  media::TFramePtr FEncodeFrame;   // reused frame handed to the encoder
  int FEncodeCapacity = 0;         // samples
  int64_t FLimit = INT64_MAX;      // samples the recording time allows
  int64_t FLastPts = INT64_MIN;    // encoder ticks of the last frame sent
  int FLastSamples = 0;
  media::TFramePtr FSilence;       // input-format silence for padding
  std::vector<const uint8_t*> FPlanes;  // input planes at an offset
};

}  // namespace vc::engine
