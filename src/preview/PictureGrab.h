#pragma once
// Takes pictures out of the preview as the renderers would get them: the source is opened
// through the player on a graph with a capturing video renderer and a null sound renderer,
// positioned at a time, and the pictures delivered from that time on are returned (BGRA, filters
// applied). The terminal program's snapshot command is built on this.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace vc::preview {

struct TGrabbedPicture {
  double Time = 0;              // seconds on the source's time line (start of the picture)
  int32_t Width = 0;            // pixels
  int32_t Height = 0;           // pixels
  std::vector<uint8_t> Pixels;  // BGRA, rows top first, Width * 4 bytes each
};

struct TGrabRequest {
  std::string Source;       // a file name or a "stream:" URL
  double At = 0;            // seconds: the first picture starts at or after this time
  int32_t Count = 1;        // consecutive pictures wanted
  std::string VideoFilters; // filter text as stored with the settings; empty for none
  std::chrono::milliseconds Timeout{20000};
};

// The pictures; fewer than asked when the source ends first. Throws EVelocastError when the
// source cannot be opened ("can not open the file %s!"), has no video, or delivers nothing in
// time.
std::vector<TGrabbedPicture> GrabPictures(const TGrabRequest& request);

}  // namespace vc::preview
