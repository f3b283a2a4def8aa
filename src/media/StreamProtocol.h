#pragma once
// The "stream:N" input: the input opener reads such a URL through a custom I/O context over the
// stream object that the stream table knows by number N. Opening the URL hands the object to the
// input; closing the input destroys it and retires N.
#include <cstdint>
#include <string>

namespace vc::media {

// Registers the "stream:" handler with the input opener. Part of the media libraries' one-time
// registration; calling it again is harmless.
void RegisterStreamProtocol();

// The stream number of "stream:N", "stream:N.ext" or "stream:path/N.ext" forms: the first
// "stream:" is removed, then a file-name extension (from the last "." after the last path
// delimiter). Throws EVelocastError when the rest is not a 32-bit decimal integer.
int32_t ParseStreamUrl(const std::string& url);

}  // namespace vc::media
