#include "profiles/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/Errors.h"
#include "base/IniFile.h"
#include "engine/AVConvertOptions.h"
#include "profiles/AVCustomVideoProfile.h"
#include "profiles/AVImageProfile.h"
#include "profiles/AVTargetProfile.h"
#include "profiles/ProfileCatalogue.h"
#include "support/TestSupport.h"

namespace vc::profiles {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

// Sets LC_ALL for the object's lifetime (the profile file reads the user's number settings).
class TLocale final {
 public:
  explicit TLocale(const char* name) {
    if (const char* old = std::getenv("LC_ALL")) {
      FHadOld = true;
      FOld = old;
    }
    setenv("LC_ALL", name, 1);
  }
  ~TLocale() {
    if (FHadOld)
      setenv("LC_ALL", FOld.c_str(), 1);
    else
      unsetenv("LC_ALL");
  }

 private:
  bool FHadOld = false;
  std::string FOld;
};

TAVCustomVideoProfile& catalogueProfile(TAVProfileList& list, const char* name) {
  return dynamic_cast<TAVCustomVideoProfile&>(*list.FindByName(name));
}

std::vector<std::string> descriptions(const TAVProfileList& list) {
  std::vector<std::string> d;
  for (int i = 0; i < list.Count(); ++i) d.push_back(list.Items(i).Description);
  return d;
}

TEST(ProfileFile, NameFollowsTheApplicationDataFolder) {
  test::TIsolatedConfig config;
  EXPECT_EQ(ProfileFileName(), config.Root() + "/Tamberlin/VelocastProfiles.ini");
}

TEST(ProfileFile, The3gpp2ProfileAloneByteForByte) {
  TTempDir dir;
  TAVProfileList catalogue;
  BuildCatalogue(catalogue);
  TAVProfileList list;
  list.Add(catalogue.FindByName("pf3gp2")->Detach());
  SaveProfiles(list, dir.File("Profiles.ini"));
  EXPECT_EQ(ReadFile(dir.File("Profiles.ini")),
            "[Profile]\n"
            "Description0=3GPP2\n"
            "Extension0=.3g2\n"
            "Category0=Mobile\n"
            "IsVideo0=1\n"
            "SampleRate0=16000\n"
            "AudioEncoder0=0\n"
            "AudioChannels0=1\n"
            "AudioBitrate0=32\n"
            "Format0=6\n"
            "Options0=flags=bitexact\n"
            "FrameWidth0=176\n"
            "FrameHeight0=144\n"
            "VideoEncoder0=2\n"
            "FrameRate0=1\n"
            "VideoBitrate0=192\n"
            "ProfileCount=1\n");
}

TEST(ProfileFile, OptionsTravelAsCommaText) {
  base::TIniFile ini("unused.ini");
  TAVCustomAudioProfile p;
  p.Options.SetCommaText("maxrate=1000000,qmin=3,qmax=5,bufsize=4096k,g=300");
  EXPECT_EQ(p.Options.Lines(),
            (std::vector<std::string>{"maxrate=1000000", "qmin=3", "qmax=5", "bufsize=4096k", "g=300"}));
  p.SaveToIni(ini, 4);
  EXPECT_EQ(ini.ReadString("Profile", "Options4", ""), "maxrate=1000000,qmin=3,qmax=5,bufsize=4096k,g=300");

  // Lines with blanks, commas and quotes survive the file.
  p.Options = {"title=a b", "list=x,y", "say=\"hi\""};
  p.SaveToIni(ini, 4);
  TAVCustomAudioProfile back;
  back.LoadFromIni(ini, 4);
  EXPECT_EQ(back.Options, p.Options);
}

TEST(ProfileFile, ProfilesComeBackAsTheyWereSavedWithoutPassOrAspect) {
  TTempDir dir;
  TAVProfileList list;
  BuildCatalogue(list);
  auto& iphone = catalogueProfile(list, "pfIPhone_mpeg4");
  iphone.Pass = 2;
  ASSERT_EQ(iphone.FrameAspectRatio, TAVAspectRatio::AR4_3);
  SaveProfiles(list, dir.File("p.ini"));
  const base::TIniFile ini(dir.File("p.ini"));
  EXPECT_EQ(ini.ReadInteger("Profile", "ProfileCount", 0), 45);
  EXPECT_EQ(ini.ReadString("Profile", "Description0", ""), "MP3 Audio");  // the fixed profiles use no number
  EXPECT_EQ(ini.ReadString("Profile", "IsVideo0", ""), "0");
  EXPECT_EQ(ini.ReadString("Profile", "IsVideo1", ""), "1");
  EXPECT_EQ(ini.ReadString("Profile", "AudioBitrate31", ""), "12.2");
  EXPECT_FALSE(ini.ValueExists("Profile", "FrameWidth0"));
  EXPECT_FALSE(ini.ValueExists("Profile", "Pass1"));

  TAVProfileList loaded;
  BuildCatalogue(loaded);
  LoadProfiles(loaded, dir.File("p.ini"));
  ASSERT_EQ(loaded.Count(), 56);
  // The eleven fixed profiles stand together ahead of the stored ones.
  for (int i = 0; i < 11; ++i) EXPECT_FALSE(loaded.Items(i).IsCustom()) << i;
  std::vector<std::string> expected;
  for (int i = 0; i < list.Count(); ++i)
    if (list.Items(i).IsCustom()) expected.push_back(list.Items(i).Description);
  std::vector<std::string> actual = descriptions(loaded);
  actual.erase(actual.begin(), actual.begin() + 11);
  EXPECT_EQ(actual, expected);

  const auto* back = dynamic_cast<const TAVCustomVideoProfile*>(&loaded.Items(11 + 25));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Description, "IPhone MPEG4 Video");
  EXPECT_EQ(back->Name, "");
  EXPECT_EQ(back->Pass, 0);
  EXPECT_EQ(back->FrameAspectRatio, TAVAspectRatio::AR_NONE);
  EXPECT_EQ(back->Options, iphone.Options);
  EXPECT_EQ(back->FrameWidth, 480);
  EXPECT_EQ(back->VideoEncoder, TCustomVideoEncoder::MPEG4);
  EXPECT_EQ(back->FrameRate, TCustomFrameRate::r2997);
  EXPECT_EQ(back->Format, TCustomAVFormat::F_MP4);
  const auto* amr = dynamic_cast<const TAVCustomVideoProfile*>(&loaded.Items(11 + 31));
  EXPECT_EQ(amr->AudioBitrate, 12.2);
  EXPECT_EQ(amr->AudioChannels, TCustomAudioChannels::mono1);
  EXPECT_EQ(typeid(loaded.Items(11)), typeid(TAVCustomAudioProfile));
}

