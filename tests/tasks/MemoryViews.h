#pragma once
// The task views kept in memory: what the desktop's Qt models show, as plain lists the tests read.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tasks/NodeObject.h"
#include "tasks/TaskViews.h"

namespace vc::test {

class TMemoryTaskList final : public tasks::ITaskListView {
 public:
  void SetColumns(const std::vector<tasks::TListColumn>& columns) override { Columns = columns; }
  void ClearRows() override { Rows.clear(); }
  void AddRow(tasks::TNodeObject& object) override { Rows.push_back(&object); }
  void DeleteRow(const tasks::TNodeObject& object) override { std::erase(Rows, &object); }
  void RepaintRow(const tasks::TNodeObject& object) override {
    ++Repaints;
    if (OnRepaint) OnRepaint(object);
  }

  std::vector<std::string> Headers() const {
    std::vector<std::string> headers;
    for (const auto& c : Columns) headers.push_back(c.Header);
    return headers;
  }
  // The texts of one row, one per column.
  std::vector<std::string> Captions(size_t row) const {
    std::vector<std::string> texts;
    for (size_t c = 0; c < Columns.size(); ++c) texts.push_back(tasks::NodeCaption(Rows.at(row), static_cast<int>(c)));
    return texts;
  }
  bool Has(const tasks::TNodeObject* object) const {
    return std::find(Rows.begin(), Rows.end(), object) != Rows.end();
  }

  std::vector<tasks::TListColumn> Columns;
  std::vector<tasks::TNodeObject*> Rows;
  int Repaints = 0;
  std::function<void(const tasks::TNodeObject&)> OnRepaint;  // runs inside the progress handler
};

class TMemoryTree final : public tasks::ICategoryTreeView {
 public:
  void AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) override { Entries.push_back({&node, parent}); }
  void RemoveNode(const tasks::TNodeObject& node) override {
    for (const auto& e : Entries)
      if (e.Parent == &node) {
        RemoveNode(*e.Node);
        return RemoveNode(node);  // the list changed: start again
      }
    std::erase_if(Entries, [&](const TEntry& e) { return e.Node == &node; });
    if (Selected == &node) Selected = nullptr;
  }
  void UpdateNode(const tasks::TNodeObject&) override { ++Updates; }
  tasks::TNodeObject* SelectedNode() const override { return Selected; }
  void SetSelectedNode(tasks::TNodeObject* node) override { Selected = node; }

  // The entries depth first, one line each, indented two spaces per level: "Converting\nConverted\n  Films\n".
  std::string Outline(tasks::TNodeObject* parent = nullptr, int depth = 0) const {
    std::string text;
    for (const auto& e : Entries)
      if (e.Parent == parent)
        text += std::string(static_cast<size_t>(depth) * 2, ' ') + tasks::NodeCaption(e.Node, 0) + "\n" +
                Outline(e.Node, depth + 1);
    return text;
  }

  struct TEntry {
    tasks::TNodeObject* Node;
    tasks::TNodeObject* Parent;
  };
  std::vector<TEntry> Entries;
  tasks::TNodeObject* Selected = nullptr;
  int Updates = 0;
};

class TMemoryInfoView final : public tasks::IInfoView {
 public:
  void SetColumns(const std::vector<tasks::TListColumn>& columns) override { Columns = columns; }
  std::vector<tasks::TListColumn> Columns;
};

class TMemoryLogList final : public tasks::ILogListView {
 public:
  void ShowLog(const tasks::TNodeObject* owner, const std::vector<std::string>& lines) override {
    Owner = owner;
    Lines = lines;
    ++Shows;
  }
  const tasks::TNodeObject* ShownObject() const override { return Owner; }
  const tasks::TNodeObject* Owner = nullptr;
  std::vector<std::string> Lines;
  int Shows = 0;
};

}  // namespace vc::test
