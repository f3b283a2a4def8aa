// Every built-in profile, composed as the wizard's finish composes it, converts a generated clip
// through the real engine; ffprobe then checks the file against what the profile asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <mutex>

#include "CatalogueSupport.h"
#include "profiles/AVProfileList.h"
#include "profiles/ProfileCatalogue.h"
#include "tasks/ConversionComposer.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vc::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIso = "mov,mp4,m4a,3gp,3g2,mj2";  // ffprobe's name for the ISO family
constexpr const char* kImages = "image2";                // one file per picture

// What the output of one catalogue profile must be. Zero sizes, rates and channel counts mean
// the source's value.
struct TExpected {
  const char* Name;       // component name in the catalogue
  const char* Container;  // ffprobe format_name
  const char* Brand;      // major_brand of ISO files
  const char* Video;      // ffprobe codec_name; "" for no video stream
  int Width, Height;
  const char* PixelFormat;  // checked when not empty
  const char* Audio;        // ffprobe codec_name; "" for no audio stream
  int SampleRate, Channels;
  const char* Substitute;  // the encoder the profile names that this library lacks, "" if none
};

// Sources: "clip" is 320x240 at 20 fps with 22050 Hz stereo; DV and DV50 get "dv", 720x576 at
// 25 fps with 48000 Hz stereo, the only input those formats take unchanged.
const TExpected kCatalogue[] = {
    {"pfSVcd", "mpeg", "", "mpeg2video", 480, 576, "", "mp2", 44100, 0, ""},
    {"pfDvd_old", "mpeg", "", "mpeg2video", 720, 576, "", "ac3", 48000, 0, ""},
    {"pfDv50", "dv", "", "dvvideo", 0, 0, "yuv422p", "pcm_s16le", 0, 0, ""},
    {"pfDv", "dv", "", "dvvideo", 720, 576, "yuv420p", "pcm_s16le", 48000, 2, ""},
    {"pfVcd", "mpeg", "", "mpeg1video", 352, 288, "", "mp2", 44100, 2, ""},
    {"pfImage", kImages, "", "bmp", 0, 0, "", "", 0, 0, ""},
    {"pfMp3", "mp3", "", "", 0, 0, "", "mp3", 48000, 2, ""},
    {"pfTV264_320", kIso, "isom", "h264", 320, 240, "", "aac", 48000, 2, "libfaac"},
    {"pfTV264_480", kIso, "isom", "h264", 640, 480, "", "aac", 48000, 2, "libfaac"},
    {"pfTV264_720", kIso, "isom", "h264", 1280, 720, "", "aac", 48000, 2, "libfaac"},
    {"pfTVMP4_480", kIso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, "libfaac"},
    {"pfTVMP4_480_hq", kIso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, "libfaac"},
    {"pfTVMP4_480_lq", kIso, "isom", "mpeg4", 640, 480, "", "aac", 44100, 2, "libfaac"},
    {"pfZuneMP4", kIso, "isom", "mpeg4", 320, 240, "", "aac", 44100, 2, "libfaac"},
    {"pfZuneAVC", kIso, "isom", "h264", 320, 240, "", "aac", 44100, 2, "libfaac"},
    {"pfZuneWMV", "asf", "", "wmv2", 320, 240, "", "wmav2", 48000, 2, ""},
    {"pfWMX51", "asf", "", "wmv2", 320, 240, "", "wmav2", 32000, 2, ""},
    {"pfWMX51v", "asf", "", "wmv2", 320, 240, "", "wmav2", 48000, 2, ""},
    {"pfWMPocketPC", "asf", "", "wmv2", 320, 240, "", "wmav2", 32000, 2, ""},
    {"pfWMPocketPC_lq", "asf", "", "wmv2", 176, 144, "", "wmav2", 32000, 2, ""},
    {"pfWMHP_hw6500", "asf", "", "wmv2", 240, 240, "", "wmav2", 32000, 2, ""},
    {"pfWMHP_hx2000", "asf", "", "wmv2", 320, 240, "", "wmav2", 32000, 2, ""},
    {"pfWMHP_hx4700", "asf", "", "wmv2", 640, 480, "", "wmav2", 48000, 2, ""},
    {"pfPS3_hd", kIso, "isom", "h264", 1920, 1080, "", "aac", 48000, 2, "libfaac"},
    {"pfPS3_720", kIso, "isom", "h264", 1280, 720, "", "aac", 48000, 2, "libfaac"},
    {"pfPS3_480", kIso, "isom", "h264", 720, 480, "", "aac", 48000, 2, "libfaac"},
    {"pfPSP_Mpeg4", kIso, "MSNV", "mpeg4", 368, 208, "", "aac", 48000, 2, "libfaac"},
    {"pfPSP_AVC", kIso, "MSNV", "h264", 368, 208, "", "aac", 48000, 2, "libfaac"},
    {"pfPSP_HQ", kIso, "MSNV", "h264", 368, 208, "", "aac", 48000, 2, "libfaac"},
    {"pfIPhone_264", kIso, "isom", "h264", 480, 320, "", "aac", 48000, 2, "libfaac"},
    {"pfIPhone_264_tele", kIso, "isom", "h264", 640, 480, "", "aac", 48000, 2, "libfaac"},
    {"pfIPhone_mpeg4", kIso, "isom", "mpeg4", 480, 320, "", "aac", 48000, 2, "libfaac"},
    {"pfIPhone_mpeg4_tele", kIso, "isom", "mpeg4", 640, 480, "", "aac", 48000, 2, "libfaac"},
    {"pfIPhone_mpeg4_wide", kIso, "isom", "mpeg4", 720, 406, "", "aac", 44100, 2, "libfaac"},
    {"pfIPod", kIso, "M4V ", "mpeg4", 320, 240, "", "aac", 48000, 2, "libfaac"},
    {"pfIPod_HQ", kIso, "M4V ", "mpeg4", 320, 240, "", "aac", 48000, 2, "libfaac"},
    {"pfIPod_LQ", kIso, "M4V ", "mpeg4", 320, 240, "", "aac", 48000, 2, "libfaac"},
    {"pf3gp", kIso, "3gp4", "h263", 176, 144, "", "amr_nb", 8000, 1, "libopencore_amrnb"},
    {"pf3gp2", kIso, "3g2a", "mpeg4", 176, 144, "", "aac", 16000, 2, "libfaac"},
    {"pf3gp2_hq", kIso, "3g2a", "mpeg4", 320, 240, "", "aac", 16000, 2, "libfaac"},
    {"pfIPad_H264", kIso, "isom", "h264", 720, 576, "", "aac", 44100, 2, "libfaac"},
    {"pfIPad_H264_HQ", kIso, "isom", "h264", 1280, 720, "", "aac", 48000, 2, "libfaac"},
    {"pfXb_H264_HD", kIso, "isom", "h264", 640, 480, "", "aac", 48000, 2, "libfaac"},
    {"pfXb_MPEG_MCE", "mpeg", "", "mpeg2video", 1440, 1080, "", "ac3", 48000, 2, ""},
    {"pfMKV", "matroska,webm", "", "h264", 0, 0, "", "mp3", 48000, 2, ""},
    {"pfDVD_PAL", "mpeg", "", "mpeg2video", 720, 576, "", "ac3", 48000, 2, ""},
    {"pfDVD_NTSC", "mpeg", "", "mpeg2video", 720, 480, "", "ac3", 48000, 2, ""},
    {"pfFlash", "flv", "", "flv1", 0, 0, "", "mp3", 44100, 2, ""},
    {"pfMOV", kIso, "qt  ", "mpeg4", 352, 288, "", "aac", 44100, 2, "libfaac"},
    {"pfJpeg", kImages, "", "mjpeg", 0, 0, "yuvj420p", "", 0, 0, ""},
    // The library writes GIF pictures only through its animated-GIF muxer: one file holds them all.
    {"pfGif", "gif", "", "gif", 0, 0, "", "", 0, 0, ""},
    {"pfPng", kImages, "", "png", 0, 0, "", "", 0, 0, ""},
    {"pfBmp", kImages, "", "bmp", 0, 0, "", "", 0, 0, ""},
    {"pfTiff", kImages, "", "tiff", 0, 0, "", "", 0, 0, ""},
    {"pfMp3_320", "mp3", "", "", 0, 0, "", "mp3", 48000, 2, ""},
    {"pfMp3_256", "mp3", "", "", 0, 0, "", "mp3", 48000, 2, ""},
};

