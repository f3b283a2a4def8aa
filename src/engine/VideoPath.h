#pragma once
// The video path of one re-encoded output stream: a filter graph from the decoded pictures to the
// encoder's pixel format and size (buffer source with a microsecond clock, deinterlacer, scaler,
// the user's filter chain, a sink restricted to the encoder's pixel format), and the frame-rate
// rule that decides how often each filtered picture is encoded.
#include <cstdint>
#include <functional>
#include <string>

#include "media/AVHandles.h"
#include "media/SynthChain.h"

namespace vc::engine {

// How many times a picture at syncTime (in encoder ticks) is encoded, given the output clock
// syncOpts (encoder ticks), which the rule may move. Methods: -1 automatic, 0 pass through,
// 1 duplicate and drop to a constant rate, 2 drop only (variable rate).
int VideoFrameCopies(double syncTime, int64_t& syncOpts, int syncMethod, bool variableRateFormat);

// The libavfilter text for the stored VideoFilters text; a text that cannot be read throws
// "Error opening filters!" after one line to log saying why.
std::string FilterGraphText(const std::string& stored, const std::function<void(const std::string&)>& log);

struct TVideoInput {
  int Width = 0;
  int Height = 0;
  AVPixelFormat Format = AV_PIX_FMT_NONE;
  AVRational SampleAspect{0, 1};
};

struct TVideoGraphSettings {
  int Width = 0;   // the encoder's size
  int Height = 0;
  AVPixelFormat Format = AV_PIX_FMT_NONE;  // the encoder's pixel format
  int ScalerFlags = 0;
  std::string Filters;  // user's filter chain, libavfilter text
  bool Deinterlace = false;
  int Threads = 1;
};

class TVideoPath final {
 public:
  // Builds the graph; returns 0 or a negative library error. A deinterlacer that cannot be made
  // calls deinterlaceFailed and the graph goes on without it.
  int Build(const TVideoInput& input, const TVideoGraphSettings& settings, const std::function<void()>& deinterlaceFailed);
  // Builds the graph again for pictures of another size or format, keeping the output.
  int Rebuild(const TVideoInput& input, int width, int height);
  const TVideoInput& Input() const { return FInput; }
  // True when the scaler fits whatever size comes in (sizes or formats differ from the encoder's).
  bool Resample() const { return FResample; }
  int OutputWidth() const;
  int OutputHeight() const;
  AVRational OutputSampleAspect() const;

  // A picture (pts in µs), or nullptr at the end. Returns a negative library error on failure.
  int Push(AVFrame* frame);
  // The next filtered picture with its pts in µs: 0, AVERROR(EAGAIN) or AVERROR_EOF.
  int Pull(AVFrame* frame);

 private:
  TVideoInput FInput;
  TVideoGraphSettings FSettings;
  bool FResample = false;
  media::TFilterGraphPtr FGraph;
  AVFilterContext* FSource = nullptr;
  AVFilterContext* FSink = nullptr;  // where the filtered pictures come from (the last sub-graph's sink)
  media::TSynthChain FSynth;         // the "synth" stages and the sub-graphs behind them
};

}  // namespace vc::engine
