#include "media/FilterPlan.h"

#include <cstring>
#include <new>

#include "base/Errors.h"

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace vc::media {

namespace {

constexpr const char* kSynth = "synth";

struct TPiece {
  std::string Raw;  // as written, escapes and all
};

// Splits at ',' and ';' outside quotes and escapes, the way the graph parser finds filters.
// linear is cleared when the text has ';' or a link label.
std::vector<TPiece> splitFilters(const std::string& text, bool& linear) {
  std::vector<TPiece> pieces(1);
  linear = true;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      quoted = c != '\'';
    } else if (c == '\\' && i + 1 < text.size()) {
      pieces.back().Raw += c;
      pieces.back().Raw += text[++i];
      continue;
    } else if (c == '\'') {
      quoted = true;
    } else if (c == ',' || c == ';') {
      if (c == ';') linear = false;
      pieces.emplace_back();
      continue;
    } else if (c == '[') {
      linear = false;
    }
    pieces.back().Raw += c;
  }
  return pieces;
}

// One token as the graph parser reads it (av_get_token), or nothing after its end.
std::string readToken(const char*& at, const char* terminators) {
  char* token = av_get_token(&at, terminators);
  if (!token) throw std::bad_alloc();
  std::string result(token);
  av_free(token);
  return result;
}

// The filter's name after any leading link labels; the argument follows '=' at `at`.
std::string filterName(const std::string& piece, const char*& at) {
  at = piece.c_str();
  for (;;) {
    at += std::strspn(at, " \t\r\n");
    if (*at != '[') break;
    const char* close = std::strchr(at, ']');
    if (!close) break;
    at = close + 1;
  }
  return readToken(at, "=,;[");
}

}  // namespace

TFilterPlan CutSynthStages(const std::string& text) {
  TFilterPlan plan;
  bool linear = true;
  const std::vector<TPiece> pieces =
      text.find(kSynth) == std::string::npos ? std::vector<TPiece>() : splitFilters(text, linear);
  std::vector<const char*> arguments;  // per piece: where a synth item's argument starts, else null
  bool anySynth = false;
  for (const auto& piece : pieces) {
    const char* at = nullptr;
    const bool synth = filterName(piece.Raw, at) == kSynth;
    arguments.push_back(synth ? at : nullptr);
    anySynth |= synth;
  }
  if (!anySynth) {
    plan.Graphs.push_back(text);
    return plan;
  }
  if (!linear) {
    av_log(nullptr, AV_LOG_ERROR,
           "Cannot read the video filter \"%s\": synth can only stand in a plain chain of filters, "
           "without ';' or link labels\n",
           text.c_str());
    throw base::EVelocastError("Error opening filters!");
  }
  std::string graph;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const char* at = arguments[i];
    if (!at) {
      graph += (graph.empty() ? "" : ",") + pieces[i].Raw;
      continue;
    }
    std::string script;
    if (*at == '=') {
      ++at;
      script = readToken(at, "[],;");
    }
    plan.Graphs.push_back(graph);
    plan.Scripts.push_back(script);
    graph.clear();
  }
  plan.Graphs.push_back(graph);
  return plan;
}

}  // namespace vc::media
