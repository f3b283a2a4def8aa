#pragma once
// Opens inputs for the engine and the preview. Plain file names and the library's own URLs go to
// avformat_open_input; our own URL forms ("stream:N" and the like) are opened by handlers that
// other parts of the program register here, each giving the input its own AVIOContext.
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

// An opened input: the format context and, for custom URLs, the I/O it reads from. The context
// is closed before the I/O goes.
struct TOpenedInput {
  std::unique_ptr<TCustomIO> IO;  // declared first so it is destroyed last
  TInputFormatPtr Context;
};

// Settles fields of a fresh format context (forced codec ids, flags) before it is opened.
using TInputPreparer = std::function<void(AVFormatContext*)>;

// Opens url like avformat_open_input (fmt and options as there). Returns the library's negative
// error code on failure, 0 on success. A registered handler that refuses the URL throws.
int OpenInput(TOpenedInput& input, const std::string& url, const AVInputFormat* fmt, AVDictionary** options,
              const TInputPreparer& prepare = {});

}  // namespace vc::media
