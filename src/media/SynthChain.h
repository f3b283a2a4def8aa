#pragma once
// Runs the "synth" stages of a filter plan (FilterPlan.h) behind the caller's first libavfilter
// sub-graph: each stage takes the pictures of the sub-graph before it, runs its script on them
// and feeds them to a sub-graph of its own, built here, that ends in the next stage or in the
// last sink. The caller builds and feeds its first sub-graph as before, ending it in a sink
// limited to kStageFormats (the library then converts to planar 4:2:0 where needed), and pulls
// the filtered pictures from Sink().
#include <memory>
#include <string>
#include <vector>

#include "media/AVHandles.h"
#include "media/FilterPlan.h"
#include "media/SynthStage.h"

namespace vc::media {

// Pixel formats a sub-graph ends in when a stage follows it (AV_PIX_FMT_NONE-terminated).
extern const AVPixelFormat kStageFormats[];

struct TSubGraphOptions {
  std::string ScalerOptions;  // the graph's scale_sws_opts ("flags=..."); empty for the default
  int Threads = 0;            // 0 for the library's choice
};

class TSynthChain final {
 public:
  TSynthChain() = default;
  TSynthChain(const TSynthChain&) = delete;
  TSynthChain& operator=(const TSynthChain&) = delete;

  // Builds the stages for plan.Scripts and the sub-graphs for plan.Graphs[1..] behind firstSink,
  // the configured sink of the caller's sub-graph. lastFormats limits the last sink
  // (AV_PIX_FMT_NONE-terminated; null takes any). Returns 0 or a negative library error; a
  // "synth" without a script logs why and gives AVERROR(EINVAL). Throws EVelocastError("Can
  // not load <file>") when the script library is missing. Without scripts nothing is built.
  int Build(const TFilterPlan& plan, AVFilterContext* firstSink, const AVPixelFormat* lastFormats,
            const TSubGraphOptions& options);
  void Reset();
  bool Empty() const { return FStages.empty(); }
  // The sink the filtered pictures come from: the last sub-graph's, or firstSink without stages.
  AVFilterContext* Sink() const;

  // Moves every picture waiting in a sub-graph's sink through the next stage into the next
  // sub-graph, and the end of the pictures likewise. Returns 0 or a negative library error.
  int Pump();

 private:
  struct TSubGraph {
    TFilterGraphPtr Graph;
    AVFilterContext* Source = nullptr;  // owned by Graph
    AVFilterContext* Sink = nullptr;    // owned by Graph
    bool InputEnded = false;
  };
  int buildSubGraph(TSubGraph& sub, AVFilterContext* previousSink, const std::string& text,
                    const AVPixelFormat* formats, const TSubGraphOptions& options);

  AVFilterContext* FFirstSink = nullptr;
  std::vector<std::unique_ptr<TSynthStage>> FStages;  // FStages[i] feeds FGraphs[i]
  std::vector<TSubGraph> FGraphs;
  TFramePtr FPicture = MakeFrame();
};

// Links text between from (output pad 0) and to (input pad 0) in graph, as the engine and the
// preview link the user's filter text: "in" names from, "out" names to; an empty text links them
// directly.
int LinkFilterText(AVFilterGraph* graph, const std::string& text, AVFilterContext* from, AVFilterContext* to);

}  // namespace vc::media
