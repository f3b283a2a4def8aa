#include "gui/FrameInfo.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/Guarded.h"
#include "tasks/AVTask.h"

namespace vc::gui {

TFrameInfo::TFrameInfo(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FrameInfo"));
  pgcTaskInfo = new QTabWidget(this);
  pgcTaskInfo->setObjectName(QStringLiteral("pgcTaskInfo"));
  vstTaskInfo = new QTreeWidget;
  vstTaskInfo->setObjectName(QStringLiteral("vstTaskInfo"));
  vstTaskInfo->setRootIsDecorated(false);
  lstLog = new QListWidget;
  lstLog->setObjectName(QStringLiteral("lstLog"));
  lstLog->setContextMenuPolicy(Qt::CustomContextMenu);
  const int infoPage = pgcTaskInfo->addTab(vstTaskInfo, QStringLiteral("Task Info"));
  pgcTaskInfo->addTab(lstLog, QStringLiteral("Logs"));
  pgcTaskInfo->setTabVisible(infoPage, false);
  pgcTaskInfo->setCurrentWidget(lstLog);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pgcTaskInfo);

  FLogMenu = new QMenu(this);
  actClearLog = FLogMenu->addAction(QStringLiteral("Clear Log"));
  actClearLog->setEnabled(false);
  connect(actClearLog, &QAction::triggered, this, [this] { Guarded([this] { ClearLog(); }); });
  connect(lstLog, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
    actClearLog->setEnabled(lstLog->count() > 0);
    FLogMenu->popup(lstLog->viewport()->mapToGlobal(position));
  });
}

void TFrameInfo::ShowTask(tasks::TAVTask* task) {
  if (!task) {
    ShowLog(nullptr, {});
    return;
  }
  FTask = task;
  task->LoadTaskInfo(*this, *this);
}

void TFrameInfo::ClearLog() {
  // Only the task whose log is still shown: a task that went has already told the box.
  if (FTask && FOwner == FTask && lstLog->count() > 0) FTask->ClearLog();
}

void TFrameInfo::SetColumns(const std::vector<tasks::TListColumn>& columns) {
  QStringList headers;
  for (const auto& column : columns) headers << QString::fromStdString(column.Header);
  vstTaskInfo->setHeaderLabels(headers);
  for (size_t c = 0; c < columns.size(); ++c) vstTaskInfo->setColumnWidth(static_cast<int>(c), columns[c].Width);
}

void TFrameInfo::ShowLog(const tasks::TNodeObject* owner, const std::vector<std::string>& lines) {
  FOwner = owner;
  if (!owner) FTask = nullptr;
  lstLog->clear();
  for (const std::string& line : lines) lstLog->addItem(QString::fromStdString(line));
  if (lstLog->count() > 0) lstLog->scrollToBottom();
  actClearLog->setEnabled(lstLog->count() > 0);
}

}  // namespace vc::gui
