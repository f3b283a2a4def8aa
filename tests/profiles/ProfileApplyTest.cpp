#include <gtest/gtest.h>

#include <cmath>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "base/Errors.h"
#include "engine/AVConvertOptions.h"
#include "profiles/AVCustomVideoProfile.h"
#include "profiles/AVImageProfile.h"
#include "profiles/AVTargetProfile.h"
#include "profiles/AVX264Profile.h"
#include "profiles/ProfileCatalogue.h"
#include "profiles/ProfileCodecs.h"

namespace vc::profiles {
namespace {

using engine::TAVConvertOptions;
using Lines = std::vector<std::string>;

class ProfileApply : public ::testing::Test {
 protected:
  ProfileApply() { BuildCatalogue(FList); }
  const TAVProfile& profile(const char* description) {
    for (int i = 0; i < FList.Count(); ++i)
      if (FList.Items(i).Description == description) return FList.Items(i);
    throw std::runtime_error(std::string("no profile ") + description);
  }
  TAVProfileList FList;
  TAVConvertOptions O;  // as the converter component starts
};

Lines presetLines(TPreset preset) {
  TAVConvertOptions o;
  TAVX264Profile p;
  p.preset = preset;
  EXPECT_TRUE(p.Apply(o));
  return o.CodecOptions.Lines();
}

const Lines kBasicLines = {"coder=1",
                           "flags=+loop",
                           "cmp=+chroma",
                           "partitions=+parti8x8+parti4x4+partp8x8+partb8x8",
                           "me_method=hex",
                           "subq=7",
                           "me_range=16",
                           "g=250",
                           "keyint_min=25",
                           "sc_threshold=40",
                           "i_qfactor=0.71",
                           "b_strategy=1",
                           "qcomp=0.6",
                           "qmin=10",
                           "qmax=51",
                           "qdiff=4",
                           "bf=3",
                           "refs=3",
                           "directpred=1",
                           "trellis=1",
                           "flags2=+mixed_refs+wpred+dct8x8+fastpskip+mbtree",
                           "wpredp=2"};

TEST_F(ProfileApply, Mp3Audio) {
  EXPECT_TRUE(profile("MP3 Audio").Apply(O));
  EXPECT_TRUE(O.VideoOptions.VideoDisable);
  EXPECT_TRUE(O.SubtitleOptions.SubtitleDisable);
  EXPECT_EQ(O.AudioOptions.EncoderAudioCodecName, "libmp3lame");
  EXPECT_EQ(O.OutputFormat, "");
  EXPECT_EQ(O.AudioOptions.Bitrate, 192000);
  EXPECT_EQ(O.AudioOptions.AudioSampleRate, 48000);
  EXPECT_EQ(O.AudioOptions.AudioChannels, 2);
  EXPECT_TRUE(O.CodecOptions.Empty());
}

TEST_F(ProfileApply, ThreeGpp) {
  O.VideoOptions.FrameRate = engine::TRational(12, 1);
  O.ThreadCount = 4;
  EXPECT_TRUE(profile("3GPP").Apply(O));
  EXPECT_EQ(O.AudioOptions.EncoderAudioCodecName, "libopencore_amrnb");
  EXPECT_EQ(O.AudioOptions.Bitrate, 12200);
  EXPECT_EQ(O.AudioOptions.AudioSampleRate, 8000);
  EXPECT_EQ(O.AudioOptions.AudioChannels, 1);
  EXPECT_EQ(O.OutputFormat, "3gp");
  EXPECT_FALSE(O.VideoOptions.VideoDisable);
  EXPECT_TRUE(O.SubtitleOptions.SubtitleDisable);
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "h263");
  EXPECT_EQ(O.ThreadCount, 1);
  EXPECT_EQ(O.VideoOptions.FrameWidth, 176);
  EXPECT_EQ(O.VideoOptions.FrameHeight, 144);
  EXPECT_EQ(O.VideoOptions.Bitrate, 128000);
  EXPECT_EQ(O.VideoOptions.FrameRate.num, 12);  // rOriginal leaves the rate alone
  EXPECT_EQ(O.VideoOptions.FrameAspectRatio, 0.0f);
  EXPECT_EQ(O.VideoOptions.Pass(), 0);
}

TEST_F(ProfileApply, PspAvcVideoGetsTheH264Defaults) {
  O.ThreadCount = 4;
  EXPECT_TRUE(profile("PSP AVC Video").Apply(O));
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "libx264");
  EXPECT_EQ(O.ThreadCount, 4);
  Lines expected = kBasicLines;
  expected.push_back("mbd=rd");
  expected.push_back("level=41");
  EXPECT_EQ(O.CodecOptions.Lines(), expected);
  EXPECT_EQ(O.OutputFormat, "psp");
  EXPECT_EQ(O.AudioOptions.EncoderAudioCodecName, "libfaac");
  EXPECT_EQ(O.VideoOptions.FrameWidth, 368);
  EXPECT_EQ(O.VideoOptions.FrameHeight, 208);
  EXPECT_EQ(O.VideoOptions.Bitrate, 512000);
  EXPECT_EQ(O.VideoOptions.FrameRate.num, 30000);
  EXPECT_EQ(O.VideoOptions.FrameRate.den, 1001);
}

