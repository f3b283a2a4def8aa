#include "engine/ImageSequenceName.h"

#include <cctype>
#include <cstring>

#include "base/Format.h"

namespace vc::engine {

namespace {

struct TNameParts {
  std::string Head;    // folder and the name up to its trailing number
  std::string Digits;  // the trailing number, possibly empty
  std::string Tail;    // the extension with its dot, possibly empty
};

TNameParts splitName(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) dot = fileName.size();
  size_t digits = dot;
  while (digits > nameStart && std::isdigit(static_cast<unsigned char>(fileName[digits - 1]))) --digits;
  return {fileName.substr(0, digits), fileName.substr(digits, dot - digits), fileName.substr(dot)};
}

std::string escapePercent(const std::string& text) {
  std::string out;
  for (const char c : text) {
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

}  // namespace

bool WritesFilePerPicture(const AVOutputFormat* muxer) {
  return muxer && ((muxer->flags & AVFMT_NEEDNUMBER) || std::strcmp(muxer->name, "image2") == 0);
}

std::string ImageSequencePattern(const std::string& fileName) {
  if (av_filename_number_test(fileName.c_str())) return fileName;
  const TNameParts parts = splitName(fileName);
  // A number written with leading zeros keeps its width.
  const bool padded = parts.Digits.size() > 1 && parts.Digits[0] == '0';
  const std::string number = padded ? base::Format("%%0%dd", static_cast<int>(parts.Digits.size())) : "%d";
  return escapePercent(parts.Head) + number + escapePercent(parts.Tail);
}

}  // namespace vc::engine
