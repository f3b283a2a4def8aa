#include "profiles/ProfileCatalogue.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/AVConvertOptions.h"
#include "media/LegacyOptions.h"
#include "profiles/AVCustomVideoProfile.h"
#include "profiles/AVImageProfile.h"
#include "profiles/AVTargetProfile.h"
#include "profiles/AVX264Profile.h"
#include "support/OptionAcceptance.h"

namespace vc::profiles {
namespace {

class Catalogue : public ::testing::Test {
 protected:
  Catalogue() { BuildCatalogue(FList); }
  const TAVCustomVideoProfile& video(const char* name) {
    return dynamic_cast<const TAVCustomVideoProfile&>(*FList.FindByName(name));
  }
  TAVProfileList FList;
};

TEST_F(Catalogue, FiftySixProfilesInListOrder) {
  const std::vector<std::string> names = {
      "pfSVcd",         "pfDvd_old",     "pfDv50",          "pfDv",           "pfVcd",
      "pfImage",        "pfMp3",         "pfTV264_320",     "pfTV264_480",    "pfTV264_720",
      "pfTVMP4_480",    "pfTVMP4_480_hq", "pfTVMP4_480_lq", "pfZuneMP4",      "pfZuneAVC",
      "pfZuneWMV",      "pfWMX51",       "pfWMX51v",        "pfWMPocketPC",   "pfWMPocketPC_lq",
      "pfWMHP_hw6500",  "pfWMHP_hx2000", "pfWMHP_hx4700",   "pfPS3_hd",       "pfPS3_720",
      "pfPS3_480",      "pfPSP_Mpeg4",   "pfPSP_AVC",       "pfPSP_HQ",       "pfIPhone_264",
      "pfIPhone_264_tele", "pfIPhone_mpeg4", "pfIPhone_mpeg4_tele", "pfIPhone_mpeg4_wide", "pfIPod",
      "pfIPod_HQ",      "pfIPod_LQ",     "pf3gp",           "pf3gp2",         "pf3gp2_hq",
      "pfIPad_H264",    "pfIPad_H264_HQ", "pfXb_H264_HD",   "pfXb_MPEG_MCE",  "pfMKV",
      "pfDVD_PAL",      "pfDVD_NTSC",    "pfFlash",         "pfMOV",          "pfJpeg",
      "pfGif",          "pfPng",         "pfBmp",           "pfTiff",         "pfMp3_320",
      "pfMp3_256"};
  ASSERT_EQ(FList.Count(), 56);
  int custom = 0;
  for (int i = 0; i < FList.Count(); ++i) {
    EXPECT_EQ(FList.Items(i).Name, names[static_cast<size_t>(i)]);
    custom += FList.Items(i).IsCustom();
  }
  EXPECT_EQ(custom, 45);

  const std::map<std::string, std::string> classes = {
      {"pfSVcd", "TAVSVcdProfile"},      {"pfDvd_old", "TAVDvdProfile"},   {"pfDv50", "TAVDv50Profile"},
      {"pfDv", "TAVDvProfile"},          {"pfVcd", "TAVVcdProfile"},       {"pfImage", "TAVImageProfile"},
      {"pfMp3", "TAVCustomAudioProfile"}, {"pfMOV", "TAVCustomVideoProfile"}, {"pfTiff", "TAVImageProfile"},
      {"pfMp3_256", "TAVCustomAudioProfile"}};
  for (const auto& [name, cls] : classes) EXPECT_EQ(FList.FindByName(name)->ClassName(), cls) << name;

  const auto& image = dynamic_cast<const TAVImageProfile&>(*FList.FindByName("pfImage"));
  EXPECT_EQ(image.Description, "Image Sequence Profile");
  EXPECT_EQ(image.Extension(), ".bmp");
  EXPECT_EQ(image.Category, "");
  EXPECT_EQ(dynamic_cast<const TAVImageProfile&>(*FList.FindByName("pfTiff")).Extension(), "1.tif");
  EXPECT_EQ(dynamic_cast<const TAVImageProfile&>(*FList.FindByName("pfGif")).ImageType, TAVImageType::gif);
  EXPECT_EQ(dynamic_cast<const TAVTargetProfile&>(*FList.FindByName("pfDvd_old")).Target, TAVTarget::pal);
}

TEST_F(Catalogue, RowsCarryTheirValues) {
  const auto& mce = video("pfXb_MPEG_MCE");
  EXPECT_EQ(mce.Description, "Xbox360 MCE HD MPEG2 Video");
  EXPECT_EQ(mce.Extension(), ".mpg");
  EXPECT_EQ(mce.AudioEncoder, TCustomAudioEncoder::AC3);
  EXPECT_EQ(mce.AudioBitrate, 224);
  EXPECT_EQ(mce.VideoEncoder, TCustomVideoEncoder::MPEG2VIDEO);
  EXPECT_EQ(mce.FrameRate, TCustomFrameRate::r30);
  EXPECT_EQ(mce.VideoBitrate, 8000);

  const auto& wide = video("pfIPhone_mpeg4_wide");
  EXPECT_EQ(wide.SampleRate, 44100);
  EXPECT_EQ(wide.VideoEncoder, TCustomVideoEncoder::XVID);
  EXPECT_EQ(wide.Options.CommaText(), "maxrate=1000000,qmin=3,qmax=5,bufsize=4096k,g=300");

  const auto& gpp = video("pf3gp");
  EXPECT_EQ(gpp.AudioEncoder, TCustomAudioEncoder::AMR_NB);
  EXPECT_EQ(gpp.AudioChannels, TCustomAudioChannels::mono1);
  EXPECT_EQ(gpp.AudioBitrate, 12.2);
  EXPECT_EQ(gpp.Format, TCustomAVFormat::F_3GP);

  EXPECT_EQ(video("pfIPad_H264_HQ").Description, "IPad H264 Hiqh Quality");
  EXPECT_EQ(video("pfTV264_480").Description, "Apple TV H264 video(640x480)");
  EXPECT_EQ(video("pfIPod_LQ").FrameAspectRatio, TAVAspectRatio::AR4_3);
  EXPECT_EQ(video("pfIPhone_264_tele").FrameAspectRatio, TAVAspectRatio::AR_NONE);
  EXPECT_EQ(video("pfDVD_PAL").Description, "DVD MPEG TS(PAL)");
  EXPECT_EQ(video("pfPSP_HQ").Description, "PSP 480p Video");
  for (int i = 0; i < FList.Count(); ++i)
    if (const auto* v = dynamic_cast<const TAVCustomVideoProfile*>(&FList.Items(i))) {
      EXPECT_EQ(v->Pass, 0);
    }
}

TEST_F(Catalogue, CategoriesAndWhatTheyList) {
  EXPECT_EQ(FList.Categories.Lines(),
            (std::vector<std::string>{"Mobile", "Audio", "Video", "IPad", "IPhone", "IPod", "Zune", "PSP", "PS3",
                                      "Xbox", "Windows Mobile", "Apple TV"}));
  const std::vector<size_t> counts = {3, 3, 5, 2, 5, 3, 3, 3, 3, 2, 7, 6};
  size_t listed = 0;
  for (int i = 0; i < FList.Categories.Count(); ++i) {
    EXPECT_EQ(FList.ProfilesOfCategory(FList.Categories[i]).size(), counts[static_cast<size_t>(i)])
        << FList.Categories[i];
    listed += FList.ProfilesOfCategory(FList.Categories[i]).size();
  }
  EXPECT_EQ(listed, 45u);

  const auto xbox = FList.ProfilesOfCategory("Xbox");
  EXPECT_EQ(xbox[0]->Name, "pfXb_H264_HD");  // category "XBox"
  EXPECT_EQ(xbox[1]->Name, "pfXb_MPEG_MCE");
  std::vector<std::string> audio;
  for (const auto* p : FList.ProfilesOfCategory("Audio")) audio.push_back(p->Description);
  EXPECT_EQ(audio, (std::vector<std::string>{"MP3 Audio", "MP3 Audio 320", "MP3 Audio 256"}));
  // The wizard's start: first category, first profile.
  EXPECT_EQ(FList.ProfilesOfCategory(FList.Categories[0]).front()->Description, "3GPP");
  EXPECT_EQ(FList.ProfilesOfCategory("Images").size(), 5u);  // built, never listed
}

TEST_F(Catalogue, NamedFrameSizes) {
  EXPECT_EQ(video("pfIPhone_mpeg4_wide").FrameSize(), TAVFrameSize::fsIPhoneWide);
  EXPECT_EQ(video("pfWMHP_hw6500").FrameSize(), TAVFrameSize::fsIPaq);
  EXPECT_EQ(video("pfXb_MPEG_MCE").FrameSize(), TAVFrameSize::fsMceHd);
  EXPECT_EQ(video("pfMKV").FrameSize(), TAVFrameSize::fsOriginal);
  EXPECT_EQ(video("pfPSP_AVC").FrameSize(), TAVFrameSize::fsPsp);
}

// The muxer the target file gets: the profile's container, else the one its extension implies.
std::string muxerOf(const engine::TAVConvertOptions& o, const TAVProfile& p) {
  if (!o.OutputFormat.empty()) return o.OutputFormat;
  const AVOutputFormat* f = av_guess_format(nullptr, ("clip" + p.Extension()).c_str(), nullptr);
  return f ? f->name : "";
}

void expectAllTranslated(const engine::TAVConvertOptions& o, const std::string& encoder, const std::string& muxer,
                         const std::string& who) {
  for (int i = 0; i < o.CodecOptions.Count(); ++i) {
    for (const auto& t : media::TranslateLegacyOption(o.CodecOptions.Names(i), o.CodecOptions.ValueFromIndex(i)))
      EXPECT_EQ(test::OptionRefusal(t, encoder, muxer), "") << who << ": " << o.CodecOptions[i];
  }
}

TEST_F(Catalogue, EveryOptionLineItWritesIsKnownToTodaysLibrary) {
  std::vector<std::unique_ptr<TAVProfile>> targets;
  for (auto target : {TAVTarget::ntsc, TAVTarget::film}) {
    std::unique_ptr<TAVTargetProfile> discs[] = {std::make_unique<TAVVcdProfile>(), std::make_unique<TAVSVcdProfile>(),
                                                 std::make_unique<TAVDvdProfile>()};
    for (auto& d : discs) {
      d->Target = target;
      targets.push_back(std::move(d));
    }
  }
  std::vector<const TAVProfile*> all;
  for (int i = 0; i < FList.Count(); ++i) all.push_back(&FList.Items(i));
  for (const auto& t : targets) all.push_back(t.get());
  for (const TAVProfile* p : all) {
    engine::TAVConvertOptions o;
    ASSERT_TRUE(p->Apply(o));
    expectAllTranslated(o, o.VideoOptions.EncoderVideoCodecName, muxerOf(o, *p), p->Description);
  }
  for (int preset = 0; preset <= Ord(TPreset::LosslessMax); ++preset) {
    engine::TAVConvertOptions o;
    TAVX264Profile x264;
    x264.preset = static_cast<TPreset>(preset);
    x264.Apply(o);
    expectAllTranslated(o, "libx264", "mp4", PresetValueNames[static_cast<size_t>(preset)]);
  }
}

}  // namespace
}  // namespace vc::profiles