TEST_F(ProfileApply, IPhoneMpeg4KeepsItsOptionsAndAspect) {
  EXPECT_TRUE(profile("IPhone MPEG4 Video").Apply(O));
  EXPECT_EQ(O.CodecOptions.Lines(), (Lines{"maxrate=1000000", "qmin=3", "qmax=5", "bufsize=4096k", "g=300"}));
  EXPECT_EQ(O.VideoOptions.FrameAspectRatio, 1.3333334f);
  EXPECT_EQ(O.OutputFormat, "mp4");
  EXPECT_EQ(O.AudioOptions.EncoderAudioCodecName, "libfaac");
}

TEST_F(ProfileApply, SizeZeroLeavesTheFrameSizeAlone) {
  O.VideoOptions.FrameWidth = 640;
  O.VideoOptions.FrameHeight = 360;
  EXPECT_TRUE(profile("Flash Video").Apply(O));
  EXPECT_EQ(O.VideoOptions.FrameWidth, 640);
  EXPECT_EQ(O.VideoOptions.FrameHeight, 360);
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "flv");
  EXPECT_EQ(O.ThreadCount, 1);
  EXPECT_EQ(O.VideoOptions.FrameRate.num, 15000);
}

TEST_F(ProfileApply, TheH264DefaultsReplaceSameNamedOptions) {
  TAVCustomVideoProfile p;
  p.VideoEncoder = TCustomVideoEncoder::H264;
  p.Options = {"g=100", "crf=20"};
  EXPECT_TRUE(p.Apply(O));
  EXPECT_EQ(O.CodecOptions.Values("g"), "250");
  EXPECT_EQ(O.CodecOptions[0], "g=250");  // the line kept its place
  EXPECT_EQ(O.CodecOptions[1], "crf=20");
  EXPECT_EQ(O.CodecOptions.Count(), 25);  // the two own lines, 21 more preset lines, mbd and level
  EXPECT_EQ(O.CodecOptions[24], "level=41");
}

TEST_F(ProfileApply, CopiedAudioStopsOnlyTheAudioPart) {
  O.AudioOptions.AudioStreamCopy = true;
  TAVCustomVideoProfile p;
  p.VideoEncoder = TCustomVideoEncoder::H264;
  p.AudioEncoder = TCustomAudioEncoder::AC3;
  p.Format = TCustomAVFormat::F_MOV;
  p.AudioBitrate = 128;
  p.SampleRate = 44100;
  p.Options = {"g=7"};
  p.FrameWidth = 320;
  p.FrameHeight = 240;
  p.VideoBitrate = 900;
  p.Pass = 1;
  p.FrameRate = TCustomFrameRate::r24;
  EXPECT_TRUE(p.Apply(O));
  EXPECT_EQ(O.AudioOptions.EncoderAudioCodecName, "");
  EXPECT_EQ(O.AudioOptions.Bitrate, 0);
  EXPECT_EQ(O.AudioOptions.AudioSampleRate, 0);
  EXPECT_EQ(O.AudioOptions.AudioChannels, 0);
  EXPECT_EQ(O.OutputFormat, "");
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "libx264");
  EXPECT_EQ(O.CodecOptions.Values("g"), "250");
  EXPECT_EQ(O.CodecOptions.Count(), 24);
  EXPECT_EQ(O.VideoOptions.FrameWidth, 320);
  EXPECT_EQ(O.VideoOptions.Bitrate, 900000);
  EXPECT_EQ(O.VideoOptions.Pass(), 1);
  EXPECT_EQ(O.VideoOptions.FrameRate.num, 24);
  EXPECT_FALSE(O.VideoOptions.VideoDisable);
}

