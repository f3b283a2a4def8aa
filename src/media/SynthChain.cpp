#include "media/SynthChain.h"

#include "base/Format.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace vc::media {

const AVPixelFormat kStageFormats[] = {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_NONE};

int LinkFilterText(AVFilterGraph* graph, const std::string& text, AVFilterContext* from, AVFilterContext* to) {
  if (text.find_first_not_of(" \t\r\n") == std::string::npos) return avfilter_link(from, 0, to, 0);
  TFilterInOutPtr outputs(avfilter_inout_alloc());
  TFilterInOutPtr inputs(avfilter_inout_alloc());
  if (!outputs || !inputs) return AVERROR(ENOMEM);
  outputs->name = av_strdup("in");
  outputs->filter_ctx = from;
  outputs->pad_idx = 0;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = to;
  inputs->pad_idx = 0;
  AVFilterInOut* in = inputs.release();
  AVFilterInOut* out = outputs.release();
  const int rc = avfilter_graph_parse_ptr(graph, text.c_str(), &in, &out, nullptr);
  avfilter_inout_free(&in);
  avfilter_inout_free(&out);
  return rc;
}

void TSynthChain::Reset() {
  FGraphs.clear();
  FStages.clear();
  FFirstSink = nullptr;
}

AVFilterContext* TSynthChain::Sink() const { return FGraphs.empty() ? FFirstSink : FGraphs.back().Sink; }

int TSynthChain::Build(const TFilterPlan& plan, AVFilterContext* firstSink, const AVPixelFormat* lastFormats,
                       const TSubGraphOptions& options) {
  Reset();
  FFirstSink = firstSink;
  if (plan.Scripts.empty()) return 0;
  if (plan.Graphs.size() != plan.Scripts.size() + 1) return AVERROR(EINVAL);
  for (const auto& script : plan.Scripts) {
    if (script.find_first_not_of(" \t\r\n") == std::string::npos) {
      av_log(nullptr, AV_LOG_ERROR, "The synth filter needs a script as its argument\n");
      return AVERROR(EINVAL);
    }
  }
  for (size_t i = 0; i < plan.Scripts.size(); ++i) {
    FStages.push_back(std::make_unique<TSynthStage>(plan.Scripts[i]));
    TSubGraph& sub = FGraphs.emplace_back();
    const bool last = i + 1 == plan.Scripts.size();
    const int rc = buildSubGraph(sub, i == 0 ? firstSink : FGraphs[i - 1].Sink, plan.Graphs[i + 1],
                                 last ? lastFormats : kStageFormats, options);
    if (rc < 0) return rc;
  }
  return 0;
}

// The pictures a stage gives keep the size, format and clock of those it took.
int TSynthChain::buildSubGraph(TSubGraph& sub, AVFilterContext* previousSink, const std::string& text,
                               const AVPixelFormat* formats, const TSubGraphOptions& options) {
  sub.Graph.reset(avfilter_graph_alloc());
  if (!sub.Graph) return AVERROR(ENOMEM);
  AVFilterGraph* graph = sub.Graph.get();
  if (options.Threads > 0) graph->nb_threads = options.Threads;
  if (!options.ScalerOptions.empty()) av_opt_set(graph, "scale_sws_opts", options.ScalerOptions.c_str(), 0);

  AVBufferSrcParameters* parameters = av_buffersrc_parameters_alloc();
  if (!parameters) return AVERROR(ENOMEM);
  parameters->format = av_buffersink_get_format(previousSink);
  parameters->width = av_buffersink_get_w(previousSink);
  parameters->height = av_buffersink_get_h(previousSink);
  parameters->time_base = av_buffersink_get_time_base(previousSink);
  parameters->sample_aspect_ratio = av_buffersink_get_sample_aspect_ratio(previousSink);
  parameters->frame_rate = av_buffersink_get_frame_rate(previousSink);
  sub.Source = avfilter_graph_alloc_filter(graph, avfilter_get_by_name("buffer"), "synth_src");
  int rc = sub.Source ? av_buffersrc_parameters_set(sub.Source, parameters) : AVERROR(ENOMEM);
  av_free(parameters);
  if (rc < 0) return rc;
  if ((rc = avfilter_init_str(sub.Source, nullptr)) < 0) return rc;

  rc = avfilter_graph_create_filter(&sub.Sink, avfilter_get_by_name("buffersink"), "synth_out", nullptr, nullptr, graph);
  if (rc < 0) return rc;
  if (formats && (rc = av_opt_set_int_list(sub.Sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN)) < 0)
    return rc;
  if ((rc = LinkFilterText(graph, text, sub.Source, sub.Sink)) < 0) return rc;
  return avfilter_graph_config(graph, nullptr);
}

int TSynthChain::Pump() {
  AVFrame* picture = FPicture.get();
  for (size_t i = 0; i < FStages.size(); ++i) {
    TSubGraph& to = FGraphs[i];
    AVFilterContext* from = i == 0 ? FFirstSink : FGraphs[i - 1].Sink;
    while (!to.InputEnded) {
      int rc = av_buffersink_get_frame(from, picture);
      if (rc == AVERROR(EAGAIN)) break;
      if (rc == AVERROR_EOF) {
        to.InputEnded = true;
        rc = av_buffersrc_add_frame_flags(to.Source, nullptr, 0);
        if (rc < 0) return rc;
        break;
      }
      if (rc < 0) return rc;
      rc = av_frame_make_writable(picture);
      if (rc >= 0) {
        TSynthStage& stage = *FStages[i];
        const bool firstFailure = stage.LastError().empty();
        // A script that fails leaves the picture as it is; saying so once is enough.
        if (!stage.Process(picture) && firstFailure)
          av_log(nullptr, AV_LOG_WARNING, "synth: %s; the pictures pass unchanged\n", stage.LastError().c_str());
        rc = av_buffersrc_add_frame_flags(to.Source, picture, 0);
      }
      av_frame_unref(picture);
      if (rc < 0) return rc;
    }
  }
  return 0;
}

}  // namespace vc::media
