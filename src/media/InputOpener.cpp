#include "media/InputOpener.h"

#include <map>
#include <mutex>

namespace vc::media {

namespace {
std::mutex handlersMutex;
std::map<std::string, TInputHandler>& handlers() {
  static std::map<std::string, TInputHandler> table;
  return table;
}

TInputHandler findHandler(const std::string& url) {
  std::lock_guard lock(handlersMutex);
  for (const auto& [prefix, handler] : handlers())
    if (url.compare(0, prefix.size(), prefix) == 0) return handler;
  return {};
}
}  // namespace

void RegisterInputHandler(const std::string& prefix, TInputHandler handler) {
  std::lock_guard lock(handlersMutex);
  handlers()[prefix] = std::move(handler);
}

int OpenInput(TOpenedInput& input, const std::string& url, const AVInputFormat* fmt, AVDictionary** options,
              const TInputPreparer& prepare) {
  input.Context.reset();
  input.IO.reset();
  AVFormatContext* context = avformat_alloc_context();
  if (!context) return AVERROR(ENOMEM);
  if (prepare) prepare(context);
  if (TInputHandler handler = findHandler(url)) {
    try {
      input.IO = handler(url);
    } catch (...) {
      avformat_free_context(context);
      throw;
    }
    context->pb = input.IO->Context();
    context->flags |= AVFMT_FLAG_CUSTOM_IO;
  }
  // avformat_open_input frees the context on failure.
  const int rc = avformat_open_input(&context, url.c_str(), fmt, options);
  if (rc < 0) {
    input.IO.reset();
    return rc;
  }
  input.Context.reset(context);
  return 0;
}

}  // namespace vc::media
