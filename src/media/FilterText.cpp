#include "media/FilterText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <regex>
#include <vector>

#include "base/Errors.h"
#include "base/Format.h"
#include "media/FilterEscape.h"
#include "media/FilterJoin.h"
#include "media/FontFace.h"

namespace vc::media {

namespace {

using base::Format;

// An item in an old form that cannot be read; carries what is wrong with it.
struct TItemError {
  std::string Reason;
};

struct TLogo {
  std::string File;
  int32_t X = 0;  // pixels from the left edge
  int32_t Y = 0;  // pixels from the top edge
};

// One step of the chain: filters with one input and one output, or a picture overlaid on the video.
struct TStep {
  std::string Chain;
  std::optional<TLogo> Logo;
};

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int32_t readInt(const std::string& text) {
  int32_t value = 0;
  if (!base::TryParseInt32(text, value)) throw TItemError{"the number " + text + " is out of range"};
  return value;
}

// Old paths had every backslash doubled.
std::string readOldPath(const std::string& text) {
  std::string path;
  for (size_t i = 0; i < text.size(); ++i) {
    path += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return path;
}

// Old overlay text carried its line breaks as the two characters '\' 'n'.
std::string readOldText(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      result += '\n';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

// Files are opened by libavformat, which reads "name:" at the start of a relative path as a
// protocol; the file protocol takes the rest of the text as the path, unchanged.
std::string fileUrl(const std::string& path) { return "file:" + path; }

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

TLogo readLogo(const std::string& item) {
  // The path runs up to the last overlay part, so a path holding that text still reads whole.
  static const char* const prefix = "movie=0:png:";
  static const std::string overlay = " [wm];[in][wm] overlay=";
  static const std::regex position(R"(^(-?\d+):(-?\d+):1 \[out\]$)");
  const size_t at = item.rfind(overlay);
  std::smatch m;
  const std::string tail = at == std::string::npos ? std::string() : item.substr(at + overlay.size());
  if (!startsWith(item, prefix) || at == std::string::npos || at < std::strlen(prefix) ||
      !std::regex_match(tail, m, position))
    throw TItemError{"not a logo filter of the form movie=0:png:FILE [wm];[in][wm] overlay=X:Y:1 [out]"};
  TLogo logo;
  logo.File = readOldPath(item.substr(std::strlen(prefix), at - std::strlen(prefix)));
  logo.X = readInt(m[1]);
  logo.Y = readInt(m[2]);
  if (logo.File.empty()) throw TItemError{"the picture file is empty"};
  return logo;
}

std::string translateDrawText(const std::string& item) {
  // The font path ends at the first text part and the text at the last position part, so quotes
  // and separators inside the user's text stay in the text.
  static const std::string prefix = R"(drawtext=fontfile=\')";
  static const std::string textStart = R"(\'#text=')";
  static const std::string textEnd = "'#x=";
  static const std::regex rest(
      R"(^(-?\d+)#y=(-?\d+)#fontsize=(-?\d+)#fgcolor=0x([0-9A-Fa-f]{8})#bgcolor=0x([0-9A-Fa-f]{8})$)");
  const size_t fontEnd = item.find(textStart, prefix.size());
  const size_t textFrom = fontEnd == std::string::npos ? std::string::npos : fontEnd + textStart.size();
  const size_t textTo = item.rfind(textEnd);
  std::smatch m;
  const std::string tail = textTo == std::string::npos ? std::string() : item.substr(textTo + textEnd.size());
  if (textFrom == std::string::npos || textTo == std::string::npos || textTo < textFrom ||
      !std::regex_match(tail, m, rest))
    throw TItemError{
        "not an overlay text filter of the form drawtext=fontfile=\\'FONT\\'#text='TEXT'#x=..#bgcolor=0x.."};
  const std::string font = readOldPath(item.substr(prefix.size(), fontEnd - prefix.size()));
  const std::string text = readOldText(item.substr(textFrom, textTo - textFrom));
  const int32_t x = readInt(m[1]), y = readInt(m[2]), size = readInt(m[3]);
  if (text.empty()) return {};  // nothing to draw
  std::string out = "drawtext=";
  if (!font.empty()) out += "fontfile=" + EscapeFilterArgument(font) + ":";
  out += "text=" + EscapeFilterArgument(text) + ":expansion=none";
  out += Format(":x=%d:y=%d:fontsize=%d", x, y, size);
  // The background box keeps the stored colour and alpha: the dialog writes alpha 00, no visible box.
  out += ":fontcolor=0x" + upper(m[4]) + ":box=1:boxcolor=0x" + upper(m[5]);
  return out;
}

// "0x%x00": the colour as 0xRRGGBB without leading zeros, then "00". ASS colours are &HAABBGGRR
// with AA as transparency, so the stored colour becomes opaque.
std::string assColour(const std::string& hex) {
  if (hex.size() < 3 || hex.size() > 8 || hex.compare(hex.size() - 2, 2, "00") != 0)
    throw TItemError{"the colour 0x" + hex + " is not of the form 0xRRGGBB00"};
  const auto rgb = static_cast<uint32_t>(std::stoul(hex.substr(0, hex.size() - 2), nullptr, 16));
  return Format("&H00%02X%02X%02X", rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

std::string translateSubtitles(const std::string& item) {
  // The subtitle path ends at the first font part, the font path at the first colour part that
  // the rest of the item completes.
  static const std::string prefix = "ass=filename$";
  static const std::string fontStart = "#font$";
  static const std::string colourStart = "#color$0x";
  static const std::regex rest(R"(^([0-9A-Fa-f]+)(#codepage\$([\s\S]*))?$)");
  const size_t fileEnd = item.find(fontStart, prefix.size());
  std::smatch m;
  size_t fontEnd = std::string::npos;
  std::string tail;
  for (size_t at = fileEnd == std::string::npos ? std::string::npos
                                                : item.find(colourStart, fileEnd + fontStart.size());
       at != std::string::npos; at = item.find(colourStart, at + 1)) {
    tail = item.substr(at + colourStart.size());
    if (std::regex_match(tail, m, rest)) {
      fontEnd = at;
      break;
    }
  }
  if (fontEnd == std::string::npos)
    throw TItemError{"not a subtitle filter of the form ass=filename$FILE#font$FONT#color$0x..[#codepage$NAME]"};
  const size_t fontFrom = fileEnd + fontStart.size();
  const std::string file = readOldPath(item.substr(prefix.size(), fileEnd - prefix.size()));
  const std::string font = readOldPath(item.substr(fontFrom, fontEnd - fontFrom));
  const std::string colour = assColour(m[1]);
  const std::string codePage = m[3];
  if (file.empty()) throw TItemError{"the subtitle file is empty"};

  std::string out = "subtitles=filename=" + EscapeFilterArgument(fileUrl(file));
  std::string style;
  if (!font.empty()) {
    const auto face = ReadFontFace(font);
    if (!face) throw TItemError{"the font file \"" + font + "\" cannot be read"};
    std::string folder = std::filesystem::path(font).parent_path().string();
    if (folder.empty()) folder = ".";
    out += ":fontsdir=" + EscapeFilterArgument(folder);
    // Weight and slant pick the chosen face: with the family alone the renderer may take another
    // face of it from the system fonts.
    style = Format("FontName=%s,Bold=%d,Italic=%d,", face->Family.c_str(), face->Bold ? 1 : 0, face->Italic ? 1 : 0);
  }
  style += "PrimaryColour=" + colour;
  out += ":force_style=" + EscapeFilterArgument(style);
  if (!codePage.empty()) out += ":charenc=" + EscapeFilterArgument(codePage);
  return out;
}

// Whole degrees, clockwise; today's rotate takes radians and keeps the frame size by default.
std::optional<std::string> translateRotate(const std::string& item) {
  static const std::regex form(R"(^rotate=(-?\d+)$)");
  std::smatch m;
  if (!std::regex_match(item, m, form)) return std::nullopt;
  return Format("rotate=angle=%d*PI/180", readInt(m[1]));
}

// A box without a colour name (none selected in the dialog) would fail today: draw it in black.
std::optional<std::string> translateDrawBox(const std::string& item) {
  static const std::regex form(R"(^drawbox=(-?\d+):(-?\d+):(-?\d+):(-?\d+):$)");
  std::smatch m;
  if (!std::regex_match(item, m, form)) return std::nullopt;
  return Format("drawbox=x=%d:y=%d:w=%d:h=%d:color=black", readInt(m[1]), readInt(m[2]), readInt(m[3]), readInt(m[4]));
}

std::string joinWith(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += separator;
    text += parts[i];
  }
  return text;
}

class TTranslator final {
 public:
  explicit TTranslator(const TFilterTextLog& log) : FLog(log) {}

  std::string Run(const std::string& stored) {
    const auto items = SplitFilterJoin(stored);
    if (items) {
      for (const auto& item : *items) readItem(item);
    } else {
      readItem(stored);  // not the wizard's join: one hand-written text
    }
    if (!FChanged) return stored;
    return assemble();
  }

 private:
  void readItem(const std::string& item) {
    try {
      readItemForms(item);
    } catch (const TItemError& e) {
      if (FLog) FLog(Format("Cannot read the video filter \"%s\": %s", item.c_str(), e.Reason.c_str()));
      throw base::EVelocastError("Error opening filters!");
    }
  }

  void readItemForms(const std::string& item) {
    if (item.empty()) return changed();
    if (startsWith(item, "movie=0:png:")) {
      FSteps.push_back({{}, readLogo(item)});
      return changed();
    }
    if (startsWith(item, R"(drawtext=fontfile=\')") && item.find(R"(\'#text=')") != std::string::npos) {
      addChain(translateDrawText(item));
      return changed();
    }
    if (startsWith(item, "ass=filename$")) {
      addChain(translateSubtitles(item));
      return changed();
    }
    // A wrapped item may hold the joined parts of one filter (" vflip,hflip,rotate=45 ").
    if (item.find(',') != std::string::npos) {
      const auto parts = SplitFilterJoin(item);
      if (parts && parts->size() > 1) {
        for (const auto& part : *parts) readItem(part);
        return;
      }
    }
    if (auto text = translateRotate(item)) {
      addChain(*text);
      return changed();
    }
    if (auto text = translateDrawBox(item)) {
      addChain(*text);
      return changed();
    }
    addChain(item);
  }

  void addChain(std::string text) {
    if (!text.empty()) FSteps.push_back({std::move(text), std::nullopt});
  }
  void changed() { FChanged = true; }

  std::string assemble() {
    const bool anyLogo = std::any_of(FSteps.begin(), FSteps.end(), [](const TStep& s) { return s.Logo.has_value(); });
    std::vector<std::string> chain;
    if (!anyLogo) {
      for (const auto& step : FSteps) chain.push_back(step.Chain);
      return joinWith(chain, ",");
    }
    // The picture is a second input, so the chain is cut at every logo into labelled pieces.
    std::vector<std::string> statements;
    std::string current = "in";
    int labels = 0;
    for (size_t i = 0; i < FSteps.size(); ++i) {
      const TStep& step = FSteps[i];
      if (!step.Logo) {
        chain.push_back(step.Chain);
        continue;
      }
      if (!chain.empty()) {
        const std::string next = Format("vc_main%d", ++labels);
        statements.push_back("[" + current + "]" + joinWith(chain, ",") + "[" + next + "]");
        chain.clear();
        current = next;
      }
      const std::string picture = Format("vc_logo%d", ++labels);
      const std::string next = i + 1 == FSteps.size() ? std::string("out") : Format("vc_main%d", ++labels);
      statements.push_back("movie=filename=" + EscapeFilterArgument(fileUrl(step.Logo->File)) +
                           ":format_name=png_pipe[" + picture + "]");
      statements.push_back("[" + current + "][" + picture + "]" +
                           Format("overlay=x=%d:y=%d", step.Logo->X, step.Logo->Y) + "[" + next + "]");
      current = next;
    }
    if (!chain.empty()) statements.push_back("[" + current + "]" + joinWith(chain, ",") + "[out]");
    return joinWith(statements, ";");
  }

  const TFilterTextLog& FLog;
  std::vector<TStep> FSteps;
  bool FChanged = false;
};

}  // namespace

std::string TranslateFilterText(const std::string& stored, const TFilterTextLog& log) {
  return TTranslator(log).Run(stored);
}

}  // namespace vc::media
