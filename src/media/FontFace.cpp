#include "media/FontFace.h"

#include <memory>

extern "C" {
#include <ft2build.h>
#include FT_FREETYPE_H
}

namespace vc::media {

namespace {

struct TLibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct TFaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using TLibraryPtr = std::unique_ptr<FT_LibraryRec_, TLibraryDeleter>;
using TFacePtr = std::unique_ptr<FT_FaceRec_, TFaceDeleter>;

}  // namespace

std::optional<TFontFace> ReadFontFace(const std::string& path) {
  // A library instance per call: FreeType instances are not shared between threads, and this runs
  // once per graph.
  FT_Library rawLibrary = nullptr;
  if (FT_Init_FreeType(&rawLibrary) != 0) return std::nullopt;
  TLibraryPtr library(rawLibrary);
  FT_Face rawFace = nullptr;
  if (FT_New_Face(library.get(), path.c_str(), 0, &rawFace) != 0) return std::nullopt;
  TFacePtr face(rawFace);
  if (!face->family_name || !*face->family_name) return std::nullopt;
  TFontFace result;
  result.Family = face->family_name;
  result.Bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
  result.Italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  return result;
}

}  // namespace vc::media
