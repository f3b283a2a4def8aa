#include <gtest/gtest.h>

#include "base/Errors.h"
#include "engine/AVConvertOptions.h"
#include "support/TestSupport.h"

using namespace vc::engine;
using vc::base::TStrings;

TEST(AVConvertOptionsTest, NewOptionsHoldTheDefaults) {
  TAVConvertOptions o;
  EXPECT_EQ(o.RecordingTime, INT64_MAX);
  EXPECT_EQ(o.ThreadCount, 1);
  EXPECT_EQ(o.AudioOptions.AudioVolume, 256);
  EXPECT_FLOAT_EQ(o.AudioOptions.AudioQScale, -99999.0f);
  EXPECT_FLOAT_EQ(o.AudioOptions.AudioDriftThreshold, 0.1f);
  EXPECT_EQ(o.AudioOptions.MaxFrames, 2147483647);
  EXPECT_EQ(o.VideoOptions.MaxFrames, 2147483647);
  EXPECT_EQ(o.VideoOptions.IntraDcPrecision, 8);
  EXPECT_EQ(o.VideoOptions.VideoSyncMethod, -1);
  EXPECT_EQ(o.VideoOptions.TopFieldFirst, -1);
  EXPECT_EQ(o.VideoOptions.PixelFormat, -1);
  EXPECT_EQ(o.VideoOptions.FrameRate.num, 25);
  EXPECT_EQ(o.VideoOptions.FrameRate.den, 1);
  EXPECT_FLOAT_EQ(o.MuxerOptions.MuxPreload, 0.5f);
  EXPECT_FLOAT_EQ(o.MuxerOptions.MuxMaxDelay, 0.7f);
  EXPECT_EQ(o.AudioOptions.AudioSampleFmt(), TAVAudioSampleFormat::sfAuto);
}

TEST(AVConvertOptionsTest, PassAcceptsOnlyZeroOneTwo) {
  vc::test::TRecordingPrompts prompts;
  TVideoOptions v;
  v.SetPass(2);
  for (int bad : {3, -1}) v.SetPass(bad);
  EXPECT_EQ(v.Pass(), 2);
  EXPECT_EQ(prompts.Errors, (std::vector<std::string>(2, "pass number can be only 0, 1 or 2")));
}

static TStrings matrixLines(int count, int fractionAt = -1) {
  TStrings lines;
  for (int i = 0; i < count; ++i) lines.Add(i == fractionAt ? "16.5" : std::to_string(i + 1));
  return lines;
}

TEST(AVConvertOptionsTest, MatricesAreValidatedBeforeTheyAreStored) {
  vc::test::TRecordingPrompts prompts;
  TVideoOptions v;
  v.SetIntraMatrix(matrixLines(64));
  ASSERT_EQ(v.IntraMatrix().Count(), 64);
  EXPECT_EQ(v.IntraMatrixValues()[0], 1);
  EXPECT_EQ(v.IntraMatrixValues()[63], 64);
  EXPECT_TRUE(prompts.Errors.empty());

  v.SetIntraMatrix(matrixLines(63));
  v.SetIntraMatrix(matrixLines(64, 9));
  v.SetInterMatrix(matrixLines(64, 9));
  EXPECT_EQ(prompts.Errors, (std::vector<std::string>{"matrix element count should be equal 64", "Invalid matrix element",
                                                      "Invalid matrix element"}));
  EXPECT_EQ(v.IntraMatrix().Count(), 64);  // rejected lists change nothing
  EXPECT_EQ(v.IntraMatrixValues()[9], 10);
  EXPECT_EQ(v.InterMatrix().Count(), 0);
  EXPECT_EQ(v.InterMatrixValues()[9], 0);

  v.SetIntraMatrix(TStrings());  // empty: back to the encoder's default
  EXPECT_EQ(v.IntraMatrix().Count(), 0);
}

TEST(AVConvertOptionsTest, SetCodecOptionReplacesRemovesOrAppends) {
  TAVConvertOptions o;
  o.CodecOptions = TStrings{"g=250", "Preset=fast"};
  o.SetCodecOption("preset", "slow");
  EXPECT_EQ(o.CodecOptions, (TStrings{"g=250", "Preset=slow"}));
  o.SetCodecOption("bf", "2");
  EXPECT_EQ(o.CodecOptions, (TStrings{"g=250", "Preset=slow", "bf=2"}));
  o.SetCodecOption("G", "");
  EXPECT_EQ(o.CodecOptions, (TStrings{"Preset=slow", "bf=2"}));
}

TEST(AVConvertOptionsTest, AssignCopiesValuesAndKeepsTargetSampleFormatForAuto) {
  TAVConvertOptions source;
  source.VideoOptions.FrameRate.num = 30000;
  source.VideoOptions.FrameRate.den = 1001;
  source.VideoOptions.PixelFormat = 4;
  source.VideoOptions.ForceFPS = true;
  source.VideoOptions.SetIntraMatrix(matrixLines(64));
  source.StreamMaps = TStrings{"0=1"};
  source.StartTime = 10'000'000;

  TAVConvertOptions target;
  target.AudioOptions.SetAudioSampleFmt(TAVAudioSampleFormat::sfS16);
  target.Assign(source);
  EXPECT_EQ(target.AudioOptions.AudioSampleFmt(), TAVAudioSampleFormat::sfS16);
  EXPECT_EQ(target.VideoOptions.FrameRate.num, 30000);
  EXPECT_EQ(target.VideoOptions.FrameRate.den, 1001);
  EXPECT_EQ(target.VideoOptions.PixelFormat, 4);  // unpublished, still copied
  EXPECT_TRUE(target.VideoOptions.ForceFPS);
  EXPECT_EQ(target.VideoOptions.IntraMatrixValues()[5], 6);
  EXPECT_EQ(target.StreamMaps, source.StreamMaps);
  EXPECT_EQ(target.StartTime, 10'000'000);
  source.StreamMaps.Add("0=0");
  EXPECT_EQ(target.StreamMaps.Count(), 1);  // copied, not shared

  EXPECT_THROW(target.Assign(source.AudioOptions), vc::base::EConvertError);
}
