// The main window over a real task database and real conversions: start-up, the queue and the
// history, the task actions and their enable rules, deletion, the close question, the shut-down
// check mark, file drop.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>
#include <filesystem>

#include "DesktopFixture.h"
#include "tasks/AVConfiguration.h"
#include "tasks/PersistentManager.h"
#include "tasks/TaskDatabase.h"

namespace vc::test {
namespace {

using tasks::TAVTaskStatus;

// A queue row an earlier run left unfinished, as that run's start had inserted it.
int64_t insertEarlierRun(const std::string& source, const std::string& target) {
  tasks::TTaskDatabase db;
  tasks::TConvertingTask task(ClipSettings(source, target, 0), nullptr);
  tasks::TPersistentManager::NewDbTask(task);
  return task.ID;
}

TEST_F(DesktopTest, StartsWithTheQueueSelectedUnderItsCaptionMenusAndToolbar) {
  Start();
  EXPECT_EQ(Form().windowTitle(), "Velocast");
  QTreeView& tree = *Form().FrameExplorer()->vstExplorer;
  ASSERT_EQ(tree.model()->rowCount(), 2);
  EXPECT_EQ(tree.model()->index(0, 0).data().toString(), "Converting");
  EXPECT_EQ(tree.model()->index(1, 0).data().toString(), "Converted");
  EXPECT_TRUE(tree.isHeaderHidden());
  EXPECT_EQ(Tree().ConvertingNode(), Form().FrameExplorer()->SelectedNode());
  std::vector<std::string> headers;
  for (int c = 0; c < ListModel().columnCount(); ++c)
    headers.push_back(ListModel().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  EXPECT_EQ(headers, (std::vector<std::string>{"Source", "Source Size", "Target", "Target Size", "Target Profile",
                                               "Duration", "Percent", "Bitrate(kbs)", "Left Time", "Used Time"}));
  EXPECT_FALSE(Form().mnuTools->menuAction()->isVisible());
  EXPECT_EQ(Form().actNewConversion->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
  EXPECT_EQ(Form().tlbMain->widgetForAction(Form().actStartTask)->size(), QSize(85, 68));
  EXPECT_FALSE(Form().actShutdown->isChecked());
  // Without a task nothing can be started, paused, stopped or deleted.
  Form().UpdateActions();
  for (QAction* action : {Form().actStartTask, Form().actPauseTask, Form().actStopTask, Dm().actDelTask})
    EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
  EXPECT_TRUE(Form().actNewConversion->isEnabled());
}

TEST_F(DesktopTest, AConversionShowsItsRowWithProgressAndMovesToTheHistory) {
  Start();
  tasks::TConvertingTask& task = Admit("first.avi");
  ASSERT_GE(ListModel().RowOf(&task), 0);
  EXPECT_EQ(Cell(&task, 0), "clip.mkv");
  EXPECT_EQ(Cell(&task, 2), "first.avi");
  EXPECT_EQ(Cell(&task, 4), "AVI MPEG-4");
  // The status image of a running task, in the first column only.
  const int row = ListModel().RowOf(&task);
  EXPECT_FALSE(ListModel().index(row, 0).data(Qt::DecorationRole).isNull());
  EXPECT_TRUE(ListModel().index(row, 2).data(Qt::DecorationRole).isNull());

  std::vector<std::pair<QModelIndex, QModelIndex>> repaints;
  QObject::connect(&ListModel(), &QAbstractItemModel::dataChanged,
                   [&](const QModelIndex& a, const QModelIndex& b) { repaints.emplace_back(a, b); });
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_EQ(ListModel().rowCount(), 0);
  ASSERT_FALSE(repaints.empty());
  for (const auto& [from, to] : repaints) {
    EXPECT_EQ(from.row(), to.row()) << "a progress report repaints one row";
    EXPECT_EQ(from.column(), 0);
    EXPECT_EQ(to.column(), 9);
  }

  ClickEntry(Tree().RootCategory());
  ASSERT_EQ(ListModel().rowCount(), 1);
  EXPECT_EQ(ListModel().index(0, 2).data().toString(), "first.avi");
  EXPECT_EQ(ListModel().headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), "Date");
  EXPECT_NEAR(ProbeDuration(Env.File("first.avi")), 3.0, 0.3);
  EXPECT_EQ(Env.Query("select Converting, CategoryId from Conversions"), "0|1\n");
}

TEST_F(DesktopTest, StartPauseAndStopFollowTheFocusedAndSelectedTasks) {
  Start();
  tasks::TConvertingTask& task = Admit("paused.avi");
  Focus(&task);
  Form().UpdateActions();
  EXPECT_FALSE(Form().actStartTask->isEnabled());
  EXPECT_TRUE(Form().actPauseTask->isEnabled());
  EXPECT_TRUE(Form().actStopTask->isEnabled());
  EXPECT_EQ(Form().FrameInfo()->ShownTask(), &task);

  Form().actPauseTask->trigger();
  EXPECT_EQ(task.Status, TAVTaskStatus::stPaused);
  // No explicit update: the rules run whenever the event loop runs out of work.
  Pump();
  EXPECT_TRUE(Form().actStartTask->isEnabled());
  EXPECT_FALSE(Form().actPauseTask->isEnabled());
  EXPECT_TRUE(Form().actStopTask->isEnabled());
  EXPECT_EQ(task.Status, TAVTaskStatus::stPaused);

  Form().actStartTask->trigger();
  EXPECT_EQ(task.Status, TAVTaskStatus::stRunning);
  Form().actStopTask->trigger();
  EXPECT_EQ(task.Status, TAVTaskStatus::stError);
  Form().UpdateActions();
  // Stopping: nothing to pause or stop, and no new start before the engine has ended.
  EXPECT_FALSE(Form().actStartTask->isEnabled());
  EXPECT_FALSE(Form().actPauseTask->isEnabled());
  EXPECT_FALSE(Form().actStopTask->isEnabled());

  // The stopped conversion is filed; the information frame lets go of the task that went.
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_EQ(Form().FrameInfo()->ShownTask(), nullptr);
  EXPECT_FALSE(Form().FrameInfo()->actClearLog->isEnabled());
  Form().FrameInfo()->ClearLog();  // acts on nothing
  EXPECT_EQ(Env.Query("select Converting from Conversions"), "0\n");
  EXPECT_LT(ProbeDuration(Env.File("paused.avi")), 3.0);
}

TEST_F(DesktopTest, StartRunsATaskAnEarlierRunLeftUnfinishedFromTheBeginning) {
  insertEarlierRun(GuiClip(), Env.File("again.avi"));
  Start();
  ASSERT_EQ(ListModel().rowCount(), 1);
  auto* task = dynamic_cast<tasks::TAVTask*>(ListModel().Object(0));
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->Status, TAVTaskStatus::stError);
  Focus(task);
  Form().UpdateActions();
  EXPECT_TRUE(Form().actStartTask->isEnabled());
  EXPECT_FALSE(Form().actPauseTask->isEnabled());
  EXPECT_FALSE(Form().actStopTask->isEnabled());
  Form().actStartTask->trigger();
  EXPECT_EQ(task->Status, TAVTaskStatus::stRunning);
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_NEAR(ProbeDuration(Env.File("again.avi")), 3.0, 0.3);
}

TEST_F(DesktopTest, DeletingAMixedSelectionStopsTheRunningTaskAndDeletesTheStoppedOne) {
  const std::string source = Env.File("source.mkv");
  std::filesystem::copy_file(GuiClip(), source);
  WriteFile(Env.File("old.avi"), "partial output");
  const int64_t oldId = insertEarlierRun(source, Env.File("old.avi"));
  Start();
  tasks::TConvertingTask& running = Admit("running.avi");
  ASSERT_EQ(ListModel().rowCount(), 2);
  TaskView().selectAll();
  Form().UpdateActions();
  ASSERT_TRUE(Dm().actDelTask->isEnabled());

  std::string caption, text;
  bool sourceTicked = true, targetTicked = false;
  OnNextModal([&](QWidget* dialog) {
    caption = dialog->windowTitle().toStdString();
    text = dialog->findChild<QLabel*>("lblText")->text().toStdString();
    sourceTicked = dialog->findChild<QCheckBox*>("chkSource")->isChecked();
    targetTicked = dialog->findChild<QCheckBox*>("chkTarget")->isChecked();
    dialog->findChild<QPushButton*>("btnYes")->click();
  });
  Dm().actDelTask->trigger();
  EXPECT_EQ(caption, "Confirm to delete");
  EXPECT_EQ(text, "Do you want to delete  the task drastically \nwhich you selected?");
  EXPECT_FALSE(sourceTicked);
  EXPECT_TRUE(targetTicked);

  // The stopped task of the earlier run is gone with its target; its source stays.
  EXPECT_EQ(ListModel().rowCount(), 1);
  EXPECT_EQ(Env.Query("select count(*) from Conversions where ID=" + std::to_string(oldId)), "0\n");
  EXPECT_FALSE(std::filesystem::exists(Env.File("old.avi")));
  EXPECT_TRUE(std::filesystem::exists(source));
  // The running one was asked to stop, and is filed when its engine ends.
  EXPECT_EQ(running.Status, TAVTaskStatus::stError);
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_EQ(Env.Query("select Converting from Conversions"), "0\n");
  EXPECT_TRUE(std::filesystem::exists(Env.File("running.avi")));
}

TEST_F(DesktopTest, TheDeleteKeyAsksOnlyWithRowsSelectedAndNoKeepsThem) {
  insertEarlierRun(GuiClip(), Env.File("kept.avi"));
  Start();
  QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  TaskView().clearSelection();
  QCoreApplication::sendEvent(&TaskView(), &key);  // no dialog: it would wait here for an answer
  TaskView().selectAll();
  bool asked = false;
  OnNextModal([&](QWidget* dialog) {
    asked = true;
    dialog->findChild<QPushButton*>("btnNo")->click();
  });
  QCoreApplication::sendEvent(&TaskView(), &key);
  EXPECT_TRUE(asked);
  EXPECT_EQ(ListModel().rowCount(), 1);
  EXPECT_EQ(Env.Query("select count(*) from Conversions"), "1\n");
}

TEST_F(DesktopTest, TheCloseQuestionComesOnlyWhileAQueueTaskRunsOrIsPaused) {
  Start();
  tasks::TConvertingTask& task = Admit("close.avi");
  // A history category in the list does not hide the running queue.
  ClickEntry(Tree().RootCategory());
  Env.Prompts.Answer = false;
  EXPECT_FALSE(Form().close());
  ASSERT_EQ(Env.Prompts.Questions, std::vector<std::string>{"There are running tasks, are you sure to exit?"});
  EXPECT_TRUE(Form().isVisible());
  EXPECT_EQ(task.Status, TAVTaskStatus::stRunning);

  task.Pause();
  EXPECT_FALSE(Form().close());
  EXPECT_EQ(Env.Prompts.Questions.size(), 2u);
  EXPECT_EQ(task.Status, TAVTaskStatus::stPaused);

  Env.Prompts.Answer = true;
  EXPECT_TRUE(Form().close());
  EXPECT_EQ(task.Status, TAVTaskStatus::stError);
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));

