#include "gui/VirtualTreeEdit.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/FrameExplorer.h"
#include "gui/Guarded.h"
#include "tasks/ConvertedNode.h"

namespace vc::gui {

class TNullTaskList final : public tasks::ITaskListView {
 public:
  void SetColumns(const std::vector<tasks::TListColumn>&) override {}
  void ClearRows() override {}
  void AddRow(tasks::TNodeObject&) override {}
  void DeleteRow(const tasks::TNodeObject&) override {}
  void RepaintRow(const tasks::TNodeObject&) override {}
};

TPopVirtualTree::TPopVirtualTree(QWidget* parent)
    : QFrame(parent, Qt::Popup), FList(std::make_unique<TNullTaskList>()) {
  setObjectName(QStringLiteral("PopVirtualTree"));
  setFrameShape(QFrame::Box);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  FExplorer = new TFrameExplorer(*FList, nullptr, {.WithoutQueue = true, .WithoutMenus = true}, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->addWidget(FExplorer);
  FExplorer->OnSelectionChange = [this](tasks::TNodeObject*) {
    if (OnAccept) OnAccept();
  };
  FExplorer->OnAccept = [this] {
    if (OnAccept) OnAccept();
  };
}

// The tree goes while the list it names still exists.
TPopVirtualTree::~TPopVirtualTree() { FExplorer->DestroyTree(); }

void TPopVirtualTree::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    hide();
    return;
  }
  // Every other key is the tree's.
  QCoreApplication::sendEvent(FExplorer->vstExplorer, event);
}

TVirtualTreeEdit::TVirtualTreeEdit(QWidget* parent) : QComboBox(parent), FPopup(new TPopVirtualTree(this)) {
  setObjectName(QStringLiteral("VirtualTreeEdit"));
  setEditable(false);
  addItem(QString());
  FPopup->OnAccept = [this] { accept(); };
}

TVirtualTreeEdit::~TVirtualTreeEdit() = default;

void TVirtualTreeEdit::showPopup() {
  Guarded([this] {
    FPopup->FrameExplorer()->Build();
    FPopup->FrameExplorer()->SelectCategory(FCategoryId > 0 ? FCategoryId : 1);
  });
  FPopup->setFixedSize(width(), TPopVirtualTree::PopupHeight);
  FPopup->move(mapToGlobal(QPoint(0, height())));
  FPopup->show();
  FPopup->FrameExplorer()->vstExplorer->setFocus();
}

void TVirtualTreeEdit::hidePopup() {
  FPopup->hide();
  QComboBox::hidePopup();
}

void TVirtualTreeEdit::accept() {
  auto* category = dynamic_cast<tasks::TConvertedNode*>(FPopup->FrameExplorer()->FocusedNode());
  hidePopup();
  if (!category) return;
  setItemText(0, QString::fromStdString(category->Category));
  FCategoryId = category->CategoryId;
  FCategoryPath = category->Folder;
  if (OnChange) OnChange();
}

}  // namespace vc::gui
