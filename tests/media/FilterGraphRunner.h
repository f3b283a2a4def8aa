#pragma once
// Runs a filter-graph description the way the engine links it (buffer source "in" -> text ->
// buffer sink "out") on small generated frames, and hands back the output as RGB pictures.
#include <cstdint>
#include <string>
#include <vector>

namespace vc::test {

struct TRgbPicture {
  int Width = 0;
  int Height = 0;
  int64_t Pts = 0;              // in the graph's time base, 1/25 s
  std::vector<uint8_t> Pixels;  // RGB24, rows without padding

  const uint8_t* At(int x, int y) const { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
  uint8_t* At(int x, int y) { return &Pixels[(static_cast<size_t>(y) * Width + x) * 3]; }
};

inline constexpr int kFrameWidth = 160;
inline constexpr int kFrameHeight = 120;
inline constexpr int kTimeBase = 25;  // frames' pts are in 1/25 s

// A 160x120 picture: red grows from left to right (30..130), green from top to bottom
// (30..130), blue is 80; a white 8x8 marker sits at (100,20). No pixel of it is near pure red,
// yellow, blue or white outside the marker, so drawn colours stand out.
TRgbPicture GradientPicture(int64_t pts);

struct TGraphRun {
  std::vector<TRgbPicture> Frames;
  std::vector<std::string> FilterNames;  // names of the filter types in the configured graph
};

// Feeds the pictures to the graph as yuv420p frames (as decoders deliver them) and collects what
// the sink gives as RGB24. Throws std::runtime_error naming the step that failed.
TGraphRun RunFilterGraph(const std::string& description, const std::vector<TRgbPicture>& input);

// Largest difference of any colour component at one pixel.
int PixelDistance(const uint8_t* a, const uint8_t* b);

}  // namespace vc::test
