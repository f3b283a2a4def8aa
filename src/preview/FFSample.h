#pragma once
// What the decoder thread queues on the pins: decoded blocks (a BGRA picture or a run of 16-bit
// PCM bytes) with their place on the stream time line, and graphic subtitles with their base time.
#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace vc::preview {

struct TFFSample {
  TFFSample(int32_t size, double start, double stop);
  std::unique_ptr<uint8_t[]> Data;  // Size bytes, not initialised
  double Start;                     // seconds on the stream time line, loop passes added
  double Stop;                      // seconds
  int32_t Size;                     // bytes in Data
  int32_t Taken = 0;                // bytes already consumed
  int32_t Width = 0, Height = 0;    // pixels of a picture (rows of Width * 4 bytes, top first)
};

// A decoded subtitle and the time its display times count from.
class TFFSubtitle final {
 public:
  TFFSubtitle() = default;
  ~TFFSubtitle() { avsubtitle_free(&FSubtitle); }
  TFFSubtitle(const TFFSubtitle&) = delete;
  TFFSubtitle& operator=(const TFFSubtitle&) = delete;

  AVSubtitle& Subtitle() { return FSubtitle; }
  const AVSubtitle& Subtitle() const { return FSubtitle; }
  double Base = 0;  // seconds on the stream time line, loop passes added
  // Display start and end, seconds on the stream time line.
  double DisplayStart() const { return Base + FSubtitle.start_display_time / 1000.0; }
  double DisplayEnd() const { return Base + FSubtitle.end_display_time / 1000.0; }

 private:
  AVSubtitle FSubtitle{};
};

}  // namespace vc::preview
