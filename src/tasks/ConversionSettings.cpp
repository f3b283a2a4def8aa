#include "tasks/ConversionSettings.h"

#include "base/ObjectXml.h"

namespace vc::tasks {

const base::TPropTable& TConversionSettings::Properties() const {
  using C = TConversionSettings;
  static const base::TPropTable table = base::TPropTableBuilder<C>()
                                            .Field("SourceFile", &C::SourceFile)
                                            .Enum("SourceType", &C::SourceType, {"stFile", "stDvd"})
                                            .Field("DvdDriver", &C::DvdDriver)
                                            .Field("DvdTitle", &C::DvdTitle)
                                            .Field("DvdChapter", &C::DvdChapter)
                                            .Field("DvdThrough", &C::DvdThrough)
                                            .Field("DvdAngle", &C::DvdAngle)
                                            .Field("DvdVolume", &C::DvdVolume)
                                            .Field("TargetFile", &C::TargetFile)
                                            .Field("Profile", &C::Profile)
                                            .Field("CategoryId", &C::CategoryId)
                                            .Field("ConvertOptions", &C::ConvertOptions)
                                            .Field("Duration", &C::Duration)
                                            .Field("SourceFileSize", &C::SourceFileSize)
                                            .Build();
  return table;
}

void TConversionSettings::Assign(const base::TPersistent& source) {
  const auto* s = dynamic_cast<const TConversionSettings*>(&source);
  if (!s) AssignError(source);
  SourceFile = s->SourceFile;
  SourceType = s->SourceType;
  DvdDriver = s->DvdDriver;
  DvdTitle = s->DvdTitle;
  DvdChapter = s->DvdChapter;
  DvdThrough = s->DvdThrough;
  DvdAngle = s->DvdAngle;
  DvdVolume = s->DvdVolume;
  TargetFile = s->TargetFile;
  Profile = s->Profile;
  CategoryId = s->CategoryId;
  ConvertOptions.Assign(s->ConvertOptions);
  Duration = s->Duration;
  SourceFileSize = s->SourceFileSize;
}

std::string TConversionSettings::ToXml() const { return base::WriteObjectXml(*this, base::TPropFormat::Node); }

void TConversionSettings::FromXml(const std::string& text) { base::ReadObjectXml(text, *this); }

}  // namespace vc::tasks
