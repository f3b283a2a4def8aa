#include "engine/ImageSequenceName.h"

#include <gtest/gtest.h>

namespace vc::engine {
namespace {

TEST(ImageSequenceName, TheNameOfTheFirstPictureBecomesAFrameNumberPattern) {
  const struct {
    const char* Name;
    const char* Pattern;
  } cases[] = {
      {"/out/clip1.jpg", "/out/clip%d.jpg"},          // the profiles' "1.jpg"
      {"/out/clip.bmp", "/out/clip%d.bmp"},           // no number: one is appended
      {"/out/shot007.png", "/out/shot%03d.png"},      // leading zeros keep the width
      {"/out/2010/7.tif", "/out/2010/%d.tif"},        // a number in a folder is not the frame number
      {"/v1.5/clip", "/v1.5/clip%d"},                 // a dot in a folder is not an extension
      {"/out/50%/off 1.png", "/out/50%%/off %d.png"},  // a '%' stays a '%'
      {"/out/clip%d.jpg", "/out/clip%d.jpg"},         // already a pattern
  };
  for (const auto& c : cases) EXPECT_EQ(ImageSequencePattern(c.Name), c.Pattern) << c.Name;
}

TEST(ImageSequenceName, OnlyTheImageMuxerWritesAFilePerPicture) {
  EXPECT_TRUE(WritesFilePerPicture(av_guess_format(nullptr, "clip1.jpg", nullptr)));
  EXPECT_TRUE(WritesFilePerPicture(av_guess_format(nullptr, "clip.tif", nullptr)));
  EXPECT_FALSE(WritesFilePerPicture(av_guess_format(nullptr, "clip1.gif", nullptr)));  // animated GIF: one file
  EXPECT_FALSE(WritesFilePerPicture(av_guess_format(nullptr, "clip.mp4", nullptr)));
  EXPECT_FALSE(WritesFilePerPicture(nullptr));
}

}  // namespace
}  // namespace vc::engine
