#include "media/FilterEscape.h"

#include <memory>

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/mem.h>
}

namespace vc::media {

namespace {

struct TAvFreeDeleter {
  void operator()(char* p) const { av_free(p); }
};

// The library's own escaper, so the escaping always matches the parser that undoes it.
std::string escapeWith(std::string_view text, const char* specials) {
  const std::string input(text);
  char* raw = nullptr;
  const int length = av_escape(&raw, input.c_str(), specials, AV_ESCAPE_MODE_BACKSLASH, 0);
  std::unique_ptr<char, TAvFreeDeleter> escaped(raw);
  if (length < 0 || !escaped) throw std::bad_alloc();
  return std::string(escaped.get(), static_cast<size_t>(length));
}

}  // namespace

std::string EscapeFilterOption(std::string_view value) { return escapeWith(value, "':\\"); }

std::string EscapeFilterGraph(std::string_view text) { return escapeWith(text, "'\\[],;"); }

std::string EscapeFilterArgument(std::string_view value) { return EscapeFilterGraph(EscapeFilterOption(value)); }

}  // namespace vc::media
