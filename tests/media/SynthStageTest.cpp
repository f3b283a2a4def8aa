// The "synth" filter: cutting its items out of a filter text, the stage on one picture, the
// chain of sub-graphs around the stages, and the script library that is not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/Errors.h"
#include "media/FilterPlan.h"
#include "media/ScriptLibrary.h"
#include "media/SynthChain.h"
#include "media/SynthStage.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/opt.h>
}

using namespace vc;
using media::TFilterPlan;

namespace {

media::TFramePtr yuvPicture(int width, int height) {
  media::TFramePtr frame = media::MakeFrame();
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = width;
  frame->height = height;
  EXPECT_EQ(av_frame_get_buffer(frame.get(), 0), 0);
  for (int plane = 0; plane < 3; ++plane) {
    const int w = plane ? (width + 1) / 2 : width;
    const int h = plane ? (height + 1) / 2 : height;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) frame->data[plane][y * frame->linesize[plane] + x] = static_cast<uint8_t>(20 + 3 * x + 5 * y + 60 * plane);
  }
  return frame;
}

// The visible samples of each plane, packed.
std::vector<uint8_t> samples(const AVFrame* frame) {
  std::vector<uint8_t> out;
  for (int plane = 0; plane < 3; ++plane) {
    const int w = plane ? (frame->width + 1) / 2 : frame->width;
    const int h = plane ? (frame->height + 1) / 2 : frame->height;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = frame->data[plane] + y * frame->linesize[plane];
      out.insert(out.end(), row, row + w);
    }
  }
  return out;
}

}  // namespace

TEST(SynthPlanTest, SynthItemsAreCutOutOfAChain) {
  struct TCase {
    const char* Text;
    std::vector<std::string> Graphs;
    std::vector<std::string> Scripts;
  } cases[] = {
      {"scale=320:240,vflip", {"scale=320:240,vflip"}, {}},
      {"vflip,synth=Invert(),hflip", {"vflip", "hflip"}, {"Invert()"}},
      {"synth=Tweak(bright=10|cont=1.2)", {"", ""}, {"Tweak(bright=10|cont=1.2)"}},
      {"synth=Invert(),synth=FlipVertical()", {"", "", ""}, {"Invert()", "FlipVertical()"}},
      {" synth=Tweak(bright=10|  cont=1.2) ,negate", {"", "negate"}, {"Tweak(bright=10|  cont=1.2)"}},
      // The argument is read as the graph parser reads one: quotes keep commas, escapes go.
      {"synth='Tweak(bright=10, cont=1.2)',hflip", {"", "hflip"}, {"Tweak(bright=10, cont=1.2)"}},
      {"synth=Levels(0\\,1.0\\,255\\,0\\,200)", {"", ""}, {"Levels(0,1.0,255,0,200)"}},
      {"drawtext=text='a,synth=b',hflip", {"drawtext=text='a,synth=b',hflip"}, {}},
      {"synth", {"", ""}, {""}},
      {"synth=", {"", ""}, {""}},
      // Not a synth item, so a labelled graph stays whole.
      {"movie=synth.png[logo];[in][logo]overlay[out]", {"movie=synth.png[logo];[in][logo]overlay[out]"}, {}},
  };
  for (const auto& c : cases) {
    const TFilterPlan plan = media::CutSynthStages(c.Text);
    EXPECT_EQ(plan.Graphs, c.Graphs) << c.Text;
    EXPECT_EQ(plan.Scripts, c.Scripts) << c.Text;
  }
  for (const char* text : {"[in]synth=Invert()[out]", "split[a][b];[a]synth=Invert()[c];[b][c]overlay"})
    EXPECT_THROW(
        {
          try {
            media::CutSynthStages(text);
          } catch (const base::EVelocastError& e) {
            EXPECT_STREQ(e.what(), "Error opening filters!");
            throw;
          }
        },
        base::EVelocastError)
        << text;
}

TEST(SynthStageTest, TheScriptReachesTheLibraryWithCommasAndChangesThePicture) {
  media::TSynthStage stage("Tweak(bright=10|cont=1.2)");
  EXPECT_EQ(stage.Script(), "Tweak(bright=10,cont=1.2)");
  // An odd size: the last chroma column and line are copied too.
  media::TFramePtr picture = yuvPicture(33, 17);
  std::vector<uint8_t> expected = samples(picture.get());
  const size_t lumaCount = 33 * 17;
  for (size_t i = 0; i < lumaCount; ++i)
    expected[i] = static_cast<uint8_t>(std::clamp(std::lround((expected[i] - 16) * 1.2 + 26), 0L, 255L));
  ASSERT_TRUE(stage.Process(picture.get())) << stage.LastError();
  EXPECT_EQ(samples(picture.get()), expected);
}

