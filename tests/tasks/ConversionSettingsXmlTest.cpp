#include <gtest/gtest.h>

#include <clocale>
#include <functional>

#include "base/Errors.h"
#include "base/ObjectXml.h"
#include "support/TestSupport.h"
#include "tasks/ConversionSettings.h"

using namespace vc::base;
using vc::tasks::TAVSourceType;
using vc::tasks::TConversionSettings;

namespace {

// Gives every stored property of object (and of its owned objects) a value that differs from
// its default and is valid for its setter; seed makes values differ between properties.
void fillDistinct(TPersistent& object, int& seed) {
  for (const auto& p : object.Properties()) {
    ++seed;
    switch (p.Kind) {
      case TPropKind::Integer:
        p.SetOrd(object, p.Name == "Pass" ? 2 : 1000 + seed);
        break;
      case TPropKind::Boolean:
        p.SetOrd(object, 1);
        break;
      case TPropKind::Enumeration:
        p.SetOrd(object, static_cast<int64_t>(p.EnumNames.size()) - 1);
        break;
      case TPropKind::Int64:
        p.SetOrd(object, 1'000'000'000'000LL + seed);
        break;
      case TPropKind::Single:
        p.SetFloat(object, 0.25 * seed);
        break;
      case TPropKind::Double:
        p.SetFloat(object, 12.5 + seed);
        break;
      case TPropKind::String:
        p.SetStr(object, "value " + std::to_string(seed) + " <&> \"quoted\" 'x'");
        break;
      case TPropKind::Object:
        fillDistinct(*p.GetObject(object), seed);
        break;
      case TPropKind::StringList: {
        TStrings lines;
        if (p.SetList) {  // quantisation matrices
          for (int i = 0; i < 64; ++i) lines.Add(std::to_string(seed + i));
          p.SetList(object, lines);
        } else {
          lines = TStrings{"k" + std::to_string(seed) + "=v", "", "last line"};
          *p.GetList(object) = lines;
        }
        break;
      }
    }
  }
}

// Compares every stored property of two objects of one class, naming the first that differs.
void expectSameProperties(TPersistent& a, TPersistent& b, const std::string& path = "") {
  for (const auto& p : a.Properties()) {
    const std::string name = path + p.Name;
    switch (p.Kind) {
      case TPropKind::Integer:
      case TPropKind::Boolean:
      case TPropKind::Enumeration:
      case TPropKind::Int64:
        EXPECT_EQ(p.GetOrd(a), p.GetOrd(b)) << name;
        break;
      case TPropKind::Single:
      case TPropKind::Double:
        EXPECT_EQ(p.GetFloat(a), p.GetFloat(b)) << name;
        break;
      case TPropKind::String:
        EXPECT_EQ(p.GetStr(a), p.GetStr(b)) << name;
        break;
      case TPropKind::Object:
        expectSameProperties(*p.GetObject(a), *p.GetObject(b), name + ".");
        break;
      case TPropKind::StringList:
        EXPECT_EQ(p.GetList(a)->Lines(), p.GetList(b)->Lines()) << name;
        break;
    }
  }
}

}  // namespace

TEST(ConversionSettingsXmlTest, EveryPropertyRoundTrips) {
  TConversionSettings written;
  int seed = 0;
  fillDistinct(written, seed);
  ASSERT_EQ(written.ConvertOptions.VideoOptions.Pass(), 2);
  ASSERT_EQ(written.ConvertOptions.VideoOptions.IntraMatrix().Count(), 64);

  const std::string text = written.ToXml();
  EXPECT_EQ(text.find('\n'), std::string::npos) << "settings are stored on one line";
  TConversionSettings read;
  read.FromXml(text);
  expectSameProperties(written, read);
  EXPECT_EQ(read.ConvertOptions.VideoOptions.IntraMatrixValues(), written.ConvertOptions.VideoOptions.IntraMatrixValues());
  EXPECT_EQ(read.ToXml(), text);
}

