#pragma once
// The task list as a Qt table model: one row per node object (a task), the columns the node
// shown last asked for, texts and the status image asked from the row's object. Rows do not own
// their objects; a repaint re-reads one row only.
#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <vector>

#include "tasks/TaskViews.h"

namespace vc::gui {

class TTaskListModel final : public QAbstractTableModel, public tasks::ITaskListView {
 public:
  // statusImage gives the image of an image index (the task status), null for none.
  explicit TTaskListModel(std::function<QIcon(int)> statusImage, QObject* parent = nullptr);

  // ITaskListView
  void SetColumns(const std::vector<tasks::TListColumn>& columns) override;
  void ClearRows() override;
  void AddRow(tasks::TNodeObject& object) override;
  void DeleteRow(const tasks::TNodeObject& object) override;
  void RepaintRow(const tasks::TNodeObject& object) override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  const std::vector<tasks::TListColumn>& Columns() const { return FColumns; }
  tasks::TNodeObject* Object(int row) const;
  // The row of object; -1 when it has none.
  int RowOf(const tasks::TNodeObject* object) const;
  // Called after the columns changed, so the view can take their widths.
  std::function<void()> OnColumnsChanged;

 private:
  std::function<QIcon(int)> FStatusImage;
  std::vector<tasks::TListColumn> FColumns;
  std::vector<tasks::TNodeObject*> FRows;
};

}  // namespace vc::gui
