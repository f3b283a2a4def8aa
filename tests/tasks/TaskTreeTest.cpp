#include <gtest/gtest.h>

#include <filesystem>

#include "MemoryViews.h"
#include "TaskTestSupport.h"
#include "tasks/ConvertingTask.h"
#include "tasks/TaskCaptions.h"
#include "tasks/TaskTree.h"

using namespace vc;
using tasks::TTaskTree;

namespace {

void addCategory(const test::TTaskDbFixture& db, int id, const std::string& name, int parent) {
  db.Query("insert into Categories(ID, Category, Path, Parent) values(" + std::to_string(id) + ", '" + name + "', '/" +
           name + "', " + std::to_string(parent) + ")");
}

void addFinished(const test::TTaskDbFixture& db, int categoryId, const std::string& source, const std::string& date) {
  tasks::TConversionSettings s;
  s.SourceFile = source;
  s.CategoryId = categoryId;
  db.Query("insert into Conversions(Converting, ConvertSettings, ConvertedDate, CategoryId) values(0, '" + s.ToXml() +
           "', '" + date + "', " + std::to_string(categoryId) + ")");
}

std::string sources(const test::TMemoryTaskList& list) {
  std::string text;
  for (size_t i = 0; i < list.Rows.size(); ++i) text += list.Captions(i)[0] + ";";
  return text;
}

}  // namespace

TEST(TaskTreeTest, PreparedDatabaseShowsTheQueueAndTheRootCategory) {
  test::TTaskDbFixture db;
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  TTaskTree model(tree, list);
  model.Build();
  model.Build();  // built once
  EXPECT_EQ(tree.Outline(), "Converting\nConverted\n");
  ASSERT_NE(model.RootCategory(), nullptr);
  EXPECT_EQ(model.RootCategory()->CategoryId, 1);
  EXPECT_EQ(model.RootCategory()->GetImageIndex(), 1);
  EXPECT_EQ(model.ConvertingNode()->GetImageIndex(), 0);
  EXPECT_EQ(model.RootCategory()->GetPopupMenu(), tasks::TNodeMenu::Category);

  test::TMemoryTree picker;
  TTaskTree pickerModel(picker, list, {.WithQueue = false});
  pickerModel.Build();
  EXPECT_EQ(picker.Outline(), "Converted\n");
  EXPECT_EQ(pickerModel.ConvertingNode(), nullptr);
}

TEST(TaskTreeTest, CategoriesNestDepthFirstAndOrphansNeverShow) {
  test::TTaskDbFixture db;
  addCategory(db, 2, "Films", 1);
  addCategory(db, 3, "Music", -1);
  addCategory(db, 4, "Short", 2);
  addCategory(db, 5, "Orphan", 99);
  addCategory(db, 6, "OrphanChild", 5);
  addCategory(db, 7, "Old", 2);
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  TTaskTree model(tree, list);
  model.Build();
  EXPECT_EQ(tree.Outline(), "Converting\nConverted\n  Films\n    Short\n    Old\nMusic\n");
  EXPECT_EQ(model.FindCategory(5), nullptr);
  ASSERT_NE(model.FindCategory(4), nullptr);
  EXPECT_EQ(model.FindCategory(4)->Parent(), model.FindCategory(2));
  EXPECT_EQ(model.FindCategory(4)->Folder, "/Short");
}

TEST(TaskTreeTest, QueueIsReadOnceAndAHistoryOnEverySelection) {
  test::TTaskDbFixture db;
  addCategory(db, 2, "Films", 1);
  addFinished(db, 2, "/m/old.mkv", "2023-12-31 23:59:59");
  addFinished(db, 2, "/m/new.mkv", "2024-02-01 08:00:00");
  addFinished(db, 1, "/m/elsewhere.mkv", "2024-03-01 08:00:00");
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  TTaskTree model(tree, list);
  model.Build();

  tasks::TConvertedNode* films = model.FindCategory(2);
  model.Select(films);
  EXPECT_EQ(tree.Selected, films);
  EXPECT_EQ(list.Headers(), (std::vector<std::string>{"Source", "Source Size", "Target", "Target Size", "Target Profile",
                                                       "Duration", "Date"}));
  EXPECT_EQ(sources(list), "new.mkv;old.mkv;");  // newest first
  const auto& task = *films->Tasks()[0];
  EXPECT_EQ(task.Status, tasks::TAVTaskStatus::stFinished);
  EXPECT_TRUE(task.IsConverted);
  EXPECT_EQ(task.CategoryId, 2);
  EXPECT_EQ(task.Date, tasks::ParseStoredDate("2024-02-01 08:00:00"));

  addFinished(db, 2, "/m/newest.mkv", "2024-02-02 08:00:00");
  model.Select(model.ConvertingNode());
  EXPECT_TRUE(list.Rows.empty());
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '')");
  model.Select(films);
  EXPECT_EQ(sources(list), "newest.mkv;new.mkv;old.mkv;");
  model.Select(model.ConvertingNode());
  EXPECT_TRUE(list.Rows.empty());  // the queue was read at its first selection, before the row came
}

