#pragma once
// TPersistentManager: every statement on the task database, as class operations on the open
// TTaskDatabase. Identifiers are appended to the statements in decimal; every other value is a
// bound parameter. A statement SQLite rejects raises EDatabaseError with SQLite's message and code.
#include <memory>
#include <string>
#include <vector>

namespace vc::tasks {

class TAVTask;
class TConvertingNode;
class TConvertedNode;

class TPersistentManager final {
 public:
  TPersistentManager() = delete;

  // Inserts the task's queue row (Converting 1, its settings) and sets its ID.
  static void NewDbTask(TAVTask& task);
  // Takes the engine's duration (and the source size when the list never asked) into the settings,
  // then marks the row finished with the settings, the completion time, the category (the root
  // category when the task's is gone) and the log. Sets the task's Date and CategoryId to what was
  // stored. A task without a row gets a finished row of its own.
  static void FinishDbTask(TAVTask& task);
  // Appends a stopped (stError) task to the queue for every row still converting.
  static void LoadConvertingTask(TConvertingNode& node);
  // Replaces the node's tasks by its category's finished conversions, newest first.
  static void LoadConvertedTask(TConvertedNode& node);
  static void DeleteTask(const TAVTask& task);
  static void ClearLog(const TAVTask& task);
  static std::string GetConvertSettings(const TAVTask& task);

  // The categories whose parent is id (-1 for the top level), in the order the database gives.
  static std::vector<std::unique_ptr<TConvertedNode>> LoadConvertedNodes(int id);
  // Inserts the category under parentId and sets its CategoryId.
  static void NewCategory(TConvertedNode& node, int parentId);
  static void UpdateCategory(const TConvertedNode& node);
  // Deletes the category's row and the conversion rows filed under it (never the root category).
  static void DeleteCategory(const TConvertedNode& node);
};

}  // namespace vc::tasks