  // Nothing runs any more: no question.
  Form().show();
  EXPECT_TRUE(Form().close());
  EXPECT_EQ(Env.Prompts.Questions.size(), 3u);
}

TEST_F(DesktopTest, ExitEndsWithoutTheQuestionAndAbandonsRunningConversions) {
  Start();
  Admit("abandoned.avi");
  Form().actExit->trigger();
  EXPECT_FALSE(Form().isVisible());
  EXPECT_TRUE(Env.Prompts.Questions.empty());
  // The end of the run stops the engine and waits for it, but does not file the conversion.
  Desktop.reset();
  EXPECT_EQ(Env.Query("select Converting from Conversions"), "1\n");
  // The next run lists it as a stopped queue task.
  Start();
  ASSERT_EQ(ListModel().rowCount(), 1);
  EXPECT_EQ(dynamic_cast<tasks::TAVTask*>(ListModel().Object(0))->Status, TAVTaskStatus::stError);
}

TEST_F(DesktopTest, ShutdownWhenDoneSurvivesARestartOnlyThroughTheSavedConfiguration) {
  Start();
  Form().actShutdown->trigger();
  EXPECT_TRUE(Form().actShutdown->isChecked());
  EXPECT_TRUE(tasks::Configuration().ShutdownWhenDone);
  // Not saved yet: a configuration read from the file now would not have it.
  {
    tasks::TAVConfiguration stored;
    stored.LoadFromFile(tasks::TAVConfiguration::GetConfigFile());
    EXPECT_FALSE(stored.ShutdownWhenDone);
  }
  // A completion with nothing else running shuts down (the recording fake).
  Admit("last.avi");
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_EQ(std::count(Env.Actions.Calls.begin(), Env.Actions.Calls.end(), "ShutDown"), 1);

  Desktop.reset();  // the end of the run saves the configuration
  tasks::Configuration().Assign(tasks::TAVConfiguration());
  tasks::Configuration().Load();
  Start();
  EXPECT_TRUE(Form().actShutdown->isChecked());
  Form().actShutdown->trigger();
  EXPECT_FALSE(Form().actShutdown->isChecked());
  EXPECT_FALSE(tasks::Configuration().ShutdownWhenDone);
}

