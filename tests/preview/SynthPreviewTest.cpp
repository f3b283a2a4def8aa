// The preview's filter graph runs "synth" items as the conversion does: the picture the renderer
// gets has gone through the script and the filters around it.
#include <gtest/gtest.h>

#include "base/Errors.h"
#include "preview/PreviewFilterGraph.h"

using namespace vc;

namespace {

// One BGRA picture out of the preview graph for a 32x16 picture whose left half is dark grey and
// right half light grey.
media::TFramePtr filtered(const std::string& filterText) {
  preview::TPreviewFilterGraph graph;
  preview::TVideoInput input;
  input.Width = 32;
  input.Height = 16;
  input.Format = AV_PIX_FMT_YUV420P;
  graph.Build(input, filterText, 0);
  media::TFramePtr picture = media::MakeFrame();
  picture->format = AV_PIX_FMT_YUV420P;
  picture->width = 32;
  picture->height = 16;
  picture->pts = 0;
  EXPECT_EQ(av_frame_get_buffer(picture.get(), 0), 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) picture->data[0][y * picture->linesize[0] + x] = x < 16 ? 60 : 180;
  for (int plane = 1; plane < 3; ++plane)
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x) picture->data[plane][y * picture->linesize[plane] + x] = 128;
  EXPECT_TRUE(graph.Push(picture.get()));
  EXPECT_TRUE(graph.Push(nullptr));
  media::TFramePtr out = media::MakeFrame();
  EXPECT_TRUE(graph.Pull(out.get()));
  EXPECT_EQ(out->format, AV_PIX_FMT_BGRA);
  return out;
}

int blueAt(const AVFrame* frame, int x, int y) { return frame->data[0][y * frame->linesize[0] + 4 * x]; }

}  // namespace

TEST(SynthPreviewTest, PicturesGoThroughTheScriptAndTheFiltersAroundIt) {
  const media::TFramePtr plain = filtered("");
  const media::TFramePtr inverted = filtered("synth=Invert()");
  const media::TFramePtr mirrored = filtered("hflip,synth=Invert()");
  // Inverted: the dark half turns light and the light half dark; mirrored first: swapped back.
  EXPECT_LT(blueAt(plain.get(), 4, 8), blueAt(plain.get(), 28, 8));
  EXPECT_NEAR(blueAt(inverted.get(), 4, 8), blueAt(plain.get(), 28, 8), 40);
  EXPECT_GT(blueAt(inverted.get(), 4, 8), blueAt(inverted.get(), 28, 8));
  EXPECT_LT(blueAt(mirrored.get(), 4, 8), blueAt(mirrored.get(), 28, 8));
}

TEST(SynthPreviewTest, ASynthWithoutScriptFailsTheGraph) {
  preview::TPreviewFilterGraph graph;
  preview::TVideoInput input;
  input.Width = 32;
  input.Height = 16;
  input.Format = AV_PIX_FMT_YUV420P;
  try {
    graph.Build(input, "vflip,synth", 0);
    FAIL() << "built";
  } catch (const base::EVelocastError& e) {
    EXPECT_STREQ(e.what(), "Parse Graph Failed");
  }
  EXPECT_FALSE(graph.Built());
}
