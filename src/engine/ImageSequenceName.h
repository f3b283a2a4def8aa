#pragma once
// Target names for muxers that write one file per picture. Profiles name the first picture
// ("clip1.jpg", or "clip.bmp"), while today's image muxer wants a frame-number pattern.
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace vc::engine {

// The pattern whose frame number 1 is the given name: the trailing number before the extension
// becomes the frame number ("clip1.jpg" -> "clip%d.jpg", "shot007.png" -> "shot%03d.png"); a name
// without one gets the number appended ("clip.bmp" -> "clip%d.bmp"). A '%' elsewhere in the
// path is escaped, so it stays in the file names. A name that already holds a pattern is kept.
std::string ImageSequencePattern(const std::string& fileName);

// True for a muxer that writes every picture to a file of its own (today's image muxer no longer
// says so by its flags).
bool WritesFilePerPicture(const AVOutputFormat* muxer);

}  // namespace vc::engine