TEST(TaskTreeTest, NewCategoryIsStoredWithoutItsFolderWhichPropertiesCreate) {
  test::TTaskDbFixture db;
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  TTaskTree model(tree, list);
  model.Build();
  const std::string folder = db.Root() + "/out/Films";
  tasks::TConvertedNode& films = model.NewCategory(model.RootCategory(), "Films", folder);
  EXPECT_EQ(db.Query("select ID, Category, Path, Parent from Categories where ID=" + std::to_string(films.CategoryId)),
            std::to_string(films.CategoryId) + "|Films|" + folder + "|1\n");
  EXPECT_GT(films.CategoryId, 1);
  EXPECT_EQ(tree.Outline(), "Converting\nConverted\n  Films\n");
  EXPECT_FALSE(std::filesystem::exists(folder));

  const std::string moved = db.Root() + "/elsewhere/deep/Movies";
  model.SetCategoryProperties(films, "Movies", moved);
  EXPECT_TRUE(std::filesystem::is_directory(moved));
  EXPECT_EQ(db.Query("select Category, Path from Categories where ID=" + std::to_string(films.CategoryId)),
            "Movies|" + moved + "\n");
  EXPECT_EQ(tree.Outline(), "Converting\nConverted\n  Movies\n");
  EXPECT_EQ(tree.Updates, 1);
}

TEST(TaskTreeTest, DeletingACategoryRemovesItsChildrenAndTheirRowsButNoQueueRow) {
  test::TTaskDbFixture db;
  test::TRecordingPrompts prompts;
  addCategory(db, 2, "Films", 1);
  addCategory(db, 3, "Short", 2);
  addCategory(db, 4, "Shorter", 3);
  addCategory(db, 5, "Music", 1);
  addFinished(db, 2, "/m/a.mkv", "2024-01-01 10:00:00");
  addFinished(db, 3, "/m/b.mkv", "2024-01-01 10:00:00");
  addFinished(db, 4, "/m/c.mkv", "2024-01-01 10:00:00");
  addFinished(db, 5, "/m/d.mkv", "2024-01-01 10:00:00");
  addFinished(db, 1, "/m/e.mkv", "2024-01-01 10:00:00");
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '')");
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  TTaskTree model(tree, list);
  model.Build();

  EXPECT_FALSE(TTaskTree::CanDeleteCategory(model.RootCategory()));
  EXPECT_FALSE(TTaskTree::CanDeleteCategory(nullptr));
  EXPECT_FALSE(model.DeleteCategory(*model.RootCategory()));
  EXPECT_TRUE(prompts.Questions.empty());

  prompts.Answer = false;
  EXPECT_FALSE(model.DeleteCategory(*model.FindCategory(3)));
  EXPECT_EQ(db.Query("select count(*) from Categories"), "5\n");

  prompts.Answer = true;
  model.Select(model.FindCategory(4));
  ASSERT_EQ(list.Rows.size(), 1u);
  EXPECT_TRUE(model.DeleteCategory(*model.FindCategory(3)));
  EXPECT_EQ(prompts.Questions.back(), "Do you want to delete the selected category?");
  EXPECT_EQ(db.Query("select ID from Categories order by ID"), "1\n2\n5\n");
  EXPECT_EQ(db.Query("select Converting, CategoryId from Conversions order by ID"), "0|2\n0|5\n0|1\n1|NULL\n");
  EXPECT_EQ(tree.Outline(), "Converting\nConverted\n  Films\n  Music\n");
  // The parent is selected and lists its own history.
  EXPECT_EQ(tree.Selected, model.FindCategory(2));
  EXPECT_EQ(sources(list), "a.mkv;");
  EXPECT_EQ(model.FindCategory(3), nullptr);
}
