#include "gui/TaskListModel.h"

#include <algorithm>

#include "tasks/NodeObject.h"

namespace vc::gui {

TTaskListModel::TTaskListModel(std::function<QIcon(int)> statusImage, QObject* parent)
    : QAbstractTableModel(parent), FStatusImage(std::move(statusImage)) {}

void TTaskListModel::SetColumns(const std::vector<tasks::TListColumn>& columns) {
  const bool same = std::equal(columns.begin(), columns.end(), FColumns.begin(), FColumns.end(),
                               [](const auto& a, const auto& b) { return a.Header == b.Header && a.Width == b.Width; });
  if (same) return;
  beginResetModel();
  FColumns = columns;
  endResetModel();
  if (OnColumnsChanged) OnColumnsChanged();
}

void TTaskListModel::ClearRows() {
  if (FRows.empty()) return;
  beginResetModel();
  FRows.clear();
  endResetModel();
}

void TTaskListModel::AddRow(tasks::TNodeObject& object) {
  const int row = static_cast<int>(FRows.size());
  beginInsertRows({}, row, row);
  FRows.push_back(&object);
  endInsertRows();
}

void TTaskListModel::DeleteRow(const tasks::TNodeObject& object) {
  const int row = RowOf(&object);
  if (row < 0) return;
  beginRemoveRows({}, row, row);
  FRows.erase(FRows.begin() + row);
  endRemoveRows();
}

void TTaskListModel::RepaintRow(const tasks::TNodeObject& object) {
  const int row = RowOf(&object);
  if (row < 0 || FColumns.empty()) return;
  emit dataChanged(index(row, 0), index(row, static_cast<int>(FColumns.size()) - 1),
                   {Qt::DisplayRole, Qt::DecorationRole});
}

int TTaskListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TTaskListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FColumns.size());
}

QVariant TTaskListModel::data(const QModelIndex& index, int role) const {
  tasks::TNodeObject* object = Object(index.row());
  if (!object) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(tasks::NodeCaption(object, index.column()));
  // The status image belongs to the first column only.
  if (role == Qt::DecorationRole && index.column() == 0 && FStatusImage) {
    const QIcon icon = FStatusImage(tasks::NodeImageIndex(object));
    if (!icon.isNull()) return icon;
  }
  return {};
}

QVariant TTaskListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= static_cast<int>(FColumns.size()))
    return {};
  return QString::fromStdString(FColumns[static_cast<size_t>(section)].Header);
}

Qt::ItemFlags TTaskListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

tasks::TNodeObject* TTaskListModel::Object(int row) const {
  return row >= 0 && row < static_cast<int>(FRows.size()) ? FRows[static_cast<size_t>(row)] : nullptr;
}

int TTaskListModel::RowOf(const tasks::TNodeObject* object) const {
  const auto it = std::find(FRows.begin(), FRows.end(), object);
  return it == FRows.end() ? -1 : static_cast<int>(it - FRows.begin());
}

}  // namespace vc::gui
