#pragma once
// The family and style of a font file, as a subtitle renderer needs them to pick that very face
// by name from the file's folder.
#include <optional>
#include <string>

namespace vc::media {

struct TFontFace {
  std::string Family;  // the family name stored in the file ("DejaVu Sans")
  bool Bold = false;
  bool Italic = false;  // italic or oblique
};

// The first face of the file; nothing when the file is missing or is not a font.
std::optional<TFontFace> ReadFontFace(const std::string& path);

}  // namespace vc::media
