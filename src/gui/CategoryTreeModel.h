#pragma once
// The category tree as a Qt item model: one entry per node object (the queue entry, the
// categories), nested as the task tree adds them, text and image asked from the entry's object.
// The task tree owns the objects; an entry only names its object.
#include <QAbstractItemModel>
#include <QIcon>
#include <functional>
#include <memory>
#include <vector>

namespace vc::tasks {
class TNodeObject;
}

namespace vc::gui {

class TCategoryTreeModel final : public QAbstractItemModel {
 public:
  // image gives the image of an image index, null for none.
  explicit TCategoryTreeModel(std::function<QIcon(int)> image, QObject* parent = nullptr);
  ~TCategoryTreeModel() override;

  // Appends node as the last child of parent (top level when null).
  void AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent);
  // Removes node's entry and every entry below it.
  void RemoveNode(const tasks::TNodeObject& node);
  void UpdateNode(const tasks::TNodeObject& node);
  // Forgets every entry (their objects are gone).
  void Clear();

  QModelIndex IndexOf(const tasks::TNodeObject* node) const;
  tasks::TNodeObject* NodeAt(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  struct TEntry {
    tasks::TNodeObject* Node = nullptr;
    TEntry* Parent = nullptr;
    std::vector<std::unique_ptr<TEntry>> Children;
  };
  TEntry* find(const tasks::TNodeObject* node, TEntry& from) const;
  TEntry* entryOf(const QModelIndex& index) const;
  QModelIndex indexOfEntry(const TEntry* entry) const;
  int rowOf(const TEntry* entry) const;

  std::function<QIcon(int)> FImage;
  mutable TEntry FRoot;  // the invisible root; its children are the top-level entries
};

}  // namespace vc::gui
