#pragma once
// TSubtitleFilter: subtitles from an SSA, ASS, SRT or text file burned into the picture.
#include <string>

#include "profiles/AVFilter.h"

namespace vc::profiles {

class TSubtitleFilter final : public TAVFilter {
 public:
  TSubtitleFilter() = default;
  std::string ClassName() const override { return "TSubtitleFilter"; }
  const base::TPropTable& Properties() const override;
  void Assign(const base::TPersistent& source) override;

  // "ass=filename$FILE#font$FONT#color$0xRRGGBB00" (the colour without leading zeros, backslashes
  // of the paths doubled), then "#codepage$NAME" when CodePage is not empty.
  std::string GetFilterString() const override;
  std::string GetDisplayName() const override { return "Hard Subtitle Filter"; }
  bool ShowNewDialog() override;
  bool ShowEditDialog() override;

  std::string SubtitleFile;
  std::string FontFile;
  std::string CodePage;  // character set of the subtitle file ("cp1251"), empty for the default
  TColor FontColor = 0;
};

}  // namespace vc::profiles
