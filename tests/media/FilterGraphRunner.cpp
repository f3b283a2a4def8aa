#include "media/FilterGraphRunner.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include "media/AVHandles.h"

namespace vc::test {

using namespace vc::media;

namespace {

void check(int code, const std::string& step) {
  if (code < 0) throw std::runtime_error(step + ": " + ErrorText(code));
}

TFramePtr toYuvFrame(const TRgbPicture& picture) {
  TFramePtr frame = MakeFrame();
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = picture.Width;
  frame->height = picture.Height;
  frame->pts = picture.Pts;
  check(av_frame_get_buffer(frame.get(), 0), "frame buffer");
  TSwsPtr sws(sws_getContext(picture.Width, picture.Height, AV_PIX_FMT_RGB24, picture.Width, picture.Height,
                             AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
  const uint8_t* src[1] = {picture.Pixels.data()};
  const int srcStride[1] = {picture.Width * 3};
  sws_scale(sws.get(), src, srcStride, 0, picture.Height, frame->data, frame->linesize);
  return frame;
}

TRgbPicture fromRgbFrame(const AVFrame& frame) {
  TRgbPicture picture;
  picture.Width = frame.width;
  picture.Height = frame.height;
  picture.Pts = frame.pts;
  picture.Pixels.resize(static_cast<size_t>(frame.width) * frame.height * 3);
  for (int y = 0; y < frame.height; ++y)
    std::copy_n(frame.data[0] + static_cast<ptrdiff_t>(y) * frame.linesize[0], frame.width * 3, picture.At(0, y));
  return picture;
}

void drain(AVFilterContext* sink, TGraphRun& run) {
  for (;;) {
    TFramePtr frame = MakeFrame();
    const int code = av_buffersink_get_frame(sink, frame.get());
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return;
    check(code, "reading the sink");
    run.Frames.push_back(fromRgbFrame(*frame));
  }
}

}  // namespace

TRgbPicture GradientPicture(int64_t pts) {
  TRgbPicture picture;
  picture.Width = kFrameWidth;
  picture.Height = kFrameHeight;
  picture.Pts = pts;
  picture.Pixels.resize(static_cast<size_t>(kFrameWidth) * kFrameHeight * 3);
  for (int y = 0; y < kFrameHeight; ++y)
    for (int x = 0; x < kFrameWidth; ++x) {
      uint8_t* p = picture.At(x, y);
      const bool marker = x >= 100 && x < 108 && y >= 20 && y < 28;
      p[0] = marker ? 255 : static_cast<uint8_t>(30 + x * 100 / (kFrameWidth - 1));
      p[1] = marker ? 255 : static_cast<uint8_t>(30 + y * 100 / (kFrameHeight - 1));
      p[2] = marker ? 255 : 80;
    }
  return picture;
}

TGraphRun RunFilterGraph(const std::string& description, const std::vector<TRgbPicture>& input) {
  av_log_set_level(AV_LOG_ERROR);
  TFilterGraphPtr graph(avfilter_graph_alloc());
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
  const std::string args = "video_size=" + std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight) +
                           ":pix_fmt=" + std::to_string(AV_PIX_FMT_YUV420P) + ":time_base=1/" +
                           std::to_string(kTimeBase) + ":pixel_aspect=1/1";
  check(avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "in", args.c_str(), nullptr, graph.get()),
        "buffer source");
  sink = avfilter_graph_alloc_filter(graph.get(), avfilter_get_by_name("buffersink"), "out");
  const AVPixelFormat formats[] = {AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
  check(av_opt_set_int_list(sink, "pix_fmts", formats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN), "sink formats");
  check(avfilter_init_str(sink, nullptr), "buffer sink");

  TFilterInOutPtr outputs(avfilter_inout_alloc());
  TFilterInOutPtr inputs(avfilter_inout_alloc());
  outputs->name = av_strdup("in");
  outputs->filter_ctx = source;
  inputs->name = av_strdup("out");
  inputs->filter_ctx = sink;
  AVFilterInOut* rawInputs = inputs.release();
  AVFilterInOut* rawOutputs = outputs.release();
  const int parsed = avfilter_graph_parse_ptr(graph.get(), description.c_str(), &rawInputs, &rawOutputs, nullptr);
  inputs.reset(rawInputs);
  outputs.reset(rawOutputs);
  check(parsed, "parsing \"" + description + "\"");
  check(avfilter_graph_config(graph.get(), nullptr), "configuring \"" + description + "\"");

  TGraphRun run;
  for (unsigned i = 0; i < graph->nb_filters; ++i) run.FilterNames.emplace_back(graph->filters[i]->filter->name);
  for (const auto& picture : input) {
    TFramePtr frame = toYuvFrame(picture);
    check(av_buffersrc_add_frame(source, frame.get()), "feeding a frame");
    drain(sink, run);
  }
  check(av_buffersrc_add_frame(source, nullptr), "ending the input");
  drain(sink, run);
  return run;
}

int PixelDistance(const uint8_t* a, const uint8_t* b) {
  int distance = 0;
  for (int i = 0; i < 3; ++i) distance = std::max(distance, std::abs(int(a[i]) - int(b[i])));
  return distance;
}

}  // namespace vc::test
