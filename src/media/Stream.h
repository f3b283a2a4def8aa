#pragma once
// The stream base: a source or sink of bytes with a position. Any stream object can be handed to
// the media libraries as a "stream:N" input (StreamTable.h, StreamProtocol.h).
#include <cstdint>

namespace vc::media {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  TStream() = default;
  virtual ~TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Bytes delivered into buffer (at most count); 0 at the end of the data.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  // Bytes taken from buffer. Streams that only produce data take none.
  virtual int32_t Write(const void* buffer, int32_t count);
  // The new position in bytes from the start, or a negative value when the origin is refused.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  // Length in bytes. The default asks Seek for the end and returns to where it was.
  virtual int64_t Size();
};

}  // namespace vc::media
