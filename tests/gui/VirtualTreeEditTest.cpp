// The category picker: its drop-down selects the category it holds, and choosing a row sets the
// edit.
#include <QCoreApplication>
#include <QKeyEvent>

#include "DesktopFixture.h"
#include "gui/VirtualTreeEdit.h"

namespace vc::test {
namespace {

class CategoryPicker : public DesktopTest {
 protected:
  void SetUp() override {
    // Categories 2 to 5: 2 and 3 under the root, 4 and 5 under 3.
    Env.Query(
        "insert into Categories(ID, Category, Path, Parent) values(2, 'Music', '/m', 1), (3, 'Films', '/f', 1), "
        "(4, 'Old', '/f/old', 3), (5, 'New', '/f/new', 3)");
    Start();
  }
  static int selectedId(gui::TVirtualTreeEdit& edit) {
    auto* node = dynamic_cast<tasks::TConvertedNode*>(edit.Popup()->FrameExplorer()->SelectedNode());
    return node ? node->CategoryId : 0;
  }
};

TEST_F(CategoryPicker, OpensOnItsCategoryOrTheRoot) {
  gui::TVirtualTreeEdit edit;
  edit.resize(240, 24);
  edit.showPopup();
  EXPECT_EQ(selectedId(edit), 1);
  EXPECT_EQ(edit.Popup()->size(), QSize(240, 120));
  QTreeView& tree = *edit.Popup()->FrameExplorer()->vstExplorer;
  EXPECT_EQ(tree.model()->rowCount(), 1) << "no queue entry";
  edit.hidePopup();

  edit.SetCategoryId(5);
  edit.showPopup();
  EXPECT_EQ(selectedId(edit), 5);
  edit.hidePopup();
}

TEST_F(CategoryPicker, ChoosingARowSetsTheEditAndEscapeChangesNothing) {
  gui::TVirtualTreeEdit edit;
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  edit.showPopup();
  QTreeView& tree = *edit.Popup()->FrameExplorer()->vstExplorer;
  auto* model = static_cast<gui::TCategoryTreeModel*>(tree.model());
  const QModelIndex films = model->index(1, 0, model->index(0, 0));
  ASSERT_EQ(films.data().toString(), "Films");
  tree.selectionModel()->setCurrentIndex(films, QItemSelectionModel::ClearAndSelect);
  EXPECT_FALSE(edit.Popup()->isVisible());
  EXPECT_EQ(edit.currentText(), "Films");
  EXPECT_EQ(edit.CategoryId(), 3);
  EXPECT_EQ(edit.CategoryPath(), "/f");
  EXPECT_EQ(changes, 1);

  edit.showPopup();
  EXPECT_EQ(selectedId(edit), 3);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(edit.Popup(), &escape);
  EXPECT_FALSE(edit.Popup()->isVisible());
  EXPECT_EQ(edit.CategoryId(), 3);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace vc::test
