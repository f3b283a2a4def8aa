#include "tasks/PersistentManager.h"

#include <algorithm>
#include <ctime>

#include "base/Errors.h"
#include "tasks/ConvertedNode.h"
#include "tasks/ConvertingNode.h"
#include "tasks/ConvertingTask.h"
#include "tasks/TaskCaptions.h"
#include "tasks/TaskDatabase.h"

namespace vc::tasks {

namespace {

TSqliteDatabase& db() { return TaskDatabase().Connection(); }

std::string id(int64_t value) { return std::to_string(value); }

// One task from a row of select * from Conversions.
std::unique_ptr<TConvertingTask> taskFromRow(const TSqliteStatement& row, ITaskListView* list) {
  auto settings = std::make_unique<TConversionSettings>();
  const int settingsColumn = row.ColumnIndex("ConvertSettings");
  if (settingsColumn >= 0 && !row.IsNull(settingsColumn)) settings->FromXml(row.Text(settingsColumn));
  auto task = std::make_unique<TConvertingTask>(std::move(settings), list);
  task->ID = row.Int(row.ColumnIndex("ID"));
  const int logColumn = row.ColumnIndex("Log");
  base::TStrings log;
  if (logColumn >= 0 && !row.IsNull(logColumn)) log.SetText(row.Text(logColumn));
  task->SetLog(log);
  task->LoadedFromDatabase = true;
  return task;
}

bool categoryExists(int32_t categoryId) {
  auto select = db().Prepare("select ID from Categories where ID=" + id(categoryId));
  return select->Step();
}

}  // namespace

void TPersistentManager::NewDbTask(TAVTask& task) {
  auto insert = db().Prepare("insert into Conversions(Converting, ConvertSettings) values(1, ?)");
  insert->BindText(1, GetConvertSettings(task));
  insert->Execute();
  task.ID = db().LastInsertRowId();
}

void TPersistentManager::FinishDbTask(TAVTask& task) {
  TConversionSettings& settings = task.Settings();
  settings.Duration = task.Converter().Duration();
  // The list fills the source size when it first paints the row; a queue never looked at must
  // not file a source of 0KB.
  if (settings.SourceFileSize == 0) settings.SourceFileSize = task.Converter().InputSize();

  const int32_t categoryId = categoryExists(task.CategoryId) ? task.CategoryId : 1;
  const std::time_t now = std::time(nullptr);
  std::unique_ptr<TSqliteStatement> update;
  if (task.ID != 0) {
    update = db().Prepare(
        "update conversions set Converting=0, ConvertSettings=?, ConvertedDate=?, CategoryId=?, Log=? where ID=" +
        id(task.ID));
  } else {
    // The queue row could not be inserted when the conversion started; keep its history anyway.
    update = db().Prepare(
        "insert into Conversions(Converting, ConvertSettings, ConvertedDate, CategoryId, Log) values(0, ?, ?, ?, ?)");
  }
  update->BindText(1, GetConvertSettings(task));
  update->BindText(2, StoredDateText(now));
  update->BindInt(3, categoryId);
  update->BindText(4, task.LogText());
  update->Execute();
  if (task.ID == 0) task.ID = db().LastInsertRowId();
  task.Date = now;
  task.CategoryId = categoryId;
}

void TPersistentManager::LoadConvertingTask(TConvertingNode& node) {
  auto select = db().Prepare("select * from Conversions where Converting=1");
  std::vector<std::unique_ptr<TConvertingTask>> loaded;
  while (select->Step()) {
    // Conversions admitted in this run before the queue was first shown are held already.
    const int64_t rowId = select->Int(select->ColumnIndex("ID"));
    if (std::any_of(node.Tasks().begin(), node.Tasks().end(), [&](const auto& t) { return t->ID == rowId; }))
      continue;
    auto task = taskFromRow(*select, node.ListView);
    task->Status = TAVTaskStatus::stError;
    task->CategoryId = task->Settings().CategoryId;
    task->Category = &node;
    loaded.push_back(std::move(task));
  }
  // All or nothing: a row whose settings do not read leaves the queue unread.
  for (auto& task : loaded) node.AddTask(std::move(task));
}

void TPersistentManager::LoadConvertedTask(TConvertedNode& node) {
  node.ClearTasks();
  auto select = db().Prepare("select * from Conversions where Converting=0 and CategoryId=" + id(node.CategoryId) +
                             " order by ConvertedDate desc");
  std::vector<std::unique_ptr<TConvertingTask>> loaded;
  while (select->Step()) {
    auto task = taskFromRow(*select, node.ListView);
    const int dateColumn = select->ColumnIndex("ConvertedDate");
    task->Date = dateColumn >= 0 && !select->IsNull(dateColumn) ? ParseStoredDate(select->Text(dateColumn)) : 0;
    task->CategoryId = node.CategoryId;
    task->Status = TAVTaskStatus::stFinished;
    task->IsConverted = true;
    task->Category = &node;
    loaded.push_back(std::move(task));
  }
  for (auto& task : loaded) node.AddTask(std::move(task));
}

void TPersistentManager::DeleteTask(const TAVTask& task) { db().Execute("delete from conversions where ID=" + id(task.ID)); }

void TPersistentManager::ClearLog(const TAVTask& task) {
  db().Execute("update conversions set Log=NULL where ID=" + id(task.ID));
}

std::string TPersistentManager::GetConvertSettings(const TAVTask& task) { return task.Settings().ToXml(); }

std::vector<std::unique_ptr<TConvertedNode>> TPersistentManager::LoadConvertedNodes(int parentId) {
  auto select = db().Prepare("select * from Categories where Parent=" + id(parentId));
  const int idColumn = select->ColumnIndex("ID");
  const int nameColumn = select->ColumnIndex("Category");
  const int pathColumn = select->ColumnIndex("Path");
  std::vector<std::unique_ptr<TConvertedNode>> nodes;
  while (select->Step()) {
    auto node = std::make_unique<TConvertedNode>();
    node->CategoryId = static_cast<int32_t>(select->Int(idColumn));
    node->Category = select->Text(nameColumn);
    node->Folder = select->Text(pathColumn);
    nodes.push_back(std::move(node));
  }
  return nodes;
}

void TPersistentManager::NewCategory(TConvertedNode& node, int parentId) {
  auto insert = db().Prepare("insert into categories(Category, Path, Parent) values(?, ?, ?)");
  insert->BindText(1, node.Category);
  insert->BindText(2, node.Folder);
  insert->BindInt(3, parentId);
  insert->Execute();
  node.CategoryId = static_cast<int32_t>(db().LastInsertRowId());
}

void TPersistentManager::UpdateCategory(const TConvertedNode& node) {
  auto update = db().Prepare("update categories set category=?, path=? where ID=" + id(node.CategoryId));
  update->BindText(1, node.Category);
  update->BindText(2, node.Folder);
  update->Execute();
}

void TPersistentManager::DeleteCategory(const TConvertedNode& node) {
  VC_ASSERT(!node.IsRoot());
  db().Execute("delete from categories where ID=" + id(node.CategoryId));
  db().Execute("delete from conversions where CategoryID=" + id(node.CategoryId));
}

}  // namespace vc::tasks
