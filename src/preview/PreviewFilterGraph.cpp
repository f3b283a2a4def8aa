#include "preview/PreviewFilterGraph.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

#include "base/Errors.h"
#include "base/Format.h"
#include "media/FilterText.h"

namespace vc::preview {

namespace {

using base::EVelocastError;

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

AVFilterContext* createFilter(AVFilterGraph* graph, const char* filterName, const char* instanceName) {
  const AVFilter* filter = avfilter_get_by_name(filterName);
  AVFilterContext* context = filter ? avfilter_graph_alloc_filter(graph, filter, instanceName) : nullptr;
  if (!context) throw EVelocastError("Can not create filter");
  return context;
}

}  // namespace

void TPreviewFilterGraph::Reset() {
  FSynth.Reset();
  FGraph.reset();
  FSource = nullptr;
  FSink = nullptr;
}

void TPreviewFilterGraph::Build(const TVideoInput& input, const std::string& filterText, int scalerFlags) {
  Reset();
  FInput = input;
  media::TFilterGraphPtr graph(avfilter_graph_alloc());
  if (!graph) throw EVelocastError("Can not create filter");
  graph->scale_sws_opts = av_strdup(base::Format("flags=%d", scalerFlags).c_str());

  AVFilterContext* source = createFilter(graph.get(), "buffer", "src");
  AVFilterContext* sink = createFilter(graph.get(), "buffersink", "out");

  AVBufferSrcParameters* parameters = av_buffersrc_parameters_alloc();
  if (!parameters) throw EVelocastError("Can not init filter");
  parameters->format = input.Format;
  parameters->width = input.Width;
  parameters->height = input.Height;
  parameters->time_base = input.TimeBase;
  parameters->sample_aspect_ratio = input.SampleAspect.num > 0 ? input.SampleAspect : AVRational{1, 1};
  parameters->frame_rate = input.FrameRate;
  const int set = av_buffersrc_parameters_set(source, parameters);
  av_free(parameters);
  if (set < 0 || avfilter_init_str(source, nullptr) < 0) throw EVelocastError("Can not init filter");

  // "synth" items run between sub-graphs; the first ends in the pictures the scripts read.
  const std::string text = blank(filterText) ? std::string() : media::TranslateFilterText(filterText);
  const media::TFilterPlan plan = media::CutSynthStages(text);
  const AVPixelFormat sinkFormats[] = {AV_PIX_FMT_BGRA, AV_PIX_FMT_NONE};
  if (av_opt_set_int_list(sink, "pix_fmts", plan.Scripts.empty() ? sinkFormats : media::kStageFormats, AV_PIX_FMT_NONE,
                          AV_OPT_SEARCH_CHILDREN) < 0 ||
      avfilter_init_str(sink, nullptr) < 0)
    throw EVelocastError("Can not init filter");

  // Pictures marked interlaced go through the deinterlacer; the others pass it unchanged.
  AVFilterContext* head = source;
  if (input.Deinterlace) {
    AVFilterContext* deinterlacer = createFilter(graph.get(), "yadif", "deinterlace");
    if (avfilter_init_str(deinterlacer, "mode=send_frame:parity=auto:deint=interlaced") < 0)
      throw EVelocastError("Can not init filter");
    if (avfilter_link(source, 0, deinterlacer, 0) < 0) throw EVelocastError("line filter failed");
    head = deinterlacer;
  }

  if (!blank(plan.Graphs.front())) {
    media::TFilterInOutPtr outputs(avfilter_inout_alloc());
    media::TFilterInOutPtr inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) throw EVelocastError("Parse Graph Failed");
    outputs->name = av_strdup("in");
    outputs->filter_ctx = head;
    outputs->pad_idx = 0;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink;
    inputs->pad_idx = 0;
    AVFilterInOut* in = inputs.release();
    AVFilterInOut* out = outputs.release();
    const int parsed = avfilter_graph_parse_ptr(graph.get(), plan.Graphs.front().c_str(), &in, &out, nullptr);
    avfilter_inout_free(&in);
    avfilter_inout_free(&out);
    if (parsed < 0) throw EVelocastError("Parse Graph Failed");
  } else if (avfilter_link(head, 0, sink, 0) < 0) {
    throw EVelocastError("line filter failed");
  }
  if (avfilter_graph_config(graph.get(), nullptr) < 0) throw EVelocastError("config graph failed");
  if (FSynth.Build(plan, sink, sinkFormats, {base::Format("flags=%d", scalerFlags), 0}) < 0)
    throw EVelocastError("Parse Graph Failed");
  FGraph = std::move(graph);
  FSource = source;
  FSink = FSynth.Sink();
}

bool TPreviewFilterGraph::Push(AVFrame* frame) {
  if (!FGraph) return false;
  return av_buffersrc_add_frame_flags(FSource, frame, frame ? AV_BUFFERSRC_FLAG_KEEP_REF : 0) >= 0;
}

bool TPreviewFilterGraph::Pull(AVFrame* frame) {
  if (!FGraph) return false;
  if (!FSynth.Empty() && FSynth.Pump() < 0) return false;
  return av_buffersink_get_frame(FSink, frame) >= 0;
}

int TPreviewFilterGraph::OutputWidth() const { return FSink ? av_buffersink_get_w(FSink) : 0; }
int TPreviewFilterGraph::OutputHeight() const { return FSink ? av_buffersink_get_h(FSink) : 0; }
AVRational TPreviewFilterGraph::OutputTimeBase() const {
  return FSink ? av_buffersink_get_time_base(FSink) : FInput.TimeBase;
}

std::vector<std::string> TPreviewFilterGraph::FilterNames() const {
  std::vector<std::string> names;
  if (!FGraph) return names;
  for (unsigned i = 0; i < FGraph->nb_filters; ++i) names.emplace_back(FGraph->filters[i]->name);
  return names;
}

}  // namespace vc::preview