TEST(ProfileFile, ASmallerSaveLeavesStaleKeysThatAreIgnored) {
  TTempDir dir;
  const std::string file = dir.File("p.ini");
  TAVProfileList list;
  BuildCatalogue(list);
  SaveProfiles(list, file);
  // Delete every custom profile but the last two, then save again.
  while (list.Count() > 13) {
    for (int i = 0; i < list.Count(); ++i)
      if (list.Items(i).IsCustom()) {
        list.Delete(list.Items(i));
        break;
      }
  }
  SaveProfiles(list, file);
  const base::TIniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("Profile", "ProfileCount", 0), 2);
  EXPECT_EQ(ini.ReadString("Profile", "Description0", ""), "MP3 Audio 320");
  EXPECT_EQ(ini.ReadString("Profile", "Description44", ""), "MP3 Audio 256");  // stale
  // The count kept its line, the last one of the first save.
  const std::string text = ReadFile(file);
  EXPECT_EQ(text.substr(text.rfind("\n", text.size() - 2) + 1), "ProfileCount=2\n");

  TAVProfileList loaded;
  BuildCatalogue(loaded);
  LoadProfiles(loaded, file);
  EXPECT_EQ(loaded.Count(), 13);
  EXPECT_EQ(loaded.Items(12).Description, "MP3 Audio 256");
}

TEST(ProfileFile, ACountThatIsMissingOrNoNumberClearsTheCustomProfiles) {
  TTempDir dir;
  for (const char* text : {"[Profile]\nDescription0=x\n", "[Profile]\nProfileCount=many\n", "[Profile]\nProfileCount=0\n",
                           "garbage\x01\x02 no sections at all"}) {
    WriteFile(dir.File("p.ini"), text);
    TAVProfileList list;
    BuildCatalogue(list);
    LoadProfiles(list, dir.File("p.ini"));
    EXPECT_EQ(list.Count(), 11) << text;
  }
}

