#include "tasks/AVTask.h"

#include <filesystem>

#include "base/Format.h"
#include "base/PlatformActions.h"
#include "base/Prompts.h"
#include "tasks/AVConfiguration.h"
#include "tasks/CompletionAlerts.h"
#include "tasks/ConvertedNode.h"
#include "tasks/ConvertingNode.h"
#include "tasks/PersistentManager.h"

namespace vc::tasks {

namespace {

// Leading and trailing blanks and control characters go, as the list box cannot show them.
std::string trimmed(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

void deleteFileIfThere(const std::string& path) {
  std::error_code ec;
  if (fileExists(path)) std::filesystem::remove(path, ec);  // failures are not reported
}

}  // namespace

TAVTask::TAVTask(std::unique_ptr<TConversionSettings> settings, ITaskListView* list)
    : FSettings(settings ? std::move(settings) : std::make_unique<TConversionSettings>()),
      FConverter(std::make_unique<engine::TAVConverter>()) {
  ListView = list;
  CategoryId = FSettings->CategoryId;
  connectEvents();
}

TAVTask::~TAVTask() {
  // The engine first: its worker may still append log lines, and the log dies with the task.
  FConverter.reset();
  DetachFromViews();
}

void TAVTask::connectEvents() {
  FConverter->OnLog = [this](engine::TAVConverter&, int, const std::string& text) { onLog(text); };
  FConverter->OnProgress = [this](engine::TAVConverter&) { onProgress(); };
  FConverter->OnComplete = [this](engine::TAVConverter&) { onComplete(); };
}

void TAVTask::renewConverter() {
  // Only an engine that has ended is replaced: a destroyed working engine would stop its run.
  FConverter = std::make_unique<engine::TAVConverter>();
  connectEvents();
  FConverterUsed = false;
}

bool TAVTask::CanStart() const {
  if (Status == TAVTaskStatus::stPaused) return true;
  if (FConverter->Busy()) return false;  // a stop was asked for, and the engine has not ended yet
  if (Status == TAVTaskStatus::stError) return true;
  return !FConverterUsed && !IsConverted && Status != TAVTaskStatus::stFinished;
}

base::TStrings TAVTask::Log() const {
  std::lock_guard lock(FLogMutex);
  return FLog;
}

void TAVTask::SetLog(const base::TStrings& lines) {
  {
    std::lock_guard lock(FLogMutex);
    FLog = lines;
  }
  FLogChanged.store(true);
}

std::string TAVTask::LogText() const {
  const base::TStrings log = Log();
  std::string text;
  for (const std::string& line : log.Lines()) text += line + "\r\n";
  return text;
}

void TAVTask::addLogLine(const std::string& text) {
  {
    std::lock_guard lock(FLogMutex);
    while (FLog.Count() >= MaxLogLines) FLog.Delete(0);
    FLog.Add(trimmed(text));
  }
  FLogChanged.store(true);
}

void TAVTask::clearLogLines() {
  {
    std::lock_guard lock(FLogMutex);
    FLog.Clear();
  }
  FLogChanged.store(true);
}

void TAVTask::refreshLogView(bool force) {
  const bool changed = FLogChanged.exchange(false);
  if ((changed || force) && LogList && LogList->ShownObject() == this) LogList->ShowLog(this, Log().Lines());
}

void TAVTask::repaintRow() {
  if (ListView && Category && Category->TreeView && Category->TreeView->SelectedNode() == Category)
    ListView->RepaintRow(*this);
}

void TAVTask::DetachFromViews() {
  if (ListView) ListView->DeleteRow(*this);
  if (LogList && LogList->ShownObject() == this) LogList->ShowLog(nullptr, {});
  ListView = nullptr;
  InfoView = nullptr;
  LogList = nullptr;
}

// Worker thread: the line only joins the log; the UI thread shows it at the next progress report
// or at completion, so the worker never waits for the UI thread here.
void TAVTask::onLog(const std::string& text) { addLogLine(text); }

void TAVTask::onProgress() {
  repaintRow();
  refreshLogView();
}

void TAVTask::onComplete() {
  Status = TAVTaskStatus::stFinished;
  repaintRow();
  // A run that failed says why in its history: the error is the log's last line.
  const std::string error = FConverter->ErrorText();
  if (!error.empty()) addLogLine(error);
  refreshLogView();
  try {
    TPersistentManager::FinishDbTask(*this);
  } catch (const std::exception& e) {
    // The row stays a queue row; the task stays where it is, finished.
    base::Prompts().ShowError(e.what());
    return;
  }
  if (Configuration().ShowAlert && error.empty()) CompletionAlerts().Show(Settings().TargetFile);
  fileFinished();
}

void TAVTask::fileFinished() {
  TNodeObject* holder = Category;
  auto* queue = dynamic_cast<TConvertingNode*>(holder);
  std::unique_ptr<TAVTask> self = holder ? holder->TakeTask(*this) : nullptr;
  if (self) {
    TNodeObject* shown = holder->TreeView ? holder->TreeView->SelectedNode() : nullptr;
    auto* shownCategory = dynamic_cast<TConvertedNode*>(shown);
    if (shownCategory && shownCategory->CategoryId == CategoryId) {
      IsConverted = true;
      Category = shownCategory;
      if (shownCategory->ListView) ListView = shownCategory->ListView;
      shownCategory->AddTask(std::move(self));
      if (ListView) ListView->AddRow(*this);
    } else {
      // Seen again when its category is next read from the database.
      DetachFromViews();
      Category = nullptr;
      if (queue)
        queue->Retire(std::move(self));
      else
        holder->AddTask(std::move(self));  // a holder that cannot retire keeps it
    }
  }
  if (Configuration().ShutdownWhenDone && queue && !queue->AnyRunning()) base::PlatformActions().ShutDown();
}

void TAVTask::Delete(bool deleteSource, bool deleteTarget) {
  TPersistentManager::DeleteTask(*this);
  if (FConverter->Busy()) {
    // A stopped task whose engine has not ended yet: let it end (the output is finalised) before
    // its files go.
    FConverter->Stop();
    FConverter.reset();
    renewConverter();
  }
  if (deleteSource && Settings().SourceType == TAVSourceType::stFile) deleteFileIfThere(Settings().SourceFile);
  if (deleteTarget) deleteFileIfThere(Settings().TargetFile);
  DetachFromViews();
  if (TNodeObject* holder = Category) {
    Category = nullptr;
    std::unique_ptr<TAVTask> self = holder->TakeTask(*this);
    self.reset();  // destroys this task: nothing may touch it from here on
  }
}

void TAVTask::ClearLog() {
  TPersistentManager::ClearLog(*this);
  clearLogLines();
  refreshLogView(true);
}

bool TAVTask::CanOpenSource() const {
  return Settings().SourceType == TAVSourceType::stFile && fileExists(Settings().SourceFile);
}

bool TAVTask::ConvertedIsValid() const { return IsConverted && fileExists(Settings().TargetFile); }

void TAVTask::LoadTaskInfo(IInfoView& info, ILogListView& log) {
  TNodeObject::LoadTaskInfo(info, log);
  info.SetColumns({{"Category", 100}, {"Property", 150}, {"Value", 150}});
  FLogChanged.store(false);
  log.ShowLog(this, Log().Lines());
}

void DeleteOrStopTasks(const std::vector<TAVTask*>& selection, bool deleteSource, bool deleteTarget) {
  for (auto it = selection.rbegin(); it != selection.rend(); ++it) {
    TAVTask* task = *it;
    if (task->Status == TAVTaskStatus::stError || task->Status == TAVTaskStatus::stFinished)
      task->Delete(deleteSource, deleteTarget);
    else
      task->Stop();
  }
}

std::string DvdRerunRefusedText(const TConversionSettings& settings, const std::string& reason) {
  return base::Format("The DVD title %d of %s cannot be opened again: %s", settings.DvdTitle,
                      settings.DvdVolume.empty() ? settings.DvdDriver.c_str() : settings.DvdVolume.c_str(),
                      reason.c_str());
}

}  // namespace vc::tasks
