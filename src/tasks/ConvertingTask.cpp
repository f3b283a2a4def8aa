#include "tasks/ConvertingTask.h"

#include <filesystem>

#include "base/Format.h"
#include "base/Prompts.h"
#include "tasks/DvdTaskSource.h"
#include "tasks/TaskCaptions.h"

namespace vc::tasks {

namespace {

std::string fileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int64_t currentFileSize(const std::string& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  return ec ? 0 : static_cast<int64_t>(size);
}

}  // namespace

std::string TConvertingTask::sourceCaption() const {
  const TConversionSettings& s = Settings();
  if (s.SourceType == TAVSourceType::stDvd) return base::Format("dvd[%s:title%d]", s.DvdVolume.c_str(), s.DvdTitle);
  return fileNamePart(s.SourceFile);
}

std::string TConvertingTask::GetCaption(int column) { return IsConverted ? historyCaption(column) : queueCaption(column); }

std::string TConvertingTask::queueCaption(int column) {
  const engine::TAVConverter& engine = Converter();
  switch (column) {
    case 0:
      return sourceCaption();
    case 1:
      if (Settings().SourceFileSize == 0) Settings().SourceFileSize = engine.InputSize();
      return SizeCaption(Settings().SourceFileSize);
    case 2:
      return fileNamePart(Settings().TargetFile);
    case 3:
      return SizeCaption(engine.OutputSize());
    case 4:
      return GetTargetProfileText();
    case 5:
      return DurationCaption(engine.Duration());
    case 6:
      return base::Format("%d%%", engine.Progress());
    case 7:
      return BitrateCaption(engine.Bitrate());
    case 8:
      return base::TimeText(engine.RemainingSeconds());
    case 9:
      return base::TimeText(engine.ElapsedSeconds());
    default:
      return {};
  }
}

std::string TConvertingTask::historyCaption(int column) const {
  switch (column) {
    case 0:
      return sourceCaption();
    case 1:
      return SizeCaption(Settings().SourceFileSize);
    case 2:
      return fileNamePart(Settings().TargetFile);
    case 3:
      return SizeCaption(currentFileSize(Settings().TargetFile));
    case 4:
      return GetTargetProfileText();
    case 5:
      return DurationCaption(Settings().Duration);
    case 6:
      return DateCaption(Date);
    default:
      return {};
  }
}

bool TConvertingTask::Start() {
  if (Status == TAVTaskStatus::stPaused) {
    Resume();
    return true;
  }
  if (!CanStart()) return false;
  // The title stream of a DVD task is gone once its run has opened it: open the title afresh.
  std::string reopenError;
  if (Settings().SourceType == TAVSourceType::stDvd && (LoadedFromDatabase || converterUsed()) &&
      !ReopenDvdTitle(Settings(), reopenError)) {
    base::Prompts().ShowError(DvdRerunRefusedText(Settings(), reopenError));
    return false;
  }
  if (converterUsed()) renewConverter();

  Status = TAVTaskStatus::stRunning;
  clearLogLines();
  refreshLogView(true);
  engine::TAVConverter& engine = Converter();
  engine.InputFiles().Clear();
  engine.InputFiles().Add(Settings().SourceFile);
  engine.OutputFiles().Clear();
  engine.OutputFiles().Add(Settings().TargetFile);
  engine.SetConvertOptions(Settings().ConvertOptions);
  markConverterUsed();
  const bool started = engine.Start();
  if (!started) Status = TAVTaskStatus::stError;
  repaintRow();
  return started;
}

void TConvertingTask::Pause() {
  if (Status != TAVTaskStatus::stRunning) return;
  Status = TAVTaskStatus::stPaused;
  Converter().Pause();
  repaintRow();
  refreshLogView();  // no report comes while paused to show the last lines
}

void TConvertingTask::Resume() {
  if (Status != TAVTaskStatus::stPaused) return;
  Status = TAVTaskStatus::stRunning;
  Converter().Resume();
  repaintRow();
}

void TConvertingTask::Stop() {
  if (Status != TAVTaskStatus::stRunning && Status != TAVTaskStatus::stPaused) return;
  Status = TAVTaskStatus::stError;
  Converter().Stop();
  repaintRow();
}

}  // namespace vc::tasks