TEST(ProfileFile, DamagedValuesKeepDefaultsAndOrdinalsAreKeptAsRead) {
  TTempDir dir;
  WriteFile(dir.File("p.ini"),
            "[Profile]\n"
            "ProfileCount=2000000000\n"
            "IsVideo0=7\n"
            "SampleRate0=fast\n"
            "AudioBitrate0=lots\n"
            "VideoEncoder0=300\n"
            "AudioEncoder0=9\n"
            "Description1=audio only\n");
  TAVProfileList list;
  LoadProfiles(list, dir.File("p.ini"));
  // Seven keys cannot hold more than seven profiles.
  ASSERT_EQ(list.Count(), 7);
  const auto* v = dynamic_cast<const TAVCustomVideoProfile*>(&list.Items(0));
  ASSERT_NE(v, nullptr);  // any non-zero IsVideo
  EXPECT_EQ(v->SampleRate, 0);
  EXPECT_EQ(v->AudioBitrate, 0);
  EXPECT_EQ(Ord(v->VideoEncoder), 300 % 256);
  EXPECT_EQ(Ord(v->AudioEncoder), 9);
  EXPECT_EQ(typeid(list.Items(1)), typeid(TAVCustomAudioProfile));
  EXPECT_EQ(list.Items(1).Description, "audio only");

  // Apply refuses the out-of-range ordinal at its step; what came before stays set.
  engine::TAVConvertOptions options;
  try {
    v->Apply(options);
    FAIL() << "no error";
  } catch (const base::EVelocastError& e) {
    EXPECT_STREQ(e.what(), "The profile \"\" has an invalid audio encoder (9)");
  }
  EXPECT_TRUE(options.VideoOptions.VideoDisable);
}

TEST(ProfileFile, AnUnreadableFileChangesNothing) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("p.ini"));
  TAVProfileList list;
  BuildCatalogue(list);
  EXPECT_THROW(LoadProfiles(list, dir.File("p.ini")), base::EVelocastError);
  EXPECT_EQ(list.Count(), 56);
}

TEST(ProfileFile, LoadingTheUserFileOnlyWhenItExists) {
  test::TIsolatedConfig config;
  TAVProfileList list;
  BuildCatalogue(list);
  EXPECT_FALSE(LoadProfiles(list));
  EXPECT_EQ(list.Count(), 56);
  // Saving creates the folder.
  SaveProfiles(list);
  EXPECT_TRUE(std::filesystem::exists(config.Root() + "/Tamberlin/VelocastProfiles.ini"));
  EXPECT_TRUE(LoadProfiles(list));
  EXPECT_EQ(list.Count(), 56);
}

TEST(ProfileFile, AFailedSaveNamesTheFile) {
  TTempDir dir;
  WriteFile(dir.File("plain"), "not a folder");
  TAVProfileList list;
  BuildCatalogue(list);
  try {
    SaveProfiles(list, dir.File("plain/p.ini"));
    FAIL() << "no error";
  } catch (const base::EVelocastError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir.File("plain/p.ini"));
  }
  EXPECT_EQ(ReadFile(dir.File("plain")), "not a folder");
}

TEST(ProfileFile, AudioBitrateFollowsTheUsersDecimalSeparator) {
  TTempDir dir;
  TAVCustomAudioProfile p;
  p.AudioBitrate = 12.2;
  {
    TLocale german("de_DE.UTF-8");
    base::TIniFile ini(dir.File("de.ini"));
    p.SaveToIni(ini, 0);
    EXPECT_EQ(ini.ReadString("Profile", "AudioBitrate0", ""), "12,2");
    TAVCustomAudioProfile back;
    back.LoadFromIni(ini, 0);
    EXPECT_EQ(back.AudioBitrate, 12.2);
  }
  base::TIniFile ini(dir.File("c.ini"));
  p.SaveToIni(ini, 0);
  EXPECT_EQ(ini.ReadString("Profile", "AudioBitrate0", ""), "12.2");
  // A file written under the other locale still reads.
  ini.WriteString("Profile", "AudioBitrate0", "7,5");
  TAVCustomAudioProfile back;
  back.LoadFromIni(ini, 0);
  EXPECT_EQ(back.AudioBitrate, 7.5);
}

}  // namespace
}  // namespace vc::profiles