TEST(SynthStageTest, AFailingScriptLeavesThePictureAsItWas) {
  for (const char* script : {"Foo()", "Tweak(bright=10,", "1 + 2", "Levels(5, 1.0, 5)"}) {
    media::TSynthStage stage(script);
    media::TFramePtr picture = yuvPicture(16, 8);
    const std::vector<uint8_t> before = samples(picture.get());
    EXPECT_FALSE(stage.Process(picture.get())) << script;
    EXPECT_FALSE(stage.LastError().empty()) << script;
    EXPECT_EQ(samples(picture.get()), before) << script;
  }
  // Pictures the stage cannot read pass unchanged as well.
  media::TSynthStage stage("Invert()");
  media::TFramePtr rgb = media::MakeFrame();
  rgb->format = AV_PIX_FMT_RGB24;
  rgb->width = 4;
  rgb->height = 4;
  ASSERT_EQ(av_frame_get_buffer(rgb.get(), 0), 0);
  EXPECT_FALSE(stage.Process(rgb.get()));
}

// RGB pictures through buffer -> sink(4:2:0) -> synth -> buffer -> sink(RGB): the pictures are
// converted for the stage and back, and come out in order with their time stamps.
TEST(SynthChainTest, StagesRunBetweenSubGraphsThatConvertAroundThem) {
  media::TFilterGraphPtr graph(avfilter_graph_alloc());
  AVFilterContext* source = nullptr;
  AVFilterContext* sink = nullptr;
  ASSERT_GE(avfilter_graph_create_filter(&source, avfilter_get_by_name("buffer"), "src",
                                         "video_size=32x16:pix_fmt=rgb24:time_base=1/25:pixel_aspect=1/1", nullptr,
                                         graph.get()),
            0);
  ASSERT_GE(avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, graph.get()), 0);
  ASSERT_GE(av_opt_set_int_list(sink, "pix_fmts", media::kStageFormats, AV_PIX_FMT_NONE, AV_OPT_SEARCH_CHILDREN), 0);
  const TFilterPlan plan = media::CutSynthStages("hflip,synth=Invert(),hflip,synth=Greyscale(),null");
  ASSERT_GE(media::LinkFilterText(graph.get(), plan.Graphs[0], source, sink), 0);
  ASSERT_GE(avfilter_graph_config(graph.get(), nullptr), 0);
  media::TSynthChain chain;
  const AVPixelFormat rgb[] = {AV_PIX_FMT_RGB24, AV_PIX_FMT_NONE};
  ASSERT_EQ(chain.Build(plan, sink, rgb, {}), 0);

  std::vector<int64_t> stamps;
  media::TFramePtr out = media::MakeFrame();
  for (int n = 0; n < 3; ++n) {
    media::TFramePtr in = media::MakeFrame();
    in->format = AV_PIX_FMT_RGB24;
    in->width = 32;
    in->height = 16;
    in->pts = n;
    ASSERT_EQ(av_frame_get_buffer(in.get(), 0), 0);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) {
        uint8_t* p = in->data[0] + y * in->linesize[0] + 3 * x;
        p[0] = 200, p[1] = 60, p[2] = static_cast<uint8_t>(40 + 4 * x);
      }
    ASSERT_GE(av_buffersrc_add_frame(source, in.get()), 0);
  }
  ASSERT_GE(av_buffersrc_add_frame(source, nullptr), 0);
  for (;;) {
    ASSERT_EQ(chain.Pump(), 0);
    const int rc = av_buffersink_get_frame(chain.Sink(), out.get());
    if (rc == AVERROR_EOF) break;
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(out->format, AV_PIX_FMT_RGB24);
    stamps.push_back(out->pts);
    // Inverted, then grey: every pixel grey (R = G = B within rounding), darker where the
    // source was brighter.
    const uint8_t* left = out->data[0] + 8 * out->linesize[0];
    const uint8_t* right = left + 3 * 31;
    EXPECT_NEAR(left[0], left[1], 3);
    EXPECT_NEAR(left[1], left[2], 3);
    EXPECT_GT(left[0], right[0]);
    av_frame_unref(out.get());
  }
  EXPECT_EQ(stamps, (std::vector<int64_t>{0, 1, 2}));
}

TEST(SynthChainTest, ASynthWithoutScriptFailsTheGraph) {
  media::TSynthChain chain;
  const TFilterPlan plan = media::CutSynthStages("vflip,synth");
  EXPECT_EQ(chain.Build(plan, nullptr, nullptr, {}), AVERROR(EINVAL));
}

TEST(ScriptLibraryTest, AMissingLibraryCannotBeLoadedAndSaysWhich) {
  media::TScriptLibrary::Unload();
  try {
    media::TScriptLibrary::Load("libvelocast-missing.so");
    FAIL() << "loaded a missing library";
  } catch (const base::EVelocastError& e) {
    EXPECT_STREQ(e.what(), "Can not load libvelocast-missing.so");
  }
  EXPECT_FALSE(media::TScriptLibrary::Loaded());
  // The real one is found by its bare name and resolves every entry point.
  const media::TScriptApi& api = media::TScriptLibrary::Load();
  EXPECT_TRUE(media::TScriptLibrary::Loaded());
  EXPECT_NE(api.avs_invoke, nullptr);
  EXPECT_NE(api.avs_bit_blt, nullptr);
  EXPECT_NE(api.avs_set_global_var, nullptr);
  media::TScriptLibrary::Unload();
  EXPECT_FALSE(media::TScriptLibrary::Loaded());
  EXPECT_EQ(api.avs_invoke, nullptr);
}
