#pragma once
// A desktop run over a real task database: the data module and the main window as the program
// makes them, with helpers that act as the user does.
#include <gtest/gtest.h>

#include <QTreeView>
#include <memory>
#include <string>

#include "GuiTestSupport.h"
#include "gui/CategoryTreeModel.h"
#include "gui/Desktop.h"
#include "gui/FormMain.h"
#include "gui/FrameExplorer.h"
#include "gui/FrameInfo.h"
#include "gui/FrameList.h"
#include "gui/TaskListModel.h"
#include "gui/dmGlobal.h"
#include "tasks/ConvertedNode.h"
#include "tasks/ConvertingNode.h"
#include "tasks/ConvertingTask.h"

namespace vc::test {

class DesktopTest : public ::testing::Test {
 protected:
  void TearDown() override { Desktop.reset(); }

  void Start() {
    Desktop = std::make_unique<gui::TDesktop>();
    Form().show();
  }
  gui::TFormMain& Form() { return Desktop->FormMain(); }
  gui::TdmGlobal& Dm() { return Desktop->DataModule(); }
  gui::TTaskListModel& ListModel() { return Form().FrameList()->Model(); }
  tasks::TTaskTree& Tree() { return Form().FrameExplorer()->Tree(); }
  QTreeView& TaskView() { return *Form().FrameList()->vstTaskList; }

  // A conversion of the clip to target (in the test folder), admitted to the queue.
  tasks::TConvertingTask& Admit(const std::string& target, int categoryId = 0) {
    return Form().ConvertingNode()->NewConversion(ClipSettings(GuiClip(), Env.File(target), categoryId));
  }
  // The user clicks the task's row: it alone is selected and focused.
  void Focus(const tasks::TNodeObject* task) {
    const int row = ListModel().RowOf(task);
    ASSERT_GE(row, 0);
    TaskView().selectionModel()->setCurrentIndex(ListModel().index(row, 0),
                                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  // The user clicks the entry of node in the tree.
  void ClickEntry(const tasks::TNodeObject* node) {
    QTreeView& view = *Form().FrameExplorer()->vstExplorer;
    auto* model = static_cast<gui::TCategoryTreeModel*>(view.model());
    const QModelIndex index = model->IndexOf(node);
    ASSERT_TRUE(index.isValid());
    view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  }
  std::string Cell(const tasks::TNodeObject* task, int column) {
    const int row = ListModel().RowOf(task);
    return row < 0 ? std::string() : ListModel().index(row, column).data().toString().toStdString();
  }
  bool QueueEmpty() { return Form().ConvertingNode()->Tasks().empty(); }

  TGuiEnvironment Env;
  std::unique_ptr<gui::TDesktop> Desktop;
};

}  // namespace vc::test
