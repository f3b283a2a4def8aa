#include "scriptclip/PictureFilters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "scriptclip/ScriptError.h"

namespace vc::scriptclip {

namespace {

using TTable = std::array<uint8_t, 256>;

constexpr int kPlanes[] = {AVS_PLANAR_Y, AVS_PLANAR_U, AVS_PLANAR_V};

uint8_t clampByte(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

TTable tableOf(double (*map)(int, const void*), const void* context) {
  TTable table{};
  for (int i = 0; i < 256; ++i) table[static_cast<size_t>(i)] = clampByte(map(i, context));
  return table;
}

// Each plane through a table: one for luma, one for both chroma planes.
class TTableFilter final : public TPictureFilter {
 public:
  TTableFilter(TClipRef child, const char* name, const TTable& luma, const TTable& chroma)
      : TPictureFilter(std::move(child), name), FLuma(luma), FChroma(chroma) {}

 protected:
  void Apply(const AVS_VideoFrame& source, AVS_VideoFrame& target) const override {
    for (const int plane : kPlanes) {
      const TTable& table = plane == AVS_PLANAR_Y ? FLuma : FChroma;
      const uint8_t* in = avs_get_read_ptr_p(&source, plane);
      uint8_t* out = avs_get_write_ptr_p(&target, plane);
      const int width = avs_get_row_size_p(&source, plane);
      for (int y = 0; y < avs_get_height_p(&source, plane); ++y) {
        const uint8_t* row = in + static_cast<ptrdiff_t>(y) * avs_get_pitch_p(&source, plane);
        uint8_t* line = out + static_cast<ptrdiff_t>(y) * avs_get_pitch_p(&target, plane);
        for (int x = 0; x < width; ++x) line[x] = table[row[x]];
      }
    }
  }

 private:
  TTable FLuma;
  TTable FChroma;
};

class TFlipFilter final : public TPictureFilter {
 public:
  TFlipFilter(TClipRef child, bool vertical)
      : TPictureFilter(std::move(child), vertical ? "FlipVertical" : "FlipHorizontal"), FVertical(vertical) {}

 protected:
  void Apply(const AVS_VideoFrame& source, AVS_VideoFrame& target) const override {
    for (const int plane : kPlanes) {
      const uint8_t* in = avs_get_read_ptr_p(&source, plane);
      uint8_t* out = avs_get_write_ptr_p(&target, plane);
      const int width = avs_get_row_size_p(&source, plane);
      const int height = avs_get_height_p(&source, plane);
      for (int y = 0; y < height; ++y) {
        const uint8_t* row = in + static_cast<ptrdiff_t>(FVertical ? height - 1 - y : y) * avs_get_pitch_p(&source, plane);
        uint8_t* line = out + static_cast<ptrdiff_t>(y) * avs_get_pitch_p(&target, plane);
        if (FVertical)
          std::copy(row, row + width, line);
        else
          std::reverse_copy(row, row + width, line);
      }
    }
  }

 private:
  bool FVertical;
};

class TTweakFilter final : public TPictureFilter {
 public:
  TTweakFilter(TClipRef child, const TTweak& tweak, const TTable& luma)
      : TPictureFilter(std::move(child), "Tweak"),
        FLuma(luma),
        FCos(std::cos(tweak.Hue * M_PI / 180) * tweak.Sat),
        FSin(std::sin(tweak.Hue * M_PI / 180) * tweak.Sat) {}

 protected:
  void Apply(const AVS_VideoFrame& source, AVS_VideoFrame& target) const override {
    const uint8_t* inY = avs_get_read_ptr_p(&source, AVS_PLANAR_Y);
    uint8_t* outY = avs_get_write_ptr_p(&target, AVS_PLANAR_Y);
    for (int y = 0; y < source.height; ++y)
      for (int x = 0; x < source.row_size; ++x)
        outY[y * target.pitch + x] = FLuma[inY[y * source.pitch + x]];
    const uint8_t* inU = avs_get_read_ptr_p(&source, AVS_PLANAR_U);
    const uint8_t* inV = avs_get_read_ptr_p(&source, AVS_PLANAR_V);
    uint8_t* outU = avs_get_write_ptr_p(&target, AVS_PLANAR_U);
    uint8_t* outV = avs_get_write_ptr_p(&target, AVS_PLANAR_V);
    for (int y = 0; y < source.heightUV; ++y) {
      for (int x = 0; x < source.row_sizeUV; ++x) {
        const double u = inU[y * source.pitchUV + x] - 128.0;
        const double v = inV[y * source.pitchUV + x] - 128.0;
        outU[y * target.pitchUV + x] = clampByte(u * FCos + v * FSin + 128);
        outV[y * target.pitchUV + x] = clampByte(v * FCos - u * FSin + 128);
      }
    }
  }

 private:
  TTable FLuma;
  double FCos;  // cos(hue) * sat
  double FSin;  // sin(hue) * sat
};

void checkRange(const char* function, const char* name, double value, double low, double high) {
  if (!(value >= low && value <= high))
    throw TScriptError(std::string(function) + ": " + name + " must lie between " + std::to_string(low) + " and " +
                       std::to_string(high));
}

}  // namespace

TClipRef MakeInvert(TClipRef child) {
  const TTable negative = tableOf([](int s, const void*) { return 255.0 - s; }, nullptr);
  return TClipRef::Adopt(std::make_unique<TTableFilter>(std::move(child), "Invert", negative, negative).release());
}

TClipRef MakeGreyscale(TClipRef child) {
  const TTable same = tableOf([](int s, const void*) { return static_cast<double>(s); }, nullptr);
  const TTable neutral = tableOf([](int, const void*) { return 128.0; }, nullptr);
  return TClipRef::Adopt(std::make_unique<TTableFilter>(std::move(child), "Greyscale", same, neutral).release());
}

TClipRef MakeFlip(TClipRef child, bool vertical) {
  return TClipRef::Adopt(std::make_unique<TFlipFilter>(std::move(child), vertical).release());
}

TClipRef MakeTweak(TClipRef child, const TTweak& tweak) {
  checkRange("Tweak", "hue", tweak.Hue, -180, 180);
  checkRange("Tweak", "sat", tweak.Sat, 0, 10);
  checkRange("Tweak", "bright", tweak.Bright, -255, 255);
  checkRange("Tweak", "cont", tweak.Cont, 0, 10);
  const TTable luma =
      tableOf([](int s, const void* t) {
        const auto& tw = *static_cast<const TTweak*>(t);
        return (s - 16) * tw.Cont + tw.Bright + 16;
      }, &tweak);
  return TClipRef::Adopt(std::make_unique<TTweakFilter>(std::move(child), tweak, luma).release());
}

TClipRef MakeLevels(TClipRef child, const TLevels& levels) {
  checkRange("Levels", "input_low", levels.InputLow, 0, 255);
  checkRange("Levels", "input_high", levels.InputHigh, 0, 255);
  checkRange("Levels", "output_low", levels.OutputLow, 0, 255);
  checkRange("Levels", "output_high", levels.OutputHigh, 0, 255);
  checkRange("Levels", "gamma", levels.Gamma, 0.01, 10);
  if (levels.InputLow == levels.InputHigh) throw TScriptError("Levels: input_low and input_high must differ");
  const TTable luma = tableOf([](int s, const void* l) {
    const auto& lv = *static_cast<const TLevels*>(l);
    const double position = std::clamp(static_cast<double>(s - lv.InputLow) / (lv.InputHigh - lv.InputLow), 0.0, 1.0);
    return lv.OutputLow + std::pow(position, 1 / lv.Gamma) * (lv.OutputHigh - lv.OutputLow);
  }, &levels);
  const TTable chroma = tableOf([](int s, const void* l) {
    const auto& lv = *static_cast<const TLevels*>(l);
    const double ratio = static_cast<double>(lv.OutputHigh - lv.OutputLow) / (lv.InputHigh - lv.InputLow);
    return (s - 128) * ratio + 128;
  }, &levels);
  return TClipRef::Adopt(std::make_unique<TTableFilter>(std::move(child), "Levels", luma, chroma).release());
}

}  // namespace vc::scriptclip
