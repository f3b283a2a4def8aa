#include "gui/FrameExplorer.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/CategoryTreeModel.h"
#include "gui/Guarded.h"
#include "gui/dmGlobal.h"

namespace vc::gui {

TFrameExplorer::TFrameExplorer(tasks::ITaskListView& list, QMenu* categoryMenu, TFrameExplorerOptions options,
                               QWidget* parent)
    : QWidget(parent),
      FModel(std::make_unique<TCategoryTreeModel>(&TdmGlobal::ExplorerImage)),
      FCategoryMenu(categoryMenu),
      FOptions(options) {
  setObjectName(QStringLiteral("FrameExplorer"));
  vstExplorer = new QTreeView(this);
  vstExplorer->setObjectName(QStringLiteral("vstExplorer"));
  vstExplorer->setHeaderHidden(true);
  vstExplorer->setModel(FModel.get());
  vstExplorer->setSelectionMode(QAbstractItemView::SingleSelection);
  vstExplorer->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vstExplorer->setContextMenuPolicy(Qt::CustomContextMenu);
  vstExplorer->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(vstExplorer);

  FTree = std::make_unique<tasks::TTaskTree>(*this, list, tasks::TTaskTreeOptions{.WithQueue = !options.WithoutQueue});

  connect(vstExplorer->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (FMarking || !current.isValid()) return;
            vstExplorer->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
            if (OnSelectionChange) Guarded([&] { OnSelectionChange(FModel->NodeAt(current)); });
          });
  connect(vstExplorer, &QWidget::customContextMenuRequested, this, &TFrameExplorer::showMenu);
}

TFrameExplorer::~TFrameExplorer() { DestroyTree(); }

void TFrameExplorer::Build() { FTree->Build(); }

void TFrameExplorer::DestroyTree() {
  if (!FTree) return;
  FTree.reset();
  FModel->Clear();
}

bool TFrameExplorer::SelectCategory(int categoryId) {
  tasks::TConvertedNode* node = FTree ? FTree->FindCategory(categoryId) : nullptr;
  if (!node) return false;
  SetSelectedNode(node);
  return true;
}

tasks::TNodeObject* TFrameExplorer::FocusedNode() const { return FModel->NodeAt(vstExplorer->currentIndex()); }

void TFrameExplorer::AddNode(tasks::TNodeObject& node, tasks::TNodeObject* parent) {
  FModel->AddNode(node, parent);
  vstExplorer->expandAll();
}

void TFrameExplorer::RemoveNode(const tasks::TNodeObject& node) {
  // Removing the focused row moves Qt's current index to a neighbour: that is no choice of the
  // user's, and the task tree has already chosen what is selected.
  FMarking = true;
  FModel->RemoveNode(node);
  FMarking = false;
}

void TFrameExplorer::UpdateNode(const tasks::TNodeObject& node) { FModel->UpdateNode(node); }

tasks::TNodeObject* TFrameExplorer::SelectedNode() const {
  const QModelIndexList rows = vstExplorer->selectionModel()->selectedRows();
  return rows.isEmpty() ? nullptr : FModel->NodeAt(rows.first());
}

void TFrameExplorer::SetSelectedNode(tasks::TNodeObject* node) {
  FMarking = true;
  const QModelIndex index = FModel->IndexOf(node);
  if (index.isValid()) {
    vstExplorer->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    vstExplorer->scrollTo(index);
  } else {
    vstExplorer->selectionModel()->clear();
  }
  FMarking = false;
}

void TFrameExplorer::showMenu(const QPoint& position) {
  if (FOptions.WithoutMenus || !FCategoryMenu) return;
  tasks::TNodeObject* node = FocusedNode();
  if (!node || node->GetPopupMenu() != tasks::TNodeMenu::Category) return;
  FCategoryMenu->popup(vstExplorer->viewport()->mapToGlobal(position));
}

bool TFrameExplorer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == vstExplorer && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && OnAccept) {
      OnAccept();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vc::gui
