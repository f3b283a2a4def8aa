#include "profiles/AVX264Profile.h"

#include <array>

#include "engine/AVConvertOptions.h"

namespace vc::profiles {

namespace {

// Partition sets and flags2 sets in the encoder's old option syntax; the engine translates
// them for today's libx264, stored settings keep them as they are.
constexpr const char* P1 = "+parti8x8+parti4x4+partp8x8+partb8x8";
constexpr const char* P2 = "-parti8x8-parti4x4-partp8x8-partp4x4-partb8x8";
constexpr const char* P3 = "+parti8x8+parti4x4+partp8x8+partp4x4+partb8x8";
constexpr const char* P4 = "-parti8x8+parti4x4+partp8x8-partp4x4-partb8x8";
constexpr const char* P5 = "-parti8x8+parti4x4+partp8x8+partp4x4-partb8x8";
constexpr const char* P6 = "+parti8x8+parti4x4+partp8x8+partp4x4-partb8x8";
constexpr const char* F1 = "+mixed_refs+wpred+dct8x8+fastpskip+mbtree";
constexpr const char* F2 = "-bpyramid-wpred-mixed_refs-dct8x8+fastpskip+mbtree";
constexpr const char* F3 = "+wpred+dct8x8+fastpskip+mbtree";
constexpr const char* F4 = "+wpred+mixed_refs+dct8x8+fastpskip+mbtree";
constexpr const char* F5 = "+wpred+mixed_refs+dct8x8-fastpskip+mbtree";
constexpr const char* F6 = "+fastpskip+mbtree";
constexpr const char* F7 = "+dct8x8+fastpskip+mbtree";
constexpr const char* F8 = "+mixed_refs+dct8x8+fastpskip+mbtree";
constexpr const char* no = nullptr;  // the preset leaves the option out

struct TPresetRow {
  const char* Option;
  std::array<const char*, 11> Values;  // by TPreset ordinal
};

// Columns: basic, FastFirstPass, SlowFirstPass, Common, HighQuality, Best,
//          LosslessFast, LosslessMedium, LosslessSlow, LosslessSlower, LosslessMax.
// Rows are written top to bottom.
constexpr std::array<TPresetRow, 23> kPresets = {{
    {"coder", {"1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1"}},
    {"flags", {"+loop", "+loop", "+loop", "+loop", "+loop", "+loop", "+loop", "+loop", "+loop", "+loop", "+loop"}},
    {"cmp", {"+chroma", "+chroma", "+chroma", "+chroma", "+chroma", "+chroma", "+chroma", "+chroma", "+chroma",
             "+chroma", "+chroma"}},
    {"partitions", {P1, P2, P1, P1, P1, P3, P4, P5, P6, P6, P6}},
    {"me_method", {"hex", "dia", "hex", "hex", "umh", "tesa", "hex", "hex", "umh", "umh", "esa"}},
    {"subq", {"7", "2", "6", "6", "8", "10", "3", "5", "6", "8", "8"}},
    {"me_range", {"16", "16", "16", "16", "16", "24", "16", "16", "16", "16", "16"}},
    {"g", {"250", "250", "250", "250", "250", "250", "250", "250", "250", "250", "250"}},
    {"keyint_min", {"25", "25", "25", "25", "25", "25", "25", "25", "25", "25", "25"}},
    {"sc_threshold", {"40", "40", "40", "40", "40", "40", "40", "40", "40", "40", "40"}},
    {"i_qfactor", {"0.71", "0.71", "0.71", "0.71", "0.71", "0.71", "0.71", "0.71", "0.71", "0.71", "0.71"}},
    {"b_strategy", {"1", "1", "2", "1", "2", "2", "1", "1", "1", "1", "1"}},
    {"qcomp", {"0.6", "0.6", "0.6", "0.6", "0.6", "0.6", "0.6", "0.6", "0.6", "0.6", "0.6"}},
    {"qmin", {"10", "10", "10", "10", "10", "10", "10", "10", "10", "10", "10"}},
    {"qmax", {"51", "51", "51", "51", "51", "51", "51", "51", "51", "51", "51"}},
    {"qdiff", {"4", "4", "4", "4", "4", "4", "4", "4", "4", "4", "4"}},
    {"bf", {"3", "3", "3", "3", "3", "3", no, no, no, no, no}},
    {"refs", {"3", "1", "1", "2", "4", "16", no, no, "2", "4", "16"}},
    {"directpred", {"1", "3", "3", "3", "3", "3", "1", "1", "1", "1", "1"}},
    {"trellis", {"1", "0", "0", "0", "1", "2", no, no, no, no, no}},
    {"cqp", {no, no, no, no, no, no, "0", "0", "0", "0", "0"}},
    {"flags2", {F1, F2, F3, F3, F4, F5, F6, F6, F7, F8, F8}},
    {"wpredp", {"2", "2", "2", "2", "2", "2", "0", "2", "2", "2", "2"}},
}};

}  // namespace

TAVX264Profile::TAVX264Profile() {
  Description = "H264 Profile";
  SetExtension(".mp4");
}

const base::TPropTable& TAVX264Profile::Properties() const {
  static const base::TPropTable table = [] {
    base::TPropTable t = BaseProperties();
    auto own = base::TPropTableBuilder<TAVX264Profile>()
                   .Enum("preset", &TAVX264Profile::preset, PresetValueNames)
                   .Build();
    t.insert(t.end(), own.begin(), own.end());
    return t;
  }();
  return table;
}

bool TAVX264Profile::Apply(engine::TAVConvertOptions& options) const {
  const int column = Ord(preset);
  if (column >= static_cast<int>(PresetValueNames.size())) return true;
  for (const auto& row : kPresets)
    if (const char* value = row.Values[static_cast<size_t>(column)]) options.SetCodecOption(row.Option, value);
  return true;
}

}  // namespace vc::profiles
