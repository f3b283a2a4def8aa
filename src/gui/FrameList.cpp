#include "gui/FrameList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/FormDelete.h"
#include "gui/Guarded.h"
#include "gui/TaskListModel.h"
#include "gui/dmGlobal.h"
#include "tasks/AVTask.h"

namespace vc::gui {

namespace {

std::vector<std::string> droppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (!data) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
  return files;
}

bool isActive(const tasks::TAVTask* task) {
  return task->Status == tasks::TAVTaskStatus::stRunning || task->Status == tasks::TAVTaskStatus::stPaused;
}

}  // namespace

TFrameList::TFrameList(QMenu* taskMenu, QWidget* parent)
    : QWidget(parent), FModel(std::make_unique<TTaskListModel>(&TdmGlobal::ListImage)), FTaskMenu(taskMenu) {
  setObjectName(QStringLiteral("FrameList"));
  vstTaskList = new QTreeView(this);
  vstTaskList->setObjectName(QStringLiteral("vstTaskList"));
  vstTaskList->setRootIsDecorated(false);
  vstTaskList->setItemsExpandable(false);
  vstTaskList->setUniformRowHeights(true);
  vstTaskList->setAllColumnsShowFocus(true);
  vstTaskList->setSelectionBehavior(QAbstractItemView::SelectRows);
  vstTaskList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  vstTaskList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vstTaskList->setContextMenuPolicy(Qt::CustomContextMenu);
  vstTaskList->header()->setStretchLastSection(false);
  vstTaskList->setModel(FModel.get());
  vstTaskList->installEventFilter(this);
  vstTaskList->viewport()->setAcceptDrops(true);
  vstTaskList->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(vstTaskList);

  FModel->OnColumnsChanged = [this] {
    const auto& columns = FModel->Columns();
    for (size_t c = 0; c < columns.size(); ++c) vstTaskList->setColumnWidth(static_cast<int>(c), columns[c].Width);
  };
  connect(vstTaskList->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (OnFocusChange) Guarded([&] { OnFocusChange(FocusedTask()); });
  });
  connect(vstTaskList, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    if (FTaskMenu) FTaskMenu->popup(vstTaskList->viewport()->mapToGlobal(position));
  });
}

TFrameList::~TFrameList() = default;

tasks::ITaskListView& TFrameList::ListView() { return *FModel; }

tasks::TAVTask* TFrameList::FocusedTask() const {
  const QModelIndex current = vstTaskList->currentIndex();
  return current.isValid() ? dynamic_cast<tasks::TAVTask*>(FModel->Object(current.row())) : nullptr;
}

std::vector<tasks::TAVTask*> TFrameList::SelectedTasks() const {
  QModelIndexList rows = vstTaskList->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  std::vector<tasks::TAVTask*> selected;
  for (const QModelIndex& row : rows)
    if (auto* task = dynamic_cast<tasks::TAVTask*>(FModel->Object(row.row()))) selected.push_back(task);
  return selected;
}

int TFrameList::SelectedCount() const { return static_cast<int>(vstTaskList->selectionModel()->selectedRows().size()); }

bool TFrameList::AnyActiveSelected() const {
  const auto selected = SelectedTasks();
  return std::any_of(selected.begin(), selected.end(), isActive);
}

void TFrameList::StopSelectedTasks() {
  for (tasks::TAVTask* task : SelectedTasks())
    if (isActive(task)) task->Stop();
}

void TFrameList::DeleteSelectedTasks() {
  if (SelectedCount() == 0) return;
  bool deleteSource = false;
  bool deleteTarget = true;
  if (!ExecuteDeleteDialog(this, deleteSource, deleteTarget)) return;
  // The dialog ran an event loop: take the selection as it is now.
  tasks::DeleteOrStopTasks(SelectedTasks(), deleteSource, deleteTarget);
}

bool TFrameList::AcceptsDrop(const std::vector<std::string>& files) { return files.size() == 1; }

bool TFrameList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == vstTaskList && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    if (SelectedCount() > 0) Guarded([this] { DeleteSelectedTasks(); });
    return true;
  }
  if (watched == vstTaskList->viewport()) {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (AcceptsDrop(droppedFiles(drag->mimeData()))) {
          drag->setDropAction(Qt::LinkAction);
          drag->accept();
        } else {
          drag->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const auto files = droppedFiles(drop->mimeData());
        if (!AcceptsDrop(files)) {
          drop->ignore();
          return true;
        }
        drop->setDropAction(Qt::LinkAction);
        drop->accept();
        if (OnFileDrop) Guarded([&] { OnFileDrop(files.front()); });
        return true;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vc::gui