void PrintTo(const TExpected& e, std::ostream* os) { *os << e.Name; }

// The frame rate an encoder gives a source rate: the source's, or the nearest of its list.
AVRational encodedRate(const std::string& codecName, AVRational source) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get_by_name(codecName.c_str());
  const AVCodec* encoder = descriptor ? avcodec_find_encoder(descriptor->id) : nullptr;
  if (!encoder || !encoder->supported_framerates) return source;
  return encoder->supported_framerates[av_find_nearest_q_idx(source, encoder->supported_framerates)];
}

class CatalogueConversionTest : public ::testing::TestWithParam<TExpected> {
 protected:
  static void SetUpTestSuite() {
    Catalogue = std::make_unique<profiles::TAVProfileList>();
    profiles::BuildCatalogue(*Catalogue);
  }
  static void TearDownTestSuite() { Catalogue.reset(); }

  const profiles::TAVProfile& profile() const {
    const profiles::TAVProfile* p = Catalogue->FindByName(GetParam().Name);
    if (!p) throw std::runtime_error(std::string("no catalogue profile ") + GetParam().Name);
    return *p;
  }

  // Converts source with the profile into the temporary folder, named as the wizard names it.
  TConversionResult convert(const TSourceClip& source) const {
    engine::TAVConvertOptions options;
    tasks::ApplyProfile(options, profile());
    return RunConversion(options, source.Path, tasks::MoveToFolder(Dir.Path(), tasks::ReplaceExtension(source.Path, profile().Extension())));
  }