TEST(ConversionSettingsXmlTest, DefaultsRoundTripIntoAFreshObject) {
  TConversionSettings written;
  TConversionSettings read;
  read.FromXml(written.ToXml());
  expectSameProperties(written, read);

  // Integers without a declared default are always written, so they overwrite what was there;
  // an element left out (FrameRate 25/1) keeps the values the object holds.
  TConversionSettings used;
  used.ConvertOptions.AudioOptions.AudioVolume = 512;
  used.ConvertOptions.VideoOptions.FrameRate.num = 30;
  used.FromXml(written.ToXml());
  EXPECT_EQ(used.ConvertOptions.AudioOptions.AudioVolume, 256);
  EXPECT_EQ(used.ConvertOptions.VideoOptions.FrameRate.num, 30);
}

TEST(ConversionSettingsXmlTest, NewSettingsWriteTheExpectedElements) {
  TConversionSettings s;
  const std::string text = s.ToXml();
  EXPECT_EQ(text.rfind("<data PropFormat=\"node\"><TConversionSettings><SourceType>stFile</SourceType>"
                       "<DvdTitle>0</DvdTitle><DvdChapter>0</DvdChapter><DvdThrough>0</DvdThrough>"
                       "<DvdAngle>0</DvdAngle><CategoryId>0</CategoryId><ConvertOptions>",
                       0),
            0u)
      << text;
  for (const char* absent : {"<SourceFile", "<TargetFile", "<Profile", "<Duration", "<SourceFileSize", "<FrameRate",
                             "<ThreadCount", "<StartTime", "<IntraDcPrecision"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  // String lists always write an element; Single values print widened.
  EXPECT_NE(text.find("<MetaData Count=\"0\"/>"), std::string::npos);
  EXPECT_NE(text.find("<AudioDriftThreshold>0.100000001490116</AudioDriftThreshold>"), std::string::npos);
  EXPECT_NE(text.find("<MuxPreload>0.5</MuxPreload><MuxMaxDelay>0.699999988079071</MuxMaxDelay>"), std::string::npos);
  EXPECT_NE(text.find("<RecordingTime>9223372036854775807</RecordingTime>"), std::string::npos);
  EXPECT_NE(text.find("<MaxFrames>2147483647</MaxFrames><Bitrate>0</Bitrate><ForceKeyFrames Count=\"0\"/>"),
            std::string::npos)
      << "the video MaxFrames has no declared default";
  EXPECT_TRUE(text.ends_with("</ConvertOptions></TConversionSettings></data>")) << text;

  s.SourceFile = "/media/clip one.avi";
  EXPECT_EQ(s.ToXml().rfind("<data PropFormat=\"node\"><TConversionSettings><SourceFile>/media/clip one.avi</SourceFile>"
                            "<SourceType>stFile</SourceType>",
                            0),
            0u);
}

TEST(ConversionSettingsXmlTest, FrameRateIsWrittenOnlyWhenNot25) {
  TConversionSettings s;
  s.ConvertOptions.VideoOptions.FrameRate.num = 30000;
  s.ConvertOptions.VideoOptions.FrameRate.den = 1001;
  EXPECT_NE(s.ToXml().find("<FrameRate><num>30000</num><den>1001</den></FrameRate>"), std::string::npos);

  TConversionSettings read;
  read.ConvertOptions.VideoOptions.FrameRate.num = 30000;
  read.FromXml(TConversionSettings().ToXml());
  EXPECT_EQ(read.ConvertOptions.VideoOptions.FrameRate.num, 30000) << "an absent object element keeps its values";
  read.FromXml("<data PropFormat=\"node\"><TConversionSettings><ConvertOptions><VideoOptions><FrameRate/>"
               "</VideoOptions></ConvertOptions></TConversionSettings></data>");
  EXPECT_EQ(read.ConvertOptions.VideoOptions.FrameRate.num, 25) << "absent num inside the element is the default";
  EXPECT_EQ(read.ConvertOptions.VideoOptions.FrameRate.den, 1);
}

TEST(ConversionSettingsXmlTest, StringListsKeepEmptyLinesByNumber) {
  TConversionSettings s;
  s.ConvertOptions.MetaData = TStrings{"title=One", "", "artist=Two"};
  const std::string text = s.ToXml();
  EXPECT_NE(text.find("<MetaData Count=\"3\"><l0>title=One</l0><l2>artist=Two</l2></MetaData>"), std::string::npos);
  TConversionSettings read;
  read.ConvertOptions.CodecOptions = TStrings{"stale=1"};
  read.FromXml(text);
  EXPECT_EQ(read.ConvertOptions.MetaData, s.ConvertOptions.MetaData);
  EXPECT_EQ(read.ConvertOptions.CodecOptions.Count(), 0);
}

TEST(ConversionSettingsXmlTest, ReadingMatchesNamesWithoutCaseAndRejectsBadValues) {
  TConversionSettings s;
  s.FromXml("<DATA propformat=\"NODE\"><tconversionsettings><sourcefile>/a.avi</sourcefile><sourcetype>STDVD</sourcetype>"
            "</tconversionsettings></DATA>");
  EXPECT_EQ(s.SourceFile, "/a.avi");
  EXPECT_EQ(s.SourceType, TAVSourceType::stDvd);

  const struct {
    const char* body;
    const char* message;
  } bad[] = {
      {"<DvdTitle>abc</DvdTitle>", "Invalid integer value (abc)."},
      {"<ConvertOptions><AudioOptions><AudioDisable>true</AudioDisable></AudioOptions></ConvertOptions>",
       "Invalid boolean value (true)."},
      {"<SourceFileSize>12kB</SourceFileSize>", "Invalid int64 value (12kB)."},
  };
  for (const auto& c : bad) {
    TConversionSettings t;
    try {
      t.FromXml(std::string("<data PropFormat=\"node\"><TConversionSettings>") + c.body + "</TConversionSettings></data>");
      ADD_FAILURE() << "no error for " << c.body;
    } catch (const EVelocastError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_THROW(s.FromXml("<data PropFormat=\"auto\"><TConversionSettings/></data>"), EVelocastError);
}

TEST(ConversionSettingsXmlTest, TextThatIsNotSettingsLeavesTheObjectAlone) {
  for (const char* text : {"not xml at all", "<data PropFormat=\"node\"><Other/></data>", ""}) {
    TConversionSettings s;
    s.Profile = "kept";
    s.FromXml(text);
    EXPECT_EQ(s.Profile, "kept") << text;
  }
  TConversionSettings f;
  f.FromXml("<data PropFormat=\"node\"><TConversionSettings><Duration>1,5</Duration></TConversionSettings></data>");
  EXPECT_EQ(f.Duration, 0) << "a number that does not parse reads as 0";
}

TEST(ConversionSettingsXmlTest, AttrFormatReadsAttributes) {
  TConversionSettings s;
  s.TargetFile = "/out/x.mp4";
  s.ConvertOptions.StreamMaps = TStrings{"0=1"};
  const std::string text = WriteObjectXml(s, TPropFormat::Attr);
  EXPECT_EQ(text.rfind("<data PropFormat=\"attr\"><TConversionSettings SourceType=\"stFile\"", 0), 0u) << text;
  TConversionSettings read;
  read.FromXml(text);
  EXPECT_EQ(read.TargetFile, "/out/x.mp4");
  EXPECT_EQ(read.ConvertOptions.StreamMaps, s.ConvertOptions.StreamMaps);
}

TEST(ConversionSettingsXmlTest, DecimalCommaLocaleChangesNothing) {
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8"));
  TConversionSettings s;
  s.Duration = 12.5;
  const std::string text = s.ToXml();
  TConversionSettings read;
  read.FromXml(text);
  std::setlocale(LC_ALL, "C");
  EXPECT_NE(text.find("<Duration>12.5</Duration>"), std::string::npos);
  EXPECT_EQ(read.Duration, 12.5);
}

TEST(ConversionSettingsXmlTest, LineBreaksAndBlanksInTextSurvive) {
  TConversionSettings s;
  s.ConvertOptions.FilterOptions.VideoFilters = "drawtext=a\r\nb";
  s.Profile = "  ";
  TConversionSettings read;
  read.FromXml(s.ToXml());
  EXPECT_EQ(read.ConvertOptions.FilterOptions.VideoFilters, "drawtext=a\r\nb");
  EXPECT_EQ(read.Profile, "  ");
}
