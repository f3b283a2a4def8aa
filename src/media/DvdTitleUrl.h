#pragma once
// A chapter range of a DVD title as an input URL: the title stream is made and handed to the
// stream table, and the conversion opens it as "stream:N".
#include <cstdint>
#include <string>

namespace vc::media {

// Opens title (1-based) of the DVD at sourcePath in the given angle, chapters first..last
// (1-based, inclusive), and returns the "stream:N" URL that reads it. Throws EVelocastError:
// "Can not open DVD", "Title %d is not on %s", and the title stream's own errors.
std::string OpenDvdTitleUrl(const std::string& sourcePath, int32_t title, int32_t angle, int32_t firstChapter,
                            int32_t lastChapter);

}  // namespace vc::media
