#include "tasks/ConversionComposer.h"

#include <cmath>
#include <thread>

#include "tasks/AVConfiguration.h"

namespace vc::tasks {

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  const size_t nameStart = path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1;
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}

std::string MoveToFolder(const std::string& folder, const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

int ConfiguredThreadCount() {
  const int configured = Configuration().PerformanceOptions.ThreadCount;
  if (configured > 0) return configured;
  const unsigned processors = std::thread::hardware_concurrency();
  return processors > 0 ? static_cast<int>(processors) : 1;
}

void ApplyProfile(engine::TAVConvertOptions& options, const profiles::TAVProfile& profile) {
  options.InputFormat.clear();
  options.ThreadCount = ConfiguredThreadCount();
  profile.Apply(options);
}

void ApplyTimeRange(engine::TAVConvertOptions& options, double startSeconds, double endSeconds) {
  options.StartTime = std::llround(startSeconds * 1000000);
  if (endSeconds > 0) options.RecordingTime = std::llround((endSeconds - startSeconds) * 1000000);
}

}  // namespace vc::tasks
