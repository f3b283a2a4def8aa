#include "engine/VideoPath.h"

#include <cmath>
#include <functional>

#include "base/Format.h"

#include "media/FilterText.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

namespace vc::engine {

using base::Format;

int VideoFrameCopies(double syncTime, int64_t& syncOpts, int syncMethod, bool variableRateFormat) {
  if (syncMethod == 0) {
    syncOpts = std::llround(syncTime);
    return 1;
  }
  const double delta = syncTime - static_cast<double>(syncOpts);
  if (delta < -1.1) return 0;
  if (syncMethod == 2 || (syncMethod == -1 && variableRateFormat)) {
    if (delta <= -0.6) return 0;
    if (delta > 0.6) syncOpts = std::llround(syncTime);
    return 1;
  }
  if (delta > 1.1) return static_cast<int>(std::llround(delta));
  return 1;
}

// The stored filter texts were written for an older filter library; the translation to today's
// syntax happens here, at the one place where the text becomes a graph.
std::string FilterGraphText(const std::string& stored, const std::function<void(const std::string&)>& log) {
  return media::TranslateFilterText(stored, log);
}

namespace {

const AVRational microseconds{1, AV_TIME_BASE};

// Links a to b and returns b, or nullptr after a failure stored in rc.
AVFilterContext* linkTo(AVFilterContext* a, AVFilterContext* b, int& rc) {
  if (rc < 0) return nullptr;
  rc = avfilter_link(a, 0, b, 0);
  return rc < 0 ? nullptr : b;
}

}  // namespace

// With "synth" items in the filter text, the graph built here ends before the first of them, in
// planar 4:2:0; the script stages and the sub-graphs after them run behind it (SynthChain.h).
int TVideoPath::Build(const TVideoInput& input, const TVideoGraphSettings& settings,
                      const std::function<void()>& deinterlaceFailed) {
  FInput = input;
  FSettings = settings;
  FResample = input.Width != settings.Width || input.Height != settings.Height || input.Format != settings.Format;
  FSynth.Reset();
  FGraph.reset(avfilter_graph_alloc());
  if (!FGraph) return AVERROR(ENOMEM);
  AVFilterGraph* graph = FGraph.get();
  graph->nb_threads = settings.Threads;
  const media::TFilterPlan plan = media::CutSynthStages(settings.Filters);

  const AVRational aspect = input.SampleAspect.num ? input.SampleAspect : AVRational{0, 1};
  const std::string sourceArgs = Format("video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                                        input.Width, input.Height, input.Format, microseconds.num, microseconds.den,
                                        aspect.num, aspect.den ? aspect.den : 1);
  int rc = avfilter_graph_create_filter(&FSource, avfilter_get_by_name("buffer"), "src", sourceArgs.c_str(), nullptr, graph);
  if (rc < 0) return rc;
  rc = avfilter_graph_create_filter(&FSink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph);
  if (rc < 0) return rc;
  const AVPixelFormat formats[] = {settings.Format, AV_PIX_FMT_NONE};
  rc = av_opt_set_int_list(FSink, "pix_fmts", plan.Scripts.empty() ? formats : media::kStageFormats, AV_PIX_FMT_NONE,
                           AV_OPT_SEARCH_CHILDREN);
  if (rc < 0) return rc;

  AVFilterContext* last = FSource;
  if (settings.Deinterlace) {
    AVFilterContext* deinterlacer = nullptr;
    if (avfilter_graph_create_filter(&deinterlacer, avfilter_get_by_name("yadif"), "deinterlace", nullptr, nullptr,
                                     graph) < 0) {
      deinterlaceFailed();
    } else {
      last = linkTo(last, deinterlacer, rc);
      if (rc < 0) return rc;
    }
  }
  if (input.Width != settings.Width || input.Height != settings.Height) {
    AVFilterContext* scaler = nullptr;
    const std::string scaleArgs = Format("%d:%d:flags=0x%X", settings.Width, settings.Height, settings.ScalerFlags);
    rc = avfilter_graph_create_filter(&scaler, avfilter_get_by_name("scale"), "scale", scaleArgs.c_str(), nullptr, graph);
    if (rc < 0) return rc;
    last = linkTo(last, scaler, rc);
    if (rc < 0) return rc;
  }
  const std::string scalerOptions = Format("flags=0x%X", settings.ScalerFlags);
  av_opt_set(graph, "scale_sws_opts", scalerOptions.c_str(), 0);

  rc = media::LinkFilterText(graph, plan.Graphs.front(), last, FSink);
  if (rc < 0) return rc;
  rc = avfilter_graph_config(graph, nullptr);
  if (rc < 0 || plan.Scripts.empty()) return rc;
  rc = FSynth.Build(plan, FSink, formats, {scalerOptions, settings.Threads});
  if (rc < 0) return rc;
  FSink = FSynth.Sink();
  return 0;
}

int TVideoPath::Rebuild(const TVideoInput& input, int width, int height) {
  TVideoGraphSettings settings = FSettings;
  settings.Width = width;
  settings.Height = height;
  return Build(input, settings, [] {});
}

int TVideoPath::OutputWidth() const { return av_buffersink_get_w(FSink); }
int TVideoPath::OutputHeight() const { return av_buffersink_get_h(FSink); }
AVRational TVideoPath::OutputSampleAspect() const { return av_buffersink_get_sample_aspect_ratio(FSink); }

int TVideoPath::Push(AVFrame* frame) {
  return av_buffersrc_add_frame_flags(FSource, frame, frame ? AV_BUFFERSRC_FLAG_KEEP_REF : 0);
}

int TVideoPath::Pull(AVFrame* frame) {
  if (!FSynth.Empty()) {
    const int pumped = FSynth.Pump();
    if (pumped < 0) return pumped;
  }
  const int rc = av_buffersink_get_frame(FSink, frame);
  if (rc < 0) return rc;
  if (frame->pts != AV_NOPTS_VALUE) frame->pts = av_rescale_q(frame->pts, av_buffersink_get_time_base(FSink), microseconds);
  return 0;
}

}  // namespace vc::engine
