#include "media/LegacyOptions.h"

#include <cctype>
#include <cstring>

#include "base/Format.h"

namespace vc::media {

namespace {

using T = TLegacyTarget;
using TOut = std::vector<TTranslatedOption>;
using TTranslator = void (*)(const std::string& name, const std::string& value, TOut& out);

TTranslatedOption dropped(const std::string& name, const std::string& value) {
  return {T::Dropped, "", "",
          base::Format("Option %s=%s has no equivalent in this media library and is ignored", name.c_str(),
                       value.c_str())};
}

struct TFlagItem {
  char Sign;  // '+' sets, '-' clears
  std::string Name;
};

// "+a+b-c"; a first item without a sign counts as set, because a bare list would now clear every
// flag it does not name (libx264's default cgop among them).
std::vector<TFlagItem> flagItems(const std::string& value) {
  std::vector<TFlagItem> items;
  size_t p = 0;
  while (p < value.size()) {
    char sign = '+';
    if (value[p] == '+' || value[p] == '-') sign = value[p++];
    const size_t end = value.find_first_of("+-", p);
    std::string name = value.substr(p, end == std::string::npos ? std::string::npos : end - p);
    if (!name.empty()) items.push_back({sign, std::move(name)});
    p = end == std::string::npos ? value.size() : end;
  }
  return items;
}

bool inList(const std::string& name, std::initializer_list<const char*> list) {
  for (const char* item : list)
    if (name == item) return true;
  return false;
}

// Gathers the items that stay generic flags into one entry ahead of the others.
void flagList(const std::string& name, const std::string& value, TOut& out,
              std::initializer_list<const char*> generic,
              void (*special)(const TFlagItem& item, TOut& moved, bool& handled)) {
  if (!value.empty() && std::isdigit(static_cast<unsigned char>(value[0]))) {
    out.push_back({T::Codec, name, value, ""});
    return;
  }
  std::string kept;
  TOut moved;
  TOut lost;
  for (const auto& item : flagItems(value)) {
    bool handled = false;
    special(item, moved, handled);
    if (handled) continue;
    if (inList(item.Name, generic))
      kept += item.Sign + item.Name;
    else
      lost.push_back(dropped(name, item.Sign + item.Name));
  }
  if (!kept.empty()) out.push_back({T::Codec, name, kept, ""});
  out.insert(out.end(), moved.begin(), moved.end());
  out.insert(out.end(), lost.begin(), lost.end());
}

void flagsSpecial(const TFlagItem& item, TOut& moved, bool& handled) {
  // The MPEG-2 scan offset moved from the flags to the encoder.
  if (item.Name == "scan_offset") {
    moved.push_back({T::EncoderPrivate, "scan_offset", item.Sign == '+' ? "1" : "0", ""});
    handled = true;
  }
}

void translateFlags(const std::string& name, const std::string& value, TOut& out) {
  // "loop" stays accepted (libx264 deblocks by its own preset; H.263 still reads it).
  flagList(name, value, out,
           {"mv4", "qpel", "loop", "qscale", "pass1", "pass2", "gray", "psnr", "ildct", "low_delay", "global_header",
            "bitexact", "aic", "ilme", "cgop", "output_corrupt", "drop_changed"},
           flagsSpecial);
}

void flags2Special(const TFlagItem& item, TOut& moved, bool& handled) {
  // The x264 flags became libx264 switches of their own.
  static const struct {
    const char* Old;
    const char* New;
  } kSwitches[] = {{"mixed_refs", "mixed-refs"}, {"wpred", "weightb"},   {"dct8x8", "8x8dct"},
                   {"fastpskip", "fast-pskip"},  {"mbtree", "mbtree"},   {"aud", "aud"},
                   {"psy", "psy"},               {"ssim", "ssim"},       {"intra_refresh", "intra-refresh"},
                   {"reservoir", "reservoir"},   {"bit_reservoir", "reservoir"}};
  for (const auto& s : kSwitches)
    if (item.Name == s.Old) {
      moved.push_back({T::EncoderPrivate, s.New, item.Sign == '+' ? "1" : "0", ""});
      handled = true;
      return;
    }
  if (item.Name == "bpyramid") {
    moved.push_back({T::EncoderPrivate, "b-pyramid", item.Sign == '+' ? "normal" : "none", ""});
    handled = true;
  }
}

void translateFlags2(const std::string& name, const std::string& value, TOut& out) {
  flagList(name, value, out,
           {"fast", "noout", "ignorecrop", "local_header", "chunks", "showall", "export_mvs", "skip_manual"},
           flags2Special);
}

// "+parti8x8+partp8x8-partp4x4" becomes "i8x8,p8x8". Today's value is a plain list of the
// partitions to use, matched by substring, so a cleared item must be left out, not kept with
// its minus sign (which would switch it on).
void translatePartitions(const std::string& name, const std::string& value, TOut& out) {
  if (value.empty() || (value[0] != '+' && value[0] != '-')) {
    out.push_back({T::EncoderPrivate, name, value, ""});
    return;
  }
  std::string list;
  TOut lost;
  for (const auto& item : flagItems(value)) {
    const bool known = item.Name.size() == 8 && item.Name.compare(0, 4, "part") == 0 &&
                       inList(item.Name.substr(4), {"i4x4", "i8x8", "p4x4", "p8x8", "b8x8"});
    if (!known)
      lost.push_back(dropped(name, item.Sign + item.Name));
    else if (item.Sign == '+')
      list += (list.empty() ? "" : ",") + item.Name.substr(4);
  }
  out.push_back({T::EncoderPrivate, name, list.empty() ? "none" : list, ""});
  out.insert(out.end(), lost.begin(), lost.end());
}

struct TRule {
  const char* OldName;
  TLegacyTarget Target;
  const char* NewName;     // the name to set now
  TTranslator Translate;  // none: the value passes unchanged
};

// Every name the built-in profiles and presets write, and where it lives now.
constexpr TRule kRules[] = {
    // libx264 presets
    {"coder", T::EncoderPrivate, "coder", nullptr},
    {"flags", T::Codec, "flags", translateFlags},
    {"cmp", T::Codec, "cmp", nullptr},
    {"partitions", T::EncoderPrivate, "partitions", translatePartitions},
    {"me_method", T::EncoderPrivate, "me_method", nullptr},
    {"subq", T::Codec, "subq", nullptr},
    {"me_range", T::Codec, "me_range", nullptr},
    {"g", T::Codec, "g", nullptr},
    {"keyint_min", T::Codec, "keyint_min", nullptr},
    {"sc_threshold", T::EncoderPrivate, "sc_threshold", nullptr},
    {"i_qfactor", T::Codec, "i_qfactor", nullptr},
    {"b_strategy", T::EncoderPrivate, "b_strategy", nullptr},
    {"qcomp", T::Codec, "qcomp", nullptr},
    {"qmin", T::Codec, "qmin", nullptr},
    {"qmax", T::Codec, "qmax", nullptr},
    {"qdiff", T::Codec, "qdiff", nullptr},
    {"bf", T::Codec, "bf", nullptr},
    {"refs", T::Codec, "refs", nullptr},
    {"directpred", T::EncoderPrivate, "direct-pred", nullptr},
    {"trellis", T::Codec, "trellis", nullptr},
    {"cqp", T::EncoderPrivate, "qp", nullptr},
    {"flags2", T::Codec, "flags2", translateFlags2},
    {"wpredp", T::EncoderPrivate, "wpredp", nullptr},
    // the H.264 defaults of custom profiles
    {"mbd", T::Codec, "mbd", nullptr},
    {"level", T::Codec, "level", nullptr},
    // rate control of the MPEG-4 and disc profiles
    {"maxrate", T::Codec, "maxrate", nullptr},
    {"minrate", T::Codec, "minrate", nullptr},
    {"bufsize", T::Codec, "bufsize", nullptr},
    // disc muxing
    {"packetsize", T::Format, "packetsize", nullptr},
    {"muxrate", T::Muxer, "muxrate", nullptr},
    {"preload", T::Muxer, "preload", nullptr},
};

}  // namespace

std::vector<TTranslatedOption> TranslateLegacyOption(const std::string& name, const std::string& value) {
  TOut out;
  for (const auto& rule : kRules) {
    if (name != rule.OldName) continue;
    if (rule.Translate)
      rule.Translate(rule.NewName, value, out);
    else
      out.push_back({rule.Target, rule.NewName, value, ""});
    return out;
  }
  out.push_back({T::AsGiven, name, value, ""});
  return out;
}

}  // namespace vc::media
