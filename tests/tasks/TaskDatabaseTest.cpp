#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "MemoryViews.h"
#include "TaskTestSupport.h"
#include "tasks/ConvertedNode.h"
#include "tasks/ConvertingNode.h"
#include "tasks/ConvertingTask.h"
#include "tasks/PersistentManager.h"
#include "tasks/TaskCaptions.h"

using namespace vc;
using tasks::TAVTaskStatus;
using tasks::TConvertingTask;
using tasks::TPersistentManager;

namespace {

std::unique_ptr<TConvertingTask> standaloneTask(int categoryId, const std::string& target = "/tmp/none/out.avi") {
  return std::make_unique<TConvertingTask>(test::ClipSettings("/tmp/none/in.mkv", target, categoryId), nullptr);
}

}  // namespace

TEST(TaskDatabaseTest, OpeningNeverCreatesTheFileAndNamesItInTheFailure) {
  test::TIsolatedConfig config;
  const std::string file = tasks::TTaskDatabase::DefaultFile();
  EXPECT_EQ(file, config.Root() + "/Tamberlin/Velocast/av.cfg");
  try {
    tasks::TTaskDatabase db;
    FAIL() << "opened a missing database";
  } catch (const tasks::EDatabaseError& e) {
    EXPECT_EQ(std::string(e.what()), "Database " + file + " does not exist");
  }
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(tasks::TaskDatabaseOpen());

  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  test::WriteFile(file, std::string(4096, 'x'));
  try {
    tasks::TTaskDatabase db;
    FAIL() << "opened a file that is no database";
  } catch (const tasks::EDatabaseError& e) {
    EXPECT_EQ(std::string(e.what()), "Can not open Database " + file);
  }
  EXPECT_EQ(test::ReadFile(file), std::string(4096, 'x'));
  EXPECT_FALSE(tasks::TaskDatabaseOpen());
}

TEST(TaskDatabaseTest, RowLifeCycleFromQueueToHistory) {
  test::TTaskDbFixture db;
  db.Query("insert into Categories(ID, Category, Path, Parent) values(7, 'Films', '/films', 1)");
  auto task = standaloneTask(7);
  task->SetLog({"first line", "second line"});
  TPersistentManager::NewDbTask(*task);
  ASSERT_GT(task->ID, 0);
  const std::string id = std::to_string(task->ID);
  EXPECT_EQ(db.Query("select Converting, ConvertedDate, CategoryId, Log from Conversions where ID=" + id),
            "1|NULL|NULL|NULL\n");
  EXPECT_EQ(db.Query("select ConvertSettings from Conversions where ID=" + id), task->Settings().ToXml() + "\n");

  TPersistentManager::FinishDbTask(*task);
  const std::string row = db.Query("select Converting, ConvertedDate, CategoryId, Log from Conversions where ID=" + id);
  EXPECT_TRUE(std::regex_match(row, std::regex("0\\|\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\|7\\|first line\r\nsecond line\r\n\n")))
      << row;
  // The stored text is the task's Date in local time.
  EXPECT_EQ(row.substr(2, 19), tasks::StoredDateText(task->Date));
  EXPECT_EQ(tasks::ParseStoredDate(row.substr(2, 19)), task->Date);
}

TEST(TaskDatabaseTest, FinishedTaskWithoutItsCategoryIsFiledUnderTheRoot) {
  test::TTaskDbFixture db;
  db.Query("insert into Categories(ID, Category, Path, Parent) values(9, 'Gone', '/gone', 1)");
  for (const int categoryId : {0, 9}) {
    SCOPED_TRACE(categoryId);
    auto task = standaloneTask(categoryId);
    TPersistentManager::NewDbTask(*task);
    db.Query("delete from Categories where ID=9");  // deleted while the task ran
    TPersistentManager::FinishDbTask(*task);
    EXPECT_EQ(db.Query("select CategoryId from Conversions where ID=" + std::to_string(task->ID)), "1\n");
    EXPECT_EQ(task->CategoryId, 1);
  }
}

TEST(TaskDatabaseTest, ClearedLogIsStoredAsNullAndLoadsEmpty) {
  test::TTaskDbFixture db;
  auto task = standaloneTask(1);
  task->SetLog({"a", "b"});
  TPersistentManager::NewDbTask(*task);
  TPersistentManager::FinishDbTask(*task);
  test::TMemoryLogList log;
  test::TMemoryInfoView info;
  task->LoadTaskInfo(info, log);
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"a", "b"}));

  task->ClearLog();
  EXPECT_EQ(db.Query("select Log is NULL from Conversions where ID=" + std::to_string(task->ID)), "1\n");
  EXPECT_TRUE(log.Lines.empty());
  EXPECT_EQ(log.Owner, task.get());
  tasks::TConvertedNode root;
  root.CategoryId = 1;
  TPersistentManager::LoadConvertedTask(root);
  ASSERT_EQ(root.Tasks().size(), 1u);
  EXPECT_TRUE(root.Tasks()[0]->Log().Empty());
}

