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

std::mutex ownFormatsMutex;
std::map<std::string, TOwnInputOpener>& ownFormats() {
  static std::map<std::string, TOwnInputOpener> table;
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

void RegisterOwnInputFormat(const std::string& name, TOwnInputOpener opener) {
  std::lock_guard lock(ownFormatsMutex);
  ownFormats()[name] = std::move(opener);
}

TInputFormat TInputFormat::Find(const std::string& name) {
  if (const AVInputFormat* library = av_find_input_format(name.c_str())) return TInputFormat(library);
  std::lock_guard lock(ownFormatsMutex);
  const auto found = ownFormats().find(name);
  TInputFormat format;
  // Entries are never removed, so the opener stays where it is.
  if (found != ownFormats().end()) format.FOwn = &found->second;
  return format;
}

namespace {

int openOwnInput(TOpenedInput& input, const std::string& url, const TOwnInputOpener& opener, AVDictionary** options,
                 const TInputPreparer& prepare) {
  TInputFormatPtr context(avformat_alloc_context());
  if (!context) return AVERROR(ENOMEM);
  if (prepare) prepare(context.get());
  std::unique_ptr<TOwnInput> reader;
  const int rc = opener(url, context.get(), options, reader);
  if (rc < 0) return rc;
  if (!reader) return AVERROR_BUG;
  input.Context = std::move(context);
  input.Own = std::move(reader);
  return 0;
}

}  // namespace

int FindInputStreamInfo(TOpenedInput& input) {
  return input.Own ? 0 : avformat_find_stream_info(input.Context.get(), nullptr);
}

int SeekInput(TOpenedInput& input, int64_t timestamp, int flags) {
  return input.Own ? AVERROR(ENOSYS) : av_seek_frame(input.Context.get(), -1, timestamp, flags);
}

bool InputHasDiscontinuities(const TOpenedInput& input) {
  const AVInputFormat* format = input.Context ? input.Context->iformat : nullptr;
  return format && (format->flags & AVFMT_TS_DISCONT);
}

int OpenInput(TOpenedInput& input, const std::string& url, const TInputFormat& fmt, AVDictionary** options,
              const TInputPreparer& prepare) {
  input.Own.reset();
  input.Context.reset();
  input.IO.reset();
  if (fmt.Own()) return openOwnInput(input, url, *fmt.Own(), options, prepare);
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
  const int rc = avformat_open_input(&context, url.c_str(), fmt.Library(), options);
  if (rc < 0) {
    input.IO.reset();
    return rc;
  }
  input.Context.reset(context);
  return 0;
}

}  // namespace vc::media
