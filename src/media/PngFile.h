#pragma once
// Writes a picture as a PNG file through the library's PNG encoder.
#include <cstdint>
#include <string>

namespace vc::media {

// bgra: height rows of width * 4 bytes, top row first, as the preview delivers pictures.
// Throws EVelocastError naming the file when it cannot be encoded or written.
void WriteBgraPng(const std::string& path, const uint8_t* bgra, int32_t width, int32_t height);

}  // namespace vc::media