TEST_F(ProfileApply, VcdPerNorm) {
  const struct {
    TAVTarget target;
    int height;
    const char* gop;
    int num, den;
  } cases[] = {{TAVTarget::pal, 288, "g=15", 25, 1},
               {TAVTarget::ntsc, 240, "g=18", 30000, 1001},
               {TAVTarget::film, 240, "g=18", 24000, 1001}};
  for (const auto& c : cases) {
    TAVConvertOptions o;
    TAVVcdProfile vcd;
    vcd.Target = c.target;
    EXPECT_TRUE(vcd.Apply(o));
    EXPECT_EQ(o.VideoOptions.EncoderVideoCodecName, "mpeg1video");
    EXPECT_EQ(o.AudioOptions.EncoderAudioCodecName, "mp2");
    EXPECT_EQ(o.OutputFormat, "vcd");
    EXPECT_EQ(o.VideoOptions.FrameWidth, 352);
    EXPECT_EQ(o.VideoOptions.FrameHeight, c.height);
    EXPECT_EQ(o.CodecOptions.Lines(), (Lines{c.gop, "maxrate=1150000", "minrate=1150000", "bufsize=327680",
                                             "packetsize=2324", "muxrate=1411200"}));
    EXPECT_EQ(o.VideoOptions.Bitrate, 1150000);
    EXPECT_EQ(o.AudioOptions.Bitrate, 224000);
    EXPECT_EQ(o.AudioOptions.AudioSampleRate, 44100);
    EXPECT_EQ(o.AudioOptions.AudioChannels, 2);
    EXPECT_EQ(o.MuxerOptions.MuxPreload, 0.44f);
    EXPECT_EQ(o.VideoOptions.FrameRate.num, c.num);
    EXPECT_EQ(o.VideoOptions.FrameRate.den, c.den);
  }
}

TEST_F(ProfileApply, SvcdAndDvdOptionLines) {
  TAVSVcdProfile svcd;
  svcd.Target = TAVTarget::ntsc;
  EXPECT_TRUE(svcd.Apply(O));
  EXPECT_EQ(O.CodecOptions.Lines(), (Lines{"g=18", "maxrate=2516000", "minrate=0", "bufsize=1835008",
                                           "flags=+scan_offset", "packetsize=2324"}));
  EXPECT_EQ(O.VideoOptions.FrameWidth, 480);
  EXPECT_EQ(O.VideoOptions.FrameHeight, 480);
  EXPECT_EQ(O.VideoOptions.Bitrate, 2040000);
  EXPECT_EQ(O.AudioOptions.AudioChannels, 0);  // SVCD leaves the channels
  EXPECT_EQ(O.OutputFormat, "svcd");

  TAVConvertOptions o;
  // The GOP line is appended even when a "g" line exists; the others replace theirs.
  o.CodecOptions = {"g=12", "MaxRate=1"};
  EXPECT_TRUE(TAVDvdProfile().Apply(o));
  EXPECT_EQ(o.CodecOptions.Lines(), (Lines{"g=12", "MaxRate=9000000", "g=15", "minrate=0", "bufsize=1835008",
                                           "packetsize=2048", "muxrate=10080000"}));
  EXPECT_EQ(o.AudioOptions.EncoderAudioCodecName, "ac3");
  EXPECT_EQ(o.AudioOptions.Bitrate, 448000);
  EXPECT_EQ(o.AudioOptions.AudioSampleRate, 48000);
  EXPECT_EQ(o.VideoOptions.FrameHeight, 576);
  EXPECT_EQ(o.OutputFormat, "dvd");
}

TEST_F(ProfileApply, DvAndDv50PixelFormats) {
  TAVDvProfile dv;
  dv.Target = TAVTarget::film;
  EXPECT_TRUE(dv.Apply(O));
  EXPECT_EQ(O.OutputFormat, "dv");
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "");
  EXPECT_EQ(O.VideoOptions.FrameHeight, 480);
  EXPECT_EQ(O.VideoOptions.PixelFormat, AV_PIX_FMT_YUV411P);
  EXPECT_EQ(O.VideoOptions.PixelFormat, 7);
  EXPECT_EQ(O.AudioOptions.AudioSampleRate, 48000);
  EXPECT_EQ(O.AudioOptions.AudioChannels, 2);
  EXPECT_EQ(O.VideoOptions.FrameRate.num, 24000);

  TAVConvertOptions pal;
  EXPECT_TRUE(TAVDvProfile().Apply(pal));
  EXPECT_EQ(pal.VideoOptions.PixelFormat, 0);
  EXPECT_EQ(pal.VideoOptions.FrameWidth, 720);
  EXPECT_EQ(pal.VideoOptions.FrameHeight, 576);

  TAVConvertOptions dv50;
  TAVDv50Profile p50;
  p50.Target = TAVTarget::ntsc;
  EXPECT_TRUE(p50.Apply(dv50));
  EXPECT_EQ(dv50.VideoOptions.PixelFormat, 4);
  EXPECT_EQ(dv50.VideoOptions.FrameRate.num, 30000);
  EXPECT_EQ(dv50.OutputFormat, "");
  EXPECT_EQ(dv50.VideoOptions.FrameWidth, 0);
  EXPECT_EQ(dv50.AudioOptions.AudioSampleRate, 0);
}

