#include "app/cli/FilterArgs.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "base/Format.h"
#include "profiles/LogoFilter.h"
#include "profiles/OverlayTextFilter.h"
#include "profiles/SubtitleFilter.h"
#include "profiles/VideoStdFilter.h"

namespace vc::cli {

const char* const kFilterUsage =
    "  video filters, applied in the order given:\n"
    "    --logo FILE[@X,Y]   a PNG picture with its top-left corner at X,Y (0,0)\n"
    "    --text TEXT --font FILE [--text-at X,Y] [--font-size N] [--text-color RRGGBB] [--bg-color RRGGBB]\n"
    "                        a text in a TrueType font at X,Y (0,0), size 1 to 72 (16), yellow; the\n"
    "                        background colour is kept with the settings but draws nothing, as in the wizard\n"
    "    --subtitles FILE --font FILE [--subtitle-color RRGGBB] [--codepage NAME]\n"
    "                        burned-in subtitles (SSA, ASS, SRT, text), yellow, in character set NAME\n"
    "    --vflip  --hflip  --negate  --rotate DEG (0 to 359, clockwise)\n"
    "    --box X,Y,W,H,COLOUR  a box outline in one of Black, Maroon, Green, Olive, Navy, Purple, Teal, Gray,\n"
    "                        Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White\n";

namespace {

// The colours the dialogs start with, as TColor (red in the low byte).
constexpr profiles::TColor kYellow = 0x00FFFF;
constexpr profiles::TColor kBlue = 0xFF0000;

// The standard-filter dialog's colour list; the box stores the chosen name.
const char* const kBoxColours[] = {"Black",  "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Gray",
                                   "Silver", "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};

// The parts of a standard filter in the order it renders them.
enum class TStdPart { VFlip, HFlip, Box, Negate, Rotate };

bool fail(const char* format, const std::string& a, const std::string& b = {}) {
  std::fprintf(stderr, format, a.c_str(), b.c_str());
  std::fputc('\n', stderr);
  return false;
}

// Whole numbers separated by commas, exactly count of them.
bool parseNumbers(const std::string& text, size_t count, std::vector<int32_t>& numbers) {
  numbers.clear();
  size_t start = 0;
  while (numbers.size() < count) {
    const size_t comma = text.find(',', start);
    int32_t n = 0;
    if (!base::TryParseInt32(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), n))
      return false;
    numbers.push_back(n);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return numbers.size() == count && text.find(',', start) == std::string::npos;
}

// "RRGGBB" (or "#RRGGBB", "0xRRGGBB") as a TColor.
std::optional<profiles::TColor> parseColour(std::string text) {
  if (!text.empty() && text[0] == '#')
    text.erase(0, 1);
  else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.erase(0, 2);
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
  const auto rgb = static_cast<uint32_t>(std::stoul(text, nullptr, 16));
  return static_cast<profiles::TColor>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

// The text as the dialog's memo hands it over: every line ends in CR LF.
std::string memoText(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  std::string lines;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      lines += "\r\n";
    } else if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      lines += text[i];
    }
  }
  return lines;
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool existingFile(const std::string& option, const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return true;
  return fail("%s: there is no file %s", option, path);
}

// Reads the values of the options and their qualifiers; i moves over what it reads.
class TFilterArgReader final {
 public:
  TFilterArgReader(const TArgs& args, size_t& i) : FArgs(args), FIndex(i) {}

  const std::string& Option() const { return FArgs[FIndex]; }

  bool Value(std::string& out) {
    if (FIndex + 1 >= FArgs.size()) return fail("%s needs a value", Option());
    out = FArgs[++FIndex];
    return true;
  }

  // Steps onto the next argument when it is one of qualifiers.
  bool NextIsOneOf(std::initializer_list<const char*> qualifiers) {
    if (FIndex + 1 >= FArgs.size()) return false;
    for (const char* q : qualifiers)
      if (FArgs[FIndex + 1] == q) {
        ++FIndex;
        return true;
      }
    return false;
  }

