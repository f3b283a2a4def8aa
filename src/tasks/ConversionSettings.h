#pragma once
// What the user chose for one conversion: source, target, profile, category and the option set.
// Stored as flat object XML in the task database.
#include <string>

#include "engine/AVConvertOptions.h"

namespace vc::tasks {

enum class TAVSourceType { stFile, stDvd };

class TConversionSettings final : public base::TPersistent {
 public:
  TConversionSettings() = default;
  TConversionSettings(const TConversionSettings&) = delete;
  TConversionSettings& operator=(const TConversionSettings&) = delete;
  std::string ClassName() const override { return "TConversionSettings"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  std::string SourceFile;  // media file path, or "stream:%d" for a DVD title
  TAVSourceType SourceType = TAVSourceType::stFile;
  std::string DvdDriver;   // DVD source path (drive, VIDEO_TS folder or ISO image)
  int32_t DvdTitle = 0;
  int32_t DvdChapter = 0;
  int32_t DvdThrough = 0;
  int32_t DvdAngle = 0;
  std::string DvdVolume;
  std::string TargetFile;
  std::string Profile;     // the profile's Description
  int32_t CategoryId = 0;
  engine::TAVConvertOptions ConvertOptions;  // owned; setting copies
  double Duration = 0;     // seconds, as the engine reported it
  int64_t SourceFileSize = 0;  // bytes; 0 until known

  // Object XML text, flat, format "node".
  std::string ToXml() const;
  // Fills this object from object XML text.
  void FromXml(const std::string& text);
};

}  // namespace vc::tasks
