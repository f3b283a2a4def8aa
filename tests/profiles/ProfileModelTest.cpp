#include <gtest/gtest.h>

#include "base/Errors.h"
#include "profiles/AVCustomVideoProfile.h"
#include "profiles/AVImageProfile.h"
#include "profiles/AVProfileList.h"
#include "profiles/AVTargetProfile.h"
#include "profiles/AVX264Profile.h"
#include "profiles/ProfileEnums.h"

namespace vc::profiles {
namespace {

// Counts destructions, in order, through the description of each destroyed profile.
std::vector<std::string> gDestroyed;
class TTracedProfile final : public TAVCustomAudioProfile {
 public:
  explicit TTracedProfile(const char* d) { Description = d; }
  ~TTracedProfile() override { gDestroyed.push_back(Description); }
};

std::vector<std::string> descriptions(const TAVProfileList& list) {
  std::vector<std::string> d;
  for (int i = 0; i < list.Count(); ++i) d.push_back(list.Items(i).Description);
  return d;
}

TEST(ProfileList, OwnsItsProfilesAndDestroysThemLastFirst) {
  gDestroyed.clear();
  {
    TAVProfileList list;
    list.Add(std::make_unique<TTracedProfile>("a"));
    list.Add(std::make_unique<TTracedProfile>("b"));
    auto& c = list.Add(std::make_unique<TTracedProfile>("c"));
    list.Delete(c);
    EXPECT_EQ(gDestroyed, (std::vector<std::string>{"c"}));
  }
  EXPECT_EQ(gDestroyed, (std::vector<std::string>{"c", "b", "a"}));
}

TEST(ProfileList, IndexSetIndexAndMovingBetweenLists) {
  TAVProfileList list, other;
  for (const char* d : {"a", "b", "c", "d"}) {
    auto p = std::make_unique<TAVCustomAudioProfile>();
    p->Description = d;
    list.Add(std::move(p));
  }
  TAVProfile& b = list.Items(1);
  EXPECT_EQ(b.Index(), 1);
  b.SetIndex(3);
  EXPECT_EQ(descriptions(list), (std::vector<std::string>{"a", "c", "d", "b"}));
  b.SetIndex(-5);  // clamped
  EXPECT_EQ(descriptions(list), (std::vector<std::string>{"b", "a", "c", "d"}));
  b.SetIndex(99);
  EXPECT_EQ(b.Index(), 3);

  b.SetProfileList(list);  // already there: nothing moves
  EXPECT_EQ(b.Index(), 3);
  list.Items(0).SetProfileList(other);
  EXPECT_EQ(descriptions(list), (std::vector<std::string>{"c", "d", "b"}));
  EXPECT_EQ(descriptions(other), (std::vector<std::string>{"a"}));
  EXPECT_EQ(other.Items(0).ProfileList(), &other);

  auto detached = b.Detach();
  EXPECT_EQ(detached->ProfileList(), nullptr);
  EXPECT_EQ(detached->Index(), -1);
  detached->SetIndex(0);  // nothing happens while detached
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.Add(nullptr), base::EAssertionFailed);
}

TEST(ProfileList, ClearCustomProfilesKeepsTheOthersInOrder) {
  TAVProfileList list;
  list.Add(std::make_unique<TAVVcdProfile>());
  list.Add(std::make_unique<TAVCustomAudioProfile>());
  list.Add(std::make_unique<TAVImageProfile>());
  list.Add(std::make_unique<TAVCustomVideoProfile>());
  list.Add(std::make_unique<TAVDvProfile>());
  list.ClearCustomProfiles();
  EXPECT_EQ(descriptions(list), (std::vector<std::string>{"VCD", "Image Sequence Profile", "DV"}));
}

TEST(ProfileList, ListsACategoryIgnoringCase) {
  TAVProfileList list;
  for (const char* c : {"Xbox", "Audio", "XBox", "xbox "}) {
    auto p = std::make_unique<TAVCustomAudioProfile>();
    p->Category = c;
    list.Add(std::move(p));
  }
  const auto xbox = list.ProfilesOfCategory("XBOX");
  ASSERT_EQ(xbox.size(), 2u);
  EXPECT_EQ(xbox[0], &list.Items(0));
  EXPECT_EQ(xbox[1], &list.Items(2));
}

TEST(ProfileClasses, ConstructorDefaults) {
  const struct {
    std::unique_ptr<TAVProfile> profile;
    const char* description;
    const char* extension;
  } cases[] = {
      {std::make_unique<TAVVcdProfile>(), "VCD", ".mpg"},
      {std::make_unique<TAVSVcdProfile>(), "SVCD", ".mpg"},
      {std::make_unique<TAVDvdProfile>(), "DVD", ".vob"},
      {std::make_unique<TAVDvProfile>(), "DV", ".dv"},
      {std::make_unique<TAVDv50Profile>(), "DV50", ".dv"},
      {std::make_unique<TAVImageProfile>(), "Image Sequence Profile", ""},
      {std::make_unique<TAVX264Profile>(), "H264 Profile", ".mp4"},
      {std::make_unique<TAVCustomVideoProfile>(), "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.profile->Description, c.description);
    EXPECT_EQ(c.profile->Extension(), c.extension);
    EXPECT_EQ(c.profile->Category, "");
  }
  TAVCustomVideoProfile v;
  EXPECT_EQ(v.SampleRate, 0);
  EXPECT_EQ(v.AudioEncoder, TCustomAudioEncoder::AAC);
  EXPECT_EQ(v.AudioBitrate, 0);
  EXPECT_TRUE(v.Options.Empty());
  EXPECT_EQ(v.VideoEncoder, TCustomVideoEncoder::H263);
  EXPECT_EQ(v.FrameRate, TCustomFrameRate::rOriginal);
  EXPECT_EQ(v.Pass, 0);
  EXPECT_EQ(v.FrameAspectRatio, TAVAspectRatio::AR_NONE);
  EXPECT_TRUE(v.IsCustom());
  EXPECT_FALSE(TAVVcdProfile().IsCustom());
  EXPECT_EQ(TAVDvdProfile().Target, TAVTarget::pal);
}

TEST(ProfileEnums, OrdinalsAndDisplayTables) {
  EXPECT_EQ(Ord(TCustomAudioEncoder::AMR_NB), 7);
  EXPECT_EQ(Ord(TCustomAVFormat::F_AC3), 16);
  EXPECT_EQ(Ord(TCustomVideoEncoder::FLV), 8);
  EXPECT_EQ(Ord(TCustomFrameRate::r30), 7);
  EXPECT_EQ(Ord(TPreset::LosslessMax), 10);
  EXPECT_EQ(Ord(TAVFrameSize::fsMceHd), 38);
  EXPECT_STREQ(FormatNames[6], "3GP2");
  EXPECT_STREQ(VideoEncoderNames[5], "MSMPEGV3");
  EXPECT_STREQ(AudioEncoderNames[6], "RA1");
  EXPECT_STREQ(FrameRateNames[3], "23.97");
  EXPECT_STREQ(ChannelNames[1], "stereo");
}

TEST(ProfileEnums, FrameSizesKeepTheirShippedNames) {
  ASSERT_EQ(FrameSizes.size(), 39u);
  EXPECT_STREQ(FrameSizes[4].Name, "240x240)");
  EXPECT_STREQ(FrameSizes[25].Name, "wxga(1366x678)");
  EXPECT_EQ(FrameSizes[25].Width, 1366);
  EXPECT_EQ(FrameSizes[25].Height, 768);
  EXPECT_STREQ(FrameSizes[13].Name, "16cif(1408x1152)");
  EXPECT_STREQ(FrameSizes[38].Name, "1440x1080");
  EXPECT_EQ(FrameSizes[7].Height, 406);

  // The first matching row wins: 852x480 is row 24 as well as row 35.
  EXPECT_EQ(FrameSizeOf(852, 480), TAVFrameSize::fsWvga);
  EXPECT_EQ(FrameSizeOf(1366, 768), TAVFrameSize::fsWxga);
  EXPECT_EQ(FrameSizeOf(100, 100), TAVFrameSize::fsOriginal);
  EXPECT_EQ(FrameSizeOf(0, 0), TAVFrameSize::fsOriginal);
  TAVCustomVideoProfile v;
  v.FrameWidth = 240;
  v.FrameHeight = 240;
  EXPECT_EQ(v.FrameSize(), TAVFrameSize::fsIPaq);
}

TEST(ProfileClasses, PublishedPropertiesInOrder) {
  std::vector<std::string> names;
  for (const auto& p : TAVCustomVideoProfile().Properties()) names.push_back(p.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Description", "Extension", "Category", "SampleRate", "AudioEncoder",
                                             "AudioChannels", "AudioBitrate", "Format", "Options", "FrameWidth",
                                             "FrameHeight", "VideoEncoder", "FrameRate", "VideoBitrate", "Pass",
                                             "FrameAspectRatio"}));
  TAVImageProfile image;
  const auto& ext = image.Properties()[1];
  ext.SetStr(image, "1.png");
  EXPECT_EQ(image.Extension(), "1.png");
}

}  // namespace
}  // namespace vc::profiles