 private:
  const TArgs& FArgs;
  size_t& FIndex;
};

bool readLogo(TFilterArgReader& reader, TFilterList& filters) {
  const std::string option = reader.Option();
  std::string value;
  if (!reader.Value(value)) return false;
  auto logo = std::make_unique<profiles::TLogoFilter>();
  logo->LogoFile = value;
  // "@X,Y" only when it reads as a position, so a file name with an "@" of its own stays whole.
  std::vector<int32_t> at;
  const size_t sign = value.rfind('@');
  if (sign != std::string::npos && sign > 0 && parseNumbers(value.substr(sign + 1), 2, at)) {
    logo->LogoFile = value.substr(0, sign);
    logo->X = at[0];
    logo->Y = at[1];
  }
  if (!existingFile(option, logo->LogoFile)) return false;
  filters.push_back(std::move(logo));
  return true;
}

bool readColourValue(TFilterArgReader& reader, profiles::TColor& colour) {
  const std::string option = reader.Option();
  std::string value;
  if (!reader.Value(value)) return false;
  const auto parsed = parseColour(value);
  if (!parsed) return fail("%s takes a colour as RRGGBB in hexadecimal, not '%s'", option, value);
  colour = *parsed;
  return true;
}

bool readText(TFilterArgReader& reader, TFilterList& filters) {
  auto text = std::make_unique<profiles::TOverlayTextFilter>();
  text->FontSize = 16;
  text->FontColor = kYellow;
  text->BgColor = kBlue;
  std::string value;
  if (!reader.Value(value)) return false;
  if (trimmed(value).empty()) return fail("--text needs a text that is not blank", {});
  text->Text = memoText(value);
  while (reader.NextIsOneOf({"--font", "--text-at", "--font-size", "--text-color", "--bg-color"})) {
    const std::string option = reader.Option();
    if (option == "--font") {
      if (!reader.Value(text->FontFile)) return false;
    } else if (option == "--text-at") {
      std::vector<int32_t> at;
      if (!reader.Value(value)) return false;
      if (!parseNumbers(value, 2, at) || at[0] < 0 || at[1] < 0)
        return fail("--text-at takes X,Y from 0, not '%s'", value);
      text->X = at[0];
      text->Y = at[1];
    } else if (option == "--font-size") {
      if (!reader.Value(value)) return false;
      if (!base::TryParseInt32(value, text->FontSize) || text->FontSize < 1 || text->FontSize > 72)
        return fail("--font-size takes 1 to 72, not '%s'", value);
    } else if (!readColourValue(reader, option == "--text-color" ? text->FontColor : text->BgColor)) {
      return false;
    }
  }
  if (text->FontFile.empty()) return fail("--text needs --font FILE (a TrueType font) after it", {});
  if (!existingFile("--font", text->FontFile)) return false;
  filters.push_back(std::move(text));
  return true;
}

bool readSubtitles(TFilterArgReader& reader, TFilterList& filters) {
  auto subtitles = std::make_unique<profiles::TSubtitleFilter>();
  subtitles->FontColor = kYellow;
  if (!reader.Value(subtitles->SubtitleFile)) return false;
  if (!existingFile("--subtitles", subtitles->SubtitleFile)) return false;
  while (reader.NextIsOneOf({"--font", "--subtitle-color", "--codepage"})) {
    const std::string option = reader.Option();
    if (option == "--font") {
      if (!reader.Value(subtitles->FontFile)) return false;
    } else if (option == "--codepage") {
      std::string value;
      if (!reader.Value(value)) return false;
      subtitles->CodePage = trimmed(value);
    } else if (!readColourValue(reader, subtitles->FontColor)) {
      return false;
    }
  }
  if (subtitles->FontFile.empty()) return fail("--subtitles needs --font FILE (a TrueType font) after it", {});
  if (!existingFile("--font", subtitles->FontFile)) return false;
  filters.push_back(std::move(subtitles));
  return true;
}

int highestPart(const profiles::TVideoStdFilter& f) {
  if (f.Rotate) return static_cast<int>(TStdPart::Rotate);
  if (f.Negate) return static_cast<int>(TStdPart::Negate);
  if (f.DrawBox) return static_cast<int>(TStdPart::Box);
  if (f.HorizontalFilip) return static_cast<int>(TStdPart::HFlip);
  if (f.VerticalFilp) return static_cast<int>(TStdPart::VFlip);
  return -1;
}

// The standard filter the part goes into: the last filter of the list when it renders its parts
// before this one, otherwise a new one at the end.
profiles::TVideoStdFilter& stdFilterFor(TStdPart part, TFilterList& filters) {
  auto* last = filters.empty() ? nullptr : dynamic_cast<profiles::TVideoStdFilter*>(filters.back().get());
  if (last && highestPart(*last) < static_cast<int>(part)) return *last;
  auto created = std::make_unique<profiles::TVideoStdFilter>();
  // The dialog's own values for the parts left off.
  created->Degree = 45;
  created->BColor = "Black";
  auto& filter = *created;
  filters.push_back(std::move(created));
  return filter;
}

bool readStdPart(TFilterArgReader& reader, TFilterList& filters) {
  const std::string option = reader.Option();
  if (option == "--vflip") {
    stdFilterFor(TStdPart::VFlip, filters).VerticalFilp = true;
  } else if (option == "--hflip") {
    stdFilterFor(TStdPart::HFlip, filters).HorizontalFilip = true;
  } else if (option == "--negate") {
    stdFilterFor(TStdPart::Negate, filters).Negate = true;
  } else if (option == "--rotate") {
    std::string value;
    int32_t degrees = 0;
    if (!reader.Value(value)) return false;
    if (!base::TryParseInt32(value, degrees) || degrees < 0 || degrees > 359)
      return fail("--rotate takes whole degrees from 0 to 359, not '%s'", value);
    auto& filter = stdFilterFor(TStdPart::Rotate, filters);
    filter.Rotate = true;
    filter.Degree = degrees;
  } else {
    std::string value;
    if (!reader.Value(value)) return false;
    const size_t comma = value.rfind(',');
    const std::string name = comma == std::string::npos ? std::string() : value.substr(comma + 1);
    std::vector<int32_t> box;
    const char* colour = nullptr;
    for (const char* c : kBoxColours)
      if (base::SameText(c, name)) colour = c;
    if (comma == std::string::npos || !parseNumbers(value.substr(0, comma), 4, box) || !colour)
      return fail("--box takes X,Y,W,H,COLOUR with a colour of the list, not '%s'", value);
    auto& filter = stdFilterFor(TStdPart::Box, filters);
    filter.DrawBox = true;
    filter.BX = box[0];
    filter.BY = box[1];
    filter.BWidth = box[2];
    filter.BHeight = box[3];
    filter.BColor = colour;
  }
  return true;
}

}  // namespace

TFilterArg TakeFilterOption(const TArgs& args, size_t& i, TFilterList& filters) {
  const std::string& a = args[i];
  TFilterArgReader reader(args, i);
  bool read = false;
  if (a == "--logo") {
    read = readLogo(reader, filters);
  } else if (a == "--text") {
    read = readText(reader, filters);
  } else if (a == "--subtitles") {
    read = readSubtitles(reader, filters);
  } else if (a == "--vflip" || a == "--hflip" || a == "--negate" || a == "--rotate" || a == "--box") {
    read = readStdPart(reader, filters);
  } else if (a == "--font" || a == "--text-at" || a == "--font-size" || a == "--text-color" || a == "--bg-color" ||
             a == "--subtitle-color" || a == "--codepage") {
    std::fprintf(stderr, "%s belongs right after the --text or --subtitles it qualifies\n", a.c_str());
  } else {
    return TFilterArg::None;
  }
  return read ? TFilterArg::Taken : TFilterArg::Invalid;
}

}  // namespace vc::cli
