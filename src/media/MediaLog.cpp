#include "media/MediaLog.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <unordered_map>

extern "C" {
#include <libavutil/log.h>
}

namespace vc::media {

namespace {

std::shared_mutex registryMutex;
std::unordered_map<std::thread::id, IMediaLogSink*>& registry() {
  static std::unordered_map<std::thread::id, IMediaLogSink*> table;
  return table;
}

IMediaLogSink* sinkOfThisThread() {
  std::shared_lock lock(registryMutex);
  const auto& table = registry();
  const auto found = table.find(std::this_thread::get_id());
  return found == table.end() ? nullptr : found->second;
}

void routeLine(void*, int level, const char* fmt, va_list args) {
  try {
    IMediaLogSink* sink = sinkOfThisThread();
    if (!sink || level > sink->MediaLogLevel()) return;
    char line[1024];
    const int length = std::vsnprintf(line, sizeof line, fmt, args);
    if (length < 0) return;
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    sink->MediaLog(level, text);
  } catch (...) {
    // A log line must never take a codec call down with it.
  }
}

}  // namespace

TMediaLogThread::TMediaLogThread(IMediaLogSink* sink) {
  std::unique_lock lock(registryMutex);
  registry()[std::this_thread::get_id()] = sink;
}

TMediaLogThread::~TMediaLogThread() {
  std::unique_lock lock(registryMutex);
  registry().erase(std::this_thread::get_id());
}

void RaiseMediaLogLevel(int level) {
  static std::mutex levelMutex;
  std::lock_guard lock(levelMutex);
  if (level > av_log_get_level()) av_log_set_level(level);
}

int RegisteredLogThreads() {
  std::shared_lock lock(registryMutex);
  return static_cast<int>(registry().size());
}

void InstallMediaLogRouter() { av_log_set_callback(routeLine); }

void RemoveMediaLogRouter() { av_log_set_callback(av_log_default_callback); }

}  // namespace vc::media
