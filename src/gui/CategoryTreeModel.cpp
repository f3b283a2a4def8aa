#include "gui/CategoryTreeModel.h"

#include "tasks/NodeObject.h"

namespace vc::gui {

TCategoryTreeModel::TCategoryTreeModel(std::function<QIcon(int)> image, QObject* parent)
    : QAbstractItemModel(parent), FImage(std::move(image)) {}

TCategoryTreeModel::~TCategoryTreeModel() = default;

TCategoryTreeModel::TEntry* TCategoryTreeModel::find(const tasks::TNodeObject* node, TEntry& from) const {
  if (from.Node == node && &from != &FRoot) return &from;
  for (const auto& child : from.Children)
    if (TEntry* found = find(node, *child)) return found;
  return nullptr;
}

TCategoryTreeModel::TEntry* TCategoryTreeModel::entryOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<TEntry*>(index.internalPointer()) : &FRoot;
}

int TCategoryTreeModel::rowOf(const TEntry* entry) const {
  if (!entry || !entry->Parent) return -1;
  const auto& siblings = entry->Parent->Children;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == entry) return static_cast<int>(i);
  return -1;
}

QModelIndex TCategoryTreeModel::indexOfEntry(const TEntry* entry) const {
  if (!entry || entry == &FRoot) return {};
  return createIndex(rowOf(entry), 0, const_cast<TEntry*>(entry));
}

void TCategoryTreeModel::AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) {
  TEntry* parentEntry = parent ? find(parent, FRoot) : &FRoot;
  if (!parentEntry) parentEntry = &FRoot;
  const int row = static_cast<int>(parentEntry->Children.size());
  beginInsertRows(indexOfEntry(parentEntry), row, row);
  auto entry = std::make_unique<TEntry>();
  entry->Node = &node;
  entry->Parent = parentEntry;
  parentEntry->Children.push_back(std::move(entry));
  endInsertRows();
}

void TCategoryTreeModel::RemoveNode(const tasks::TNodeObject& node) {
  TEntry* entry = find(&node, FRoot);
  if (!entry) return;
  const int row = rowOf(entry);
  TEntry* parentEntry = entry->Parent;
  beginRemoveRows(indexOfEntry(parentEntry), row, row);
  parentEntry->Children.erase(parentEntry->Children.begin() + row);
  endRemoveRows();
}

void TCategoryTreeModel::UpdateNode(const tasks::TNodeObject& node) {
  const QModelIndex index = IndexOf(&node);
  if (index.isValid()) emit dataChanged(index, index);
}

void TCategoryTreeModel::Clear() {
  beginResetModel();
  FRoot.Children.clear();
  endResetModel();
}

QModelIndex TCategoryTreeModel::IndexOf(const tasks::TNodeObject* node) const {
  return node ? indexOfEntry(find(node, FRoot)) : QModelIndex();
}

tasks::TNodeObject* TCategoryTreeModel::NodeAt(const QModelIndex& index) const {
  return index.isValid() ? entryOf(index)->Node : nullptr;
}

QModelIndex TCategoryTreeModel::index(int row, int column, const QModelIndex& parent) const {
  const TEntry* parentEntry = entryOf(parent);
  if (column != 0 || row < 0 || row >= static_cast<int>(parentEntry->Children.size())) return {};
  return createIndex(row, 0, parentEntry->Children[static_cast<size_t>(row)].get());
}

QModelIndex TCategoryTreeModel::parent(const QModelIndex& child) const {
  if (!child.isValid()) return {};
  return indexOfEntry(entryOf(child)->Parent);
}

int TCategoryTreeModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(entryOf(parent)->Children.size());
}

int TCategoryTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TCategoryTreeModel::data(const QModelIndex& index, int role) const {
  tasks::TNodeObject* node = NodeAt(index);
  if (!node) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(tasks::NodeCaption(node, 0));
  if (role == Qt::DecorationRole && FImage) {
    const QIcon icon = FImage(tasks::NodeImageIndex(node));
    if (!icon.isNull()) return icon;
  }
  return {};
}

}  // namespace vc::gui