TEST_F(ProfileApply, ImageSequencesUseOneThread) {
  O.ThreadCount = 8;
  EXPECT_TRUE(profile("JPEG Sequence").Apply(O));
  EXPECT_EQ(O.ThreadCount, 1);
  EXPECT_EQ(O.VideoOptions.EncoderVideoCodecName, "");
  EXPECT_EQ(O.OutputFormat, "");
}

TEST(X264Presets, RowByRow) {
  EXPECT_EQ(presetLines(TPreset::basic), kBasicLines);
  const Lines fast = presetLines(TPreset::LosslessFast);
  ASSERT_EQ(fast.size(), 20u);
  EXPECT_EQ(Lines(fast.end() - 3, fast.end()), (Lines{"cqp=0", "flags2=+fastpskip+mbtree", "wpredp=0"}));
  EXPECT_EQ(fast[3], "partitions=-parti8x8+parti4x4+partp8x8-partp4x4-partb8x8");
  EXPECT_EQ(fast[16], "directpred=1");

  const Lines slow = presetLines(TPreset::LosslessSlow);
  ASSERT_EQ(slow.size(), 21u);
  EXPECT_EQ(Lines(slow.begin() + 15, slow.begin() + 18), (Lines{"qdiff=4", "refs=2", "directpred=1"}));

  const Lines best = presetLines(TPreset::Best);
  EXPECT_EQ(best[4], "me_method=tesa");
  EXPECT_EQ(best[5], "subq=10");
  EXPECT_EQ(best[6], "me_range=24");
  EXPECT_EQ(best[17], "refs=16");
  EXPECT_EQ(best[19], "trellis=2");
  EXPECT_EQ(best[20], "flags2=+wpred+mixed_refs+dct8x8-fastpskip+mbtree");

  const Lines first = presetLines(TPreset::FastFirstPass);
  EXPECT_EQ(first[3], "partitions=-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8");
  EXPECT_EQ(first[20], "flags2=-bpyramid-wpred-mixed_refs-dct8x8+fastpskip+mbtree");
  EXPECT_EQ(presetLines(TPreset::LosslessMax)[4], "me_method=esa");
  EXPECT_EQ(presetLines(TPreset::SlowFirstPass)[11], "b_strategy=2");
  EXPECT_EQ(presetLines(TPreset::HighQuality)[5], "subq=8");
  EXPECT_EQ(presetLines(TPreset::Common)[17], "refs=2");
  EXPECT_EQ(presetLines(TPreset::LosslessMedium)[3], "partitions=-parti8x8+parti4x4+partp8x8+partp4x4-partb8x8");
  EXPECT_EQ(presetLines(TPreset::LosslessSlower)[19], "flags2=+mixed_refs+dct8x8+fastpskip+mbtree");
  EXPECT_TRUE(presetLines(static_cast<TPreset>(11)).empty());

  // Applying over an existing "g" leaves one line with the preset's value.
  TAVConvertOptions o;
  o.CodecOptions = {"G=100"};
  TAVX264Profile().Apply(o);
  EXPECT_EQ(o.CodecOptions[0], "G=250");
  EXPECT_EQ(o.CodecOptions.Count(), 22);
}

TEST(ProfileCodecs, BitRatesRoundHalvesToEven) {
  const struct {
    double kbit;
    int32_t bits;
  } cases[] = {{12.2, 12200}, {0.0025, 2}, {0.0035, 4}, {0.0125, 12}, {-0.0025, -2}, {192, 192000}};
  for (const auto& c : cases) {
    int32_t bits = -1;
    EXPECT_TRUE(KbitToBit(c.kbit, bits));
    EXPECT_EQ(bits, c.bits) << c.kbit;
  }
  int32_t bits = 0;
  EXPECT_FALSE(KbitToBit(3e6, bits));
  EXPECT_FALSE(KbitToBit(std::nan(""), bits));
}

TEST(ProfileCodecs, OutOfRangeChoicesAreRefusedAtTheirStep) {
  TAVCustomVideoProfile p;
  p.Description = "Edited";
  p.VideoEncoder = static_cast<TCustomVideoEncoder>(9);
  TAVConvertOptions o;
  EXPECT_THROW(p.Apply(o), base::EVelocastError);
  EXPECT_EQ(o.AudioOptions.EncoderAudioCodecName, "libfaac");  // the audio part ran first
  EXPECT_EQ(o.VideoOptions.EncoderVideoCodecName, "");

  p.VideoEncoder = TCustomVideoEncoder::MPEG4;
  p.Format = static_cast<TCustomAVFormat>(17);
  EXPECT_THROW(p.Apply(o), base::EVelocastError);
  p.Format = TCustomAVFormat::F_NONE;
  p.VideoBitrate = 3000000;  // kbit/s: beyond what the option set holds
  EXPECT_THROW(p.Apply(o), base::EVelocastError);
}

}  // namespace
}  // namespace vc::profiles