TEST(TaskDatabaseTest, RowsStillConvertingLoadOnceAsStoppedQueueTasks) {
  test::TTaskDbFixture db;
  tasks::TConversionSettings a;
  a.SourceFile = "/media/a.mkv";
  a.CategoryId = 4;
  tasks::TConversionSettings b;
  b.SourceFile = "/media/b.mkv";
  db.Query("insert into Conversions(Converting, ConvertSettings, Log) values(1, '" + a.ToXml() + "', 'x' || char(13,10) || 'y' || char(13,10))");
  db.Query("insert into Conversions(Converting, ConvertSettings, ConvertedDate, CategoryId) values(0, '', '2024-01-01 10:00:00', 1)");
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '" + b.ToXml() + "')");

  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  tasks::TConvertingNode queue;
  queue.TreeView = &tree;
  tree.AddNode(queue, nullptr);
  tree.SetSelectedNode(&queue);
  queue.LoadTaskList(list);
  ASSERT_EQ(queue.Tasks().size(), 2u);
  const auto& first = *queue.Tasks()[0];
  const auto& second = *queue.Tasks()[1];
  EXPECT_EQ(first.Settings().SourceFile, "/media/a.mkv");
  EXPECT_EQ(second.Settings().SourceFile, "/media/b.mkv");
  for (const auto* task : {&first, &second}) {
    EXPECT_EQ(task->Status, TAVTaskStatus::stError);
    EXPECT_EQ(task->GetImageIndex(), 2);
    EXPECT_EQ(task->Category, &queue);
    EXPECT_FALSE(task->IsConverted);
    EXPECT_TRUE(task->CanStart());
  }
  EXPECT_EQ(first.ID, 1);
  EXPECT_EQ(first.CategoryId, 4);
  EXPECT_EQ(first.Log(), (base::TStrings{"x", "y"}));
  EXPECT_TRUE(second.Log().Empty());
  EXPECT_EQ(list.Headers(), (std::vector<std::string>{"Source", "Source Size", "Target", "Target Size", "Target Profile",
                                                       "Duration", "Percent", "Bitrate(kbs)", "Left Time", "Used Time"}));
  EXPECT_EQ(list.Rows.size(), 2u);

  // The queue is read once per run: a row written by another program meanwhile is not picked up.
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '')");
  queue.LoadTaskList(list);
  EXPECT_EQ(queue.Tasks().size(), 2u);
  EXPECT_EQ(list.Rows.size(), 2u);
}

TEST(TaskDatabaseTest, SettingsThatDoNotReadLeaveTheQueueUnreadAndTheErrorRaised) {
  test::TTaskDbFixture db;
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '<data><TConversionSettings><DvdTitle>x</DvdTitle></TConversionSettings></data>')");
  db.Query("insert into Conversions(Converting, ConvertSettings) values(1, 'not xml at all')");
  test::TMemoryTaskList list;
  tasks::TConvertingNode queue;
  EXPECT_THROW(
      {
        try {
          queue.LoadTaskList(list);
        } catch (const base::EVelocastError& e) {
          EXPECT_STREQ(e.what(), "Invalid integer value (x).");
          throw;
        }
      },
      base::EVelocastError);
  EXPECT_TRUE(queue.Tasks().empty());
  EXPECT_FALSE(queue.Loaded());

  // Text that is no XML at all gives a task with the constructed settings.
  db.Query("delete from Conversions where ID=1");
  queue.LoadTaskList(list);
  ASSERT_EQ(queue.Tasks().size(), 1u);
  EXPECT_EQ(queue.Tasks()[0]->Settings().SourceFile, "");
}

TEST(TaskDatabaseTest, RejectedStatementCarriesSqliteMessageAndCode) {
  test::TTaskDbFixture db;
  db.Query("drop table Conversions");
  auto task = standaloneTask(1);
  try {
    TPersistentManager::NewDbTask(*task);
    FAIL() << "inserted into a missing table";
  } catch (const tasks::EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("no such table: Conversions"), std::string::npos) << e.what();
    EXPECT_EQ(e.Code, 1);  // SQLITE_ERROR
  }
  EXPECT_EQ(task->ID, 0);
}