  void expectCleanRun(const TConversionResult& run) const {
    EXPECT_EQ(run.ErrorText, "");
    EXPECT_TRUE(run.ErrorBoxes.empty()) << run.ErrorBoxes.front();
    for (const auto& line : run.Log) {
      EXPECT_EQ(line.find("is not known to this media library"), std::string::npos) << line;
      EXPECT_EQ(line.find("has no equivalent in this media library"), std::string::npos) << line;
    }
    std::vector<std::string> substitutions;
    for (const auto& line : run.Log)
      if (line.find("is not in this media library") != std::string::npos) substitutions.push_back(line);
    const std::string missing = GetParam().Substitute;
    if (missing.empty()) {
      EXPECT_TRUE(substitutions.empty()) << substitutions.front();
      return;
    }
    ASSERT_EQ(substitutions.size(), 1u) << "one line for the substitute of " << missing;
    EXPECT_NE(substitutions[0].find(missing), std::string::npos) << substitutions[0];
    const char* standIn = missing == "libfaac" ? "aac encodes" : "AMR-NB";
    EXPECT_NE(substitutions[0].find(standIn), std::string::npos) << substitutions[0];
  }

  void expectAudio(const TProbe& probe, int index, const TSourceClip& source) const {
    const TExpected& e = GetParam();
    EXPECT_EQ(probe.Stream(index, "codec_type"), "audio");
    EXPECT_EQ(probe.Stream(index, "codec_name"), e.Audio);
    EXPECT_EQ(probe.StreamNumber(index, "sample_rate"), e.SampleRate ? e.SampleRate : source.SampleRate);
    EXPECT_EQ(probe.StreamNumber(index, "channels"), e.Channels ? e.Channels : source.Channels);
  }

  static std::unique_ptr<profiles::TAVProfileList> Catalogue;
  TTempDir Dir;
};

std::unique_ptr<profiles::TAVProfileList> CatalogueConversionTest::Catalogue;

