#include "media/StreamProtocol.h"

#include <exception>
#include <memory>

#include "base/Errors.h"
#include "base/Format.h"
#include "media/InputOpener.h"
#include "media/StreamTable.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace vc::media {

namespace {

constexpr char kPrefix[] = "stream:";
constexpr int kIOBufferSize = 32768;

// The I/O of one open "stream:N" input. It owns the stream object from the open on; the library
// calls below run on the thread that reads the input. They never let an exception into the
// library's C frames: a failing stream operation becomes an error code, and its message becomes
// the last library log line, which the engine reports with the failure.
class TStreamIO final : public TCustomIO {
 public:
  TStreamIO(int32_t number, std::unique_ptr<TStream> stream) : FNumber(number), FStream(std::move(stream)) {
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIOBufferSize));
    if (!buffer) throw base::EVelocastError("Out of memory");
    AVIOContext* context = avio_alloc_context(buffer, kIOBufferSize, 0, this, &readPacket, nullptr, &seek);
    if (!context) {
      av_free(buffer);
      throw base::EVelocastError("Out of memory");
    }
    FContext.reset(context);
  }
  ~TStreamIO() override {
    FContext.reset();
    FStream.reset();
    StreamTable().Close(FNumber);
  }
  AVIOContext* Context() override { return FContext.get(); }

 private:
  static int readPacket(void* opaque, uint8_t* buffer, int size) {
    auto* self = static_cast<TStreamIO*>(opaque);
    try {
      const int32_t n = self->FStream->Read(buffer, size);
      if (n == 0) return AVERROR_EOF;
      return n > 0 ? n : AVERROR(EIO);
    } catch (const std::exception& e) {
      self->report(e.what());
    } catch (...) {
      self->report("unknown failure");
    }
    return AVERROR(EIO);
  }

  static int64_t seek(void* opaque, int64_t offset, int whence) {
    auto* self = static_cast<TStreamIO*>(opaque);
    try {
      switch (whence & ~AVSEEK_FORCE) {
        case SEEK_SET: return self->FStream->Seek(offset, TSeekOrigin::soBeginning);
        case SEEK_CUR: return self->FStream->Seek(offset, TSeekOrigin::soCurrent);
        case SEEK_END: return self->FStream->Seek(offset, TSeekOrigin::soEnd);
        case AVSEEK_SIZE: return self->FStream->Size();
        default:
          self->report(base::Format("unknown seek origin %d", whence).c_str());
          return AVERROR(EINVAL);
      }
    } catch (const std::exception& e) {
      self->report(e.what());
    } catch (...) {
      self->report("unknown failure");
    }
    return AVERROR(EIO);
  }

  void report(const char* message) {
    av_log(nullptr, AV_LOG_ERROR, "%s: %s\n", StreamUrl(FNumber).c_str(), message);
  }

  int32_t FNumber;
  std::unique_ptr<TStream> FStream;
  TIOContextPtr FContext;  // reset before the stream it calls into
};

std::unique_ptr<TCustomIO> openStreamUrl(const std::string& url) {
  const int32_t number = ParseStreamUrl(url);
  std::unique_ptr<TStream> stream = StreamTable().Open(number);
  try {
    return std::make_unique<TStreamIO>(number, std::move(stream));
  } catch (...) {
    // The input never came to be: the object dies here, like on any other failed open.
    StreamTable().Close(number);
    throw;
  }
}

}  // namespace

int32_t ParseStreamUrl(const std::string& url) {
  std::string rest = url;
  if (const size_t at = rest.find(kPrefix); at != std::string::npos) rest.erase(at, sizeof(kPrefix) - 1);
  const size_t delimiter = rest.find_last_of("/\\");
  const size_t dot = rest.rfind('.');
  if (dot != std::string::npos && (delimiter == std::string::npos || dot > delimiter)) rest.erase(dot);
  int32_t number = 0;
  if (!base::TryParseInt32(rest, number))
    throw base::EVelocastError(base::Format("Invalid stream address \"%s\": '%s' is not a valid integer value",
                                            url.c_str(), rest.c_str()));
  return number;
}

void RegisterStreamProtocol() { RegisterInputHandler(kPrefix, &openStreamUrl); }

}  // namespace vc::media
