// Categories through the tree's menu actions and the category dialog: created, edited (the
// folder made on disk), deleted with the categories below them.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "DesktopFixture.h"
#include "gui/FolderEdit.h"
#include "gui/FormCategory.h"

namespace vc::test {
namespace {

// Answers the category dialog with name and folder (as typed) and Ok; records its caption and
// what it showed.
struct TCategoryAnswer {
  std::string Name;
  std::string Folder;
  std::string Caption;
  std::string ShownName;
  std::string ShownFolder;
  void Arm() {
    OnNextModal([this](QWidget* dialog) {
      auto* form = dynamic_cast<gui::TFormCategory*>(dialog);
      ASSERT_NE(form, nullptr);
      Caption = form->windowTitle().toStdString();
      ShownName = form->edtName->text().toStdString();
      ShownFolder = form->edtPath->Folder().toStdString();
      form->edtName->setText(QString::fromStdString(Name));
      form->edtPath->SetFolder(QString::fromStdString(Folder));
      form->btnOk->click();
    });
  }
};

TEST_F(DesktopTest, CategoriesAreCreatedEditedAndDeletedWithTheirChildren) {
  Start();
  tasks::TConvertedNode* root = Tree().RootCategory();
  ClickEntry(root);
  Form().UpdateActions();
  EXPECT_FALSE(Dm().actDelCategory->isEnabled()) << "the root category cannot be deleted";

  // New, under the focused category; blanks around the typed values go.
  TCategoryAnswer films{"  Films ", " " + Env.File("films") + "  ", {}, {}, {}};
  films.Arm();
  Dm().actNewCategory->trigger();
  EXPECT_EQ(films.Caption, "New Category");
  EXPECT_EQ(films.ShownName, "");
  ASSERT_EQ(root->Children().size(), 1u);
  tasks::TConvertedNode* created = root->Children()[0].get();
  EXPECT_EQ(created->Category, "Films");
  EXPECT_EQ(Env.Query("select Category, Path, Parent from Categories where ID=" + std::to_string(created->CategoryId)),
            "Films|" + Env.File("films") + "|1\n");
  EXPECT_FALSE(std::filesystem::exists(Env.File("films"))) << "a new category's folder waits";
  auto* treeModel = static_cast<gui::TCategoryTreeModel*>(Form().FrameExplorer()->vstExplorer->model());
  EXPECT_EQ(treeModel->IndexOf(created).data().toString(), "Films");

  // Properties: filled in, stored, the folder made with its parents.
  ClickEntry(created);
  const std::string folder = Env.File("movies/new");
  TCategoryAnswer properties{"Movies", folder, {}, {}, {}};
  properties.Arm();
  Dm().actCategoryProp->trigger();
  EXPECT_EQ(properties.Caption, "Category Properties");
  EXPECT_EQ(properties.ShownName, "Films");
  EXPECT_EQ(properties.ShownFolder, Env.File("films"));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(treeModel->IndexOf(created).data().toString(), "Movies");
  EXPECT_EQ(Env.Query("select Category, Path from Categories where ID=" + std::to_string(created->CategoryId)),
            "Movies|" + folder + "\n");

  // A child with a filed conversion, then the parent deleted with everything below it.
  TCategoryAnswer shorts{"Shorts", Env.File("shorts"), {}, {}, {}};
  shorts.Arm();
  Dm().actNewCategory->trigger();
  ASSERT_EQ(created->Children().size(), 1u);
  const int childId = created->Children()[0]->CategoryId;
  Env.Query("insert into Conversions(Converting, CategoryId) values(0, " + std::to_string(childId) + ")");
  ClickEntry(created);
  Form().UpdateActions();
  ASSERT_TRUE(Dm().actDelCategory->isEnabled());
  Env.Prompts.Answer = true;
  Dm().actDelCategory->trigger();
  EXPECT_EQ(Env.Prompts.Questions, std::vector<std::string>{"Do you want to delete the selected category?"});
  EXPECT_TRUE(root->Children().empty());
  EXPECT_EQ(Form().FrameExplorer()->SelectedNode(), root) << "the parent is selected";
  EXPECT_EQ(Form().FrameExplorer()->FocusedNode(), root);
  EXPECT_EQ(treeModel->rowCount(treeModel->IndexOf(root)), 0);
  EXPECT_EQ(Env.Query("select count(*) from Categories"), "1\n");
  EXPECT_EQ(Env.Query("select count(*) from Conversions"), "0\n");
  EXPECT_TRUE(std::filesystem::is_directory(folder)) << "folders stay on disk";
}

TEST_F(DesktopTest, CancellingTheCategoryDialogChangesNothing) {
  Start();
  ClickEntry(Tree().RootCategory());
  OnNextModal([](QWidget* dialog) { dialog->close(); });
  Dm().actNewCategory->trigger();
  EXPECT_TRUE(Tree().RootCategory()->Children().empty());
  EXPECT_EQ(Env.Query("select count(*) from Categories"), "1\n");
}

TEST(CategoryDialog, OkNeedsANameAndAFolderThatAreNotBlank) {
  EnsureApplication();
  gui::TFormCategory dialog(true);
  struct TCase {
    const char* Name;
    const char* Folder;
    bool Ok;
  };
  for (const TCase& c : {TCase{"", "", false}, TCase{"   ", "/x", false}, TCase{"a", "  ", false},
                         TCase{"a", "/x", true}, TCase{" a ", " /x ", true}}) {
    dialog.edtName->setText(QString::fromLatin1(c.Name));
    dialog.edtPath->SetFolder(QString::fromLatin1(c.Folder));
    EXPECT_EQ(dialog.btnOk->isEnabled(), c.Ok) << "'" << c.Name << "' '" << c.Folder << "'";
  }
  EXPECT_EQ(dialog.TrimmedName(), "a");
  EXPECT_EQ(dialog.TrimmedFolder(), "/x");
}

}  // namespace
}  // namespace vc::test
