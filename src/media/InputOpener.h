#pragma once
// Opens inputs for the engine and the preview. Plain file names and the library's own URLs go to
// avformat_open_input; our own URL forms ("stream:N" and the like) are opened by handlers that
// other parts of the program register here, each giving the input its own AVIOContext.
// Input formats of our own ("wavcap") cannot be registered with the library: their inputs get a
// format context that only describes the streams, and a reader of ours delivers the packets.
#include <functional>
#include <memory>
#include <string>

#include "media/AVHandles.h"

namespace vc::media {

// The I/O of a custom input; destroyed after the format context that reads through it.
class TCustomIO {
 public:
  virtual ~TCustomIO() = default;
  virtual AVIOContext* Context() = 0;
};

// Opens one custom URL: returns the I/O to read it through, or throws EVelocastError with a
// clear message when the URL names nothing that can be read.
using TInputHandler = std::function<std::unique_ptr<TCustomIO>(const std::string& url)>;

// Registers a handler for URLs that start with prefix ("stream:"). Later registrations of the
// same prefix replace earlier ones.
void RegisterInputHandler(const std::string& prefix, TInputHandler handler);

// The reader of an input format of our own.
class TOwnInput {
 public:
  virtual ~TOwnInput() = default;
  // As av_read_frame: 0 with a packet in the time base of its stream, AVERROR(EAGAIN) when none
  // is ready yet, AVERROR_EOF at the end, another negative error on failure.
  virtual int ReadPacket(AVPacket* packet) = 0;
};

// Opens an input of an own format: adds the streams to context (which has no demuxer), takes the
// format parameters it uses out of options, and gives the reader. Returns 0 or a negative error.
using TOwnInputOpener = std::function<int(const std::string& url, AVFormatContext* context, AVDictionary** options,
                                          std::unique_ptr<TOwnInput>& reader)>;

// Registers an own input format; the library's formats of the same name are found first.
void RegisterOwnInputFormat(const std::string& name, TOwnInputOpener opener);

// A forced input format: one of the library's demuxers, one of our own, or none (probe the input).
class TInputFormat final {
 public:
  TInputFormat() = default;
  TInputFormat(const AVInputFormat* library) : FLibrary(library) {}  // implicit: a demuxer is a format
  // The format called name, or none.
  static TInputFormat Find(const std::string& name);
  explicit operator bool() const { return FLibrary || FOwn; }
  const AVInputFormat* Library() const { return FLibrary; }
  const TOwnInputOpener* Own() const { return FOwn; }

 private:
  const AVInputFormat* FLibrary = nullptr;
  const TOwnInputOpener* FOwn = nullptr;
};

// An opened input: the format context and, for custom URLs, the I/O it reads from, or for an own
// format, its reader. The reader goes first, then the context, then the I/O.
struct TOpenedInput {
  std::unique_ptr<TCustomIO> IO;  // declared first so it is destroyed last
  TInputFormatPtr Context;
  std::unique_ptr<TOwnInput> Own;  // the reader of an own format, in place of the library's demuxer
};

// Settles fields of a fresh format context (forced codec ids, flags) before it is opened.
using TInputPreparer = std::function<void(AVFormatContext*)>;

// Opens url like avformat_open_input (fmt and options as there). Returns the library's negative
// error code on failure, 0 on success. A registered handler that refuses the URL throws.
int OpenInput(TOpenedInput& input, const std::string& url, const TInputFormat& fmt, AVDictionary** options,
              const TInputPreparer& prepare = {});

// The next packet of an opened input, as av_read_frame.
inline int ReadInputPacket(TOpenedInput& input, AVPacket* packet) {
  return input.Own ? input.Own->ReadPacket(packet) : av_read_frame(input.Context.get(), packet);
}

// avformat_find_stream_info for the library's inputs; own inputs know their streams when opened.
int FindInputStreamInfo(TOpenedInput& input);

// av_seek_frame to a time in µs for the library's inputs; own inputs (live capture) cannot seek
// and give AVERROR(ENOSYS).
int SeekInput(TOpenedInput& input, int64_t timestamp, int flags);

// True when the input's demuxer may jump in its timestamps (transport and program streams).
bool InputHasDiscontinuities(const TOpenedInput& input);

}  // namespace vc::media
