#include "tasks/NodeObject.h"

#include <algorithm>

#include "tasks/AVTask.h"

namespace vc::tasks {

TNodeObject::~TNodeObject() { ClearTasks(); }

void TNodeObject::AddTask(std::unique_ptr<TAVTask> task) { FTasks.push_back(std::move(task)); }

std::unique_ptr<TAVTask> TNodeObject::TakeTask(const TAVTask& task) {
  const auto it = std::find_if(FTasks.begin(), FTasks.end(), [&](const auto& t) { return t.get() == &task; });
  if (it == FTasks.end()) return nullptr;
  std::unique_ptr<TAVTask> taken = std::move(*it);
  FTasks.erase(it);
  return taken;
}

void TNodeObject::ClearTasks() {
  // A task's destructor may serve UI calls of other workers; take each out of the list first so
  // the list is never seen half destroyed.
  while (!FTasks.empty()) {
    std::unique_ptr<TAVTask> last = std::move(FTasks.back());
    FTasks.pop_back();
    last.reset();
  }
}

std::string NodeCaption(TNodeObject* object, int column) { return object ? object->GetCaption(column) : std::string(); }

int NodeImageIndex(const TNodeObject* object) { return object ? object->GetImageIndex() : -1; }

}  // namespace vc::tasks