TEST_F(DesktopTest, TheTaskListAcceptsADragOfOneFileOnly) {
  Start();
  QWidget* viewport = TaskView().viewport();
  auto drag = [&](const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    data.setUrls(urls);
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
    return std::make_pair(event.isAccepted(), event.dropAction());
  };
  const auto one = drag({QString::fromStdString(GuiClip())});
  EXPECT_TRUE(one.first);
  EXPECT_EQ(one.second, Qt::LinkAction);
  EXPECT_FALSE(drag({QString::fromStdString(GuiClip()), QStringLiteral("/tmp/other.mkv")}).first);

  // Dropping the file hands it to the wizard, which admits nothing yet.
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(GuiClip()))});
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &drop);
  EXPECT_TRUE(QueueEmpty());
}

}  // namespace
}  // namespace vc::test

namespace vc::test {
namespace {

// The data module refuses a task database that is missing, that is no database, or that has no
// conversions table; the program shows the message in its error box and ends.
TEST(DesktopStartUp, RefusesAMissingOrBrokenTaskDatabaseWithItsMessage) {
  TGuiEnvironment env;
  const std::string file = env.DatabaseFile();
  struct TCase {
    std::function<void()> Break;
    std::string Message;
  };
  const std::vector<TCase> cases = {
      {[&] { std::filesystem::remove(file); }, "Database " + file + " does not exist"},
      {[&] { WriteFile(file, std::string(4096, 'x')); }, "Can not open Database " + file},
      {[&] {
         std::filesystem::remove(file);
         RunCommand("sqlite3 '" + file + "' 'create table Categories(ID integer)'");
       },
       "Can not open Database " + file + ": no such table: Conversions (SQLite error 1)"},
  };
  for (const TCase& c : cases) {
    c.Break();
    try {
      gui::TDesktop desktop;
      ADD_FAILURE() << "started with " << c.Message;
    } catch (const tasks::EDatabaseError& e) {
      EXPECT_EQ(std::string(e.what()), c.Message);
    }
    EXPECT_FALSE(tasks::TaskDatabaseOpen());
  }
}

}  // namespace
}  // namespace vc::test
