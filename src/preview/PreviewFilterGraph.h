#pragma once
// The preview's video filter graph: a buffer source "src" fed with decoded pictures, an optional
// deinterlacer for bottom-field-first pictures, the user's filter text (translated to today's
// syntax), and a buffer sink "out" that only takes BGRA, so the library inserts the one
// conversion the renderer needs.
#include <string>
#include <vector>

#include "media/AVHandles.h"
#include "media/SynthChain.h"

namespace vc::preview {

struct TVideoInput {
  int Width = 0;   // pixels
  int Height = 0;  // pixels
  AVPixelFormat Format = AV_PIX_FMT_NONE;
  AVRational TimeBase{1, 25};    // of the pictures' stamps (the stream's)
  AVRational SampleAspect{0, 1};
  AVRational FrameRate{0, 1};
  bool Deinterlace = false;      // pictures marked interlaced are deinterlaced first
};

class TPreviewFilterGraph final {
 public:
  TPreviewFilterGraph() = default;
  TPreviewFilterGraph(const TPreviewFilterGraph&) = delete;
  TPreviewFilterGraph& operator=(const TPreviewFilterGraph&) = delete;

  // Destroys the previous graph and builds a new one. Throws EVelocastError: "Can not create
  // filter", "Can not init filter", "Parse Graph Failed", "line filter failed", "config graph
  // failed", or the filter-text translation's "Error opening filters!"; a "synth" item without
  // its script fails as "Parse Graph Failed", and one without the script library as "Can not
  // load <file>". scalerFlags go into the graph as "flags=%d".
  void Build(const TVideoInput& input, const std::string& filterText, int scalerFlags);
  void Reset();
  bool Built() const { return FGraph != nullptr; }
  const TVideoInput& Input() const { return FInput; }

  // Feeds one picture (nullptr: the input has ended, the graph gives out what it still holds).
  bool Push(AVFrame* frame);
  // Takes the next filtered picture; false when none is ready.
  bool Pull(AVFrame* frame);

  int OutputWidth() const;
  int OutputHeight() const;
  AVRational OutputTimeBase() const;
  std::vector<std::string> FilterNames() const;

 private:
  TVideoInput FInput;
  media::TFilterGraphPtr FGraph;
  AVFilterContext* FSource = nullptr;  // owned by FGraph
  AVFilterContext* FSink = nullptr;    // the last sub-graph's sink: FGraph's, or FSynth's last
  media::TSynthChain FSynth;           // "synth" stages of the filter text and the sub-graphs after them
};

}  // namespace vc::preview