TEST_P(CatalogueConversionTest, ConvertsAVideoClipIntoTheFileItDescribes) {
  const TExpected& e = GetParam();
  const std::string name = e.Name;
  const TSourceClip& source = (name == "pfDv" || name == "pfDv50") ? DvClip() : Clip();
  const TConversionResult run = convert(source);
  expectCleanRun(run);
  const AVRational rate = encodedRate(e.Video, source.FrameRate);

  if (std::string(e.Container) == kImages) {
    // The pictures count up from 1 where the name has its number, or after the name.
    const std::vector<std::string> pictures = NumberedPictures(run.Output);
    ASSERT_FALSE(pictures.empty()) << run.Output;
    const double seconds = pictures.size() * av_q2d(av_inv_q(rate));
    EXPECT_NEAR(seconds, source.Duration, 0.5) << pictures.size() << " pictures";
    const TProbe first(pictures.front());
    ASSERT_TRUE(first.Ok());
    ASSERT_EQ(first.StreamCount(), 1);
    EXPECT_EQ(first.Stream(0, "codec_name"), e.Video);
    EXPECT_EQ(first.StreamNumber(0, "width"), source.Width);
    EXPECT_EQ(first.StreamNumber(0, "height"), source.Height);
    if (*e.PixelFormat) {
      EXPECT_EQ(first.Stream(0, "pix_fmt"), e.PixelFormat);
    }
    EXPECT_TRUE(DecodesCleanly(pictures.back()));
    return;
  }

  const TProbe probe(run.Output);
  ASSERT_TRUE(probe.Ok()) << run.Output;
  EXPECT_EQ(probe.Get("format.format_name"), e.Container);
  if (*e.Brand) {
    EXPECT_EQ(probe.Get("format.tags.major_brand"), e.Brand);
  }
  EXPECT_NEAR(probe.FormatNumber("duration"), source.Duration, 0.5);

  const int video = probe.StreamOfType("video");
  const int audio = probe.StreamOfType("audio");
  if (*e.Video) {
    ASSERT_GE(video, 0);
    EXPECT_EQ(probe.Stream(video, "codec_name"), e.Video);
    EXPECT_EQ(probe.StreamNumber(video, "width"), e.Width ? e.Width : source.Width);
    EXPECT_EQ(probe.StreamNumber(video, "height"), e.Height ? e.Height : source.Height);
    if (*e.PixelFormat) {
      EXPECT_EQ(probe.Stream(video, "pix_fmt"), e.PixelFormat);
    }
    EXPECT_NEAR(probe.StreamRate(video), av_q2d(rate), av_q2d(rate) * 0.01)
        << "source " << source.FrameRate.num << "/" << source.FrameRate.den;
  } else {
    EXPECT_LT(video, 0);
  }
  if (*e.Audio) {
    ASSERT_GE(audio, 0);
    expectAudio(probe, audio, source);
  } else {
    EXPECT_LT(audio, 0);
  }
  EXPECT_TRUE(DecodesCleanly(run.Output));

  // Audio profiles take sound-only sources too.
  if (!*e.Video) {
    const TConversionResult tone = convert(ToneClip());
    expectCleanRun(tone);
    const TProbe toneProbe(tone.Output);
    ASSERT_TRUE(toneProbe.Ok()) << tone.Output;
    EXPECT_EQ(toneProbe.StreamCount(), 1);
    ASSERT_EQ(toneProbe.StreamOfType("audio"), 0);
    expectAudio(toneProbe, 0, ToneClip());
    EXPECT_NEAR(toneProbe.FormatNumber("duration"), ToneClip().Duration, 0.5);
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueConversionTest, ::testing::ValuesIn(kCatalogue),
                         [](const ::testing::TestParamInfo<TExpected>& info) { return std::string(info.param.Name); });

TEST(CatalogueTable, CoversEveryCatalogueProfileInListOrder) {
  profiles::TAVProfileList list;
  profiles::BuildCatalogue(list);
  ASSERT_EQ(list.Count(), static_cast<int>(std::size(kCatalogue)));
  for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Items(i).Name, kCatalogue[i].Name);
}

}  // namespace
}  // namespace vc::test
