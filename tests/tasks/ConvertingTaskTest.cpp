#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "MemoryViews.h"
#include "TaskTestSupport.h"
#include "tasks/AVConfiguration.h"
#include "tasks/ConvertingTask.h"
#include "tasks/PersistentManager.h"
#include "tasks/TaskCaptions.h"
#include "tasks/TaskTree.h"

using namespace vc;
using tasks::TAVTaskStatus;
using tasks::TConvertingTask;

namespace {

namespace fs = std::filesystem;

// The main window's parts: the UI thread, the database, the recording fakes and the views. The
// UI thread comes first, so it outlives the tasks whose engines it serves.
struct TScene {
  TScene() {
    model.Build();
    model.NewCategory(model.RootCategory(), "Films", dir.File("films"));   // ID 2
    model.NewCategory(model.RootCategory(), "Music", dir.File("music"));   // ID 3
  }
  tasks::TConvertingNode& queue() { return *model.ConvertingNode(); }
  tasks::TConvertedNode& films() { return *model.FindCategory(2); }
  tasks::TConvertedNode& music() { return *model.FindCategory(3); }
  std::string row(int64_t id, const std::string& columns) {
    return db.Query("select " + columns + " from Conversions where ID=" + std::to_string(id));
  }
  // A queue row of an earlier run, inserted before the queue is first shown.
  void addQueueRow(const tasks::TConversionSettings& settings) {
    db.Query("insert into Conversions(Converting, ConvertSettings) values(1, '" + settings.ToXml() + "')");
  }

  test::TUiThread ui;
  test::TTaskDbFixture db;
  test::TTempDir dir;
  test::TRecordingPrompts prompts;
  test::TRecordingPlatformActions actions;
  test::TRecordingAlerts alerts;
  test::TMemoryTree tree;
  test::TMemoryTaskList list;
  test::TMemoryInfoView info;
  test::TMemoryLogList log;
  tasks::TTaskTree model{tree, list};
};

int64_t fileSize(const std::string& path) { return static_cast<int64_t>(fs::file_size(path)); }

std::string kb(int64_t bytes) { return std::to_string(bytes / 1024) + "KB"; }

}  // namespace

TEST(ConvertingTaskTest, FreshTaskCaptions) {
  test::TUiThread ui;
  auto settings = test::ClipSettings("/media/in/clip.mkv", "/media/out/clip.avi", 0);
  TConvertingTask task(std::move(settings), nullptr);
  const std::vector<std::string> expected = {"clip.mkv", "0KB", "clip.avi", "0KB", "AVI MPEG-4", "0:0:0",
                                             "0%",       ".0",  "100:40:39", "0:0:0", ""};
  for (int column = 0; column <= 10; ++column) EXPECT_EQ(task.GetCaption(column), expected[column]) << column;

  task.Settings().SourceType = tasks::TAVSourceType::stDvd;
  task.Settings().SourceFile = "stream:4";
  task.Settings().DvdVolume = "FIXTURE_DVD";
  task.Settings().DvdTitle = 3;
  EXPECT_EQ(task.GetCaption(0), "dvd[FIXTURE_DVD:title3]");
  EXPECT_FALSE(task.CanOpenSource());
}

TEST(ConvertingTaskTest, HistoryCaptionsReadTheStoredSettingsAndTheFileNow) {
  test::TUiThread ui;
  test::TTempDir dir;
  test::WriteFile(dir.File("out.avi"), std::string(5000, 'x'));
  TConvertingTask task(test::ClipSettings(dir.File("gone.mkv"), dir.File("out.avi"), 2), nullptr);
  task.IsConverted = true;
  task.Settings().SourceFileSize = 2048 * 1024 + 5;
  task.Settings().Duration = 3724.5;
  task.Date = tasks::ParseStoredDate("2024-03-05 14:07:09");
  const std::vector<std::string> expected = {"gone.mkv", "2048KB", "out.avi", "4KB", "AVI MPEG-4", "1:2:4",
                                             "03/05/24 14:07:09", ""};
  for (int column = 0; column <= 7; ++column) EXPECT_EQ(task.GetCaption(column), expected[column]) << column;
  EXPECT_TRUE(task.ConvertedIsValid());
  EXPECT_FALSE(task.CanOpenSource());
  fs::remove(dir.File("out.avi"));
  EXPECT_EQ(task.GetCaption(3), "0KB");
  EXPECT_FALSE(task.ConvertedIsValid());
}

TEST(ConvertingTaskTest, LogHoldsTheLast51TrimmedLinesAndShowsThemOnTheUiThread) {
  test::TUiThread ui;
  TConvertingTask task(test::ClipSettings("/a.mkv", "/b.avi", 0), nullptr);
  test::TMemoryInfoView info;
  test::TMemoryLogList log;
  task.SetLog({"stored line"});
  task.LoadTaskInfo(info, log);
  ASSERT_EQ(info.Columns.size(), 3u);
  EXPECT_EQ(info.Columns[0].Header, "Category");
  EXPECT_EQ(info.Columns[1].Header, "Property");
  EXPECT_EQ(info.Columns[2].Header, "Value");
  EXPECT_EQ(info.Columns[0].Width, 100);
  EXPECT_EQ(log.Lines, std::vector<std::string>{"stored line"});
  task.SetLog({});

  // The engine logs on its worker thread.
  std::thread worker([&] {
    for (int i = 1; i <= 52; ++i)
      task.Converter().OnLog(task.Converter(), 32, " \t line " + std::to_string(i) + "\r\n");
  });
  worker.join();
  const base::TStrings lines = task.Log();
  ASSERT_EQ(lines.Count(), 51);
  EXPECT_EQ(lines[0], "line 2");
  EXPECT_EQ(lines[50], "line 52");
  // The box is refreshed by the next report on the UI thread.
  EXPECT_EQ(log.Lines, std::vector<std::string>{"stored line"});
  task.Converter().OnProgress(task.Converter());
  EXPECT_EQ(log.Lines, lines.Lines());
}

TEST(ConvertingTaskTest, ConversionRunsFromTheQueueIntoItsCategory) {
  TScene scene;
  scene.model.Select(&scene.queue());
  const std::string target = scene.dir.File("out.avi");
  TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), target, 2));
  // Admitted: running, listed, and its row inserted after the start.
  EXPECT_EQ(task.Status, TAVTaskStatus::stRunning);
  EXPECT_EQ(task.Category, &scene.queue());
  EXPECT_EQ(scene.list.Rows, std::vector<tasks::TNodeObject*>{&task});
  ASSERT_GT(task.ID, 0);
  const int64_t id = task.ID;
  EXPECT_EQ(scene.row(id, "Converting, ConvertedDate, CategoryId, Log"), "1|NULL|NULL|NULL\n");
  EXPECT_EQ(task.GetCaption(8), "100:40:39");  // the worker waits for its first report
  task.LoadTaskInfo(scene.info, scene.log);

  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
  EXPECT_GT(scene.list.Repaints, 0);
  EXPECT_TRUE(scene.list.Rows.empty());  // the queue is shown: the row goes, the task is discarded
  EXPECT_EQ(scene.log.Owner, nullptr);
  EXPECT_EQ(scene.alerts.Shown, std::vector<std::string>{target});
  EXPECT_TRUE(scene.prompts.Errors.empty());
  EXPECT_TRUE(scene.actions.Calls.empty());
  EXPECT_NEAR(test::ProbeDuration(target), test::TaskClipSeconds, 0.2);

  const std::string row = scene.row(id, "Converting, CategoryId, ConvertedDate is not NULL, Log is not NULL");
  EXPECT_EQ(row, "0|2|1|1\n");
  tasks::TConversionSettings stored;
  stored.FromXml(scene.row(id, "ConvertSettings"));
  EXPECT_NEAR(stored.Duration, test::TaskClipSeconds, 0.1);
  EXPECT_EQ(stored.SourceFileSize, fileSize(test::TaskClip()));  // filled although the list never asked

  // The history shows it when its category is opened.
  scene.model.Select(&scene.films());
  ASSERT_EQ(scene.list.Rows.size(), 1u);
  const auto captions = scene.list.Captions(0);
  EXPECT_EQ(captions[0], "clip.mkv");
  EXPECT_EQ(captions[1], kb(fileSize(test::TaskClip())));
  EXPECT_EQ(captions[2], "out.avi");
  EXPECT_EQ(captions[3], kb(fileSize(target)));
  EXPECT_EQ(captions[4], "AVI MPEG-4");
  EXPECT_EQ(captions[5], "0:0:3");
  EXPECT_FALSE(captions[6].empty());
  EXPECT_TRUE(static_cast<tasks::TAVTask*>(scene.list.Rows[0])->ConvertedIsValid());
}

TEST(ConvertingTaskTest, FinishedTaskJoinsTheShownCategoryOnlyWhenItIsItsOwn) {
  for (const int shown : {2, 3}) {
    SCOPED_TRACE(shown);
    TScene scene;
    tasks::Configuration().ShowAlert = false;
    scene.model.Select(scene.model.FindCategory(shown));
    TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), scene.dir.File("a.avi"), 2));
    EXPECT_TRUE(scene.list.Rows.empty());  // the list shows a category, not the queue
    ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
    EXPECT_TRUE(scene.alerts.Shown.empty());
    EXPECT_EQ(scene.row(1, "Converting"), "0\n");
    if (shown == 2) {
      ASSERT_EQ(scene.films().Tasks().size(), 1u);
      EXPECT_EQ(scene.films().Tasks()[0].get(), &task);
      EXPECT_TRUE(task.IsConverted);
      EXPECT_EQ(task.Category, &scene.films());
      EXPECT_EQ(task.Status, TAVTaskStatus::stFinished);
      EXPECT_EQ(scene.list.Rows, std::vector<tasks::TNodeObject*>{&task});
      EXPECT_EQ(scene.list.Captions(0)[5], "0:0:3");
      EXPECT_EQ(scene.list.Captions(0).size(), 7u);
    } else {
      EXPECT_TRUE(scene.list.Rows.empty());
      EXPECT_TRUE(scene.music().Tasks().empty());
      scene.model.Select(&scene.films());
      EXPECT_EQ(scene.list.Rows.size(), 1u);
    }
  }
}

TEST(ConvertingTaskTest, QueueFirstShownAfterANewConversionHoldsItOnce) {
  TScene scene;
  scene.model.Select(&scene.films());
  TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), scene.dir.File("a.avi"), 2));
  scene.model.Select(&scene.queue());
  EXPECT_EQ(scene.queue().Tasks().size(), 1u);
  EXPECT_EQ(scene.list.Rows, std::vector<tasks::TNodeObject*>{&task});
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
}

TEST(ConvertingTaskTest, EngineErrorGivesNoSuccessAlertAndEndsTheStoredLog) {
  TScene scene;
  scene.model.Select(&scene.queue());
  test::WriteFile(scene.dir.File("broken.mkv"), "this is no media file");
  const std::string target = scene.dir.File("broken.avi");
  TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(scene.dir.File("broken.mkv"), target, 2));
  const int64_t id = task.ID;
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
  ASSERT_EQ(scene.prompts.Errors.size(), 1u);  // the engine's error box
  EXPECT_TRUE(scene.alerts.Shown.empty());
  EXPECT_EQ(scene.row(id, "Converting, CategoryId"), "0|2\n");
  base::TStrings log;
  log.SetText(scene.row(id, "Log"));
  ASSERT_GT(log.Count(), 1);
  const std::string errorText = log[log.Count() - 2];  // the query's own line break ends the text
  EXPECT_FALSE(errorText.empty());
  EXPECT_EQ(scene.prompts.Errors[0].rfind(errorText + ":", 0), 0u) << scene.prompts.Errors[0];
}

TEST(ConvertingTaskTest, StoppedTaskShowsErrorThenCompletesWithTheShorterOutput) {
  TScene scene;
  scene.model.Select(&scene.queue());
  const std::string target = scene.dir.File("stopped.avi");
  TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), target, 2));
  const int64_t id = task.ID;
  bool stopped = false;
  scene.list.OnRepaint = [&](const tasks::TNodeObject&) {
    if (stopped || task.Status != TAVTaskStatus::stRunning) return;
    if (task.Converter().ConvertedDuration() >= 0.25) {
      task.Stop();
      stopped = true;
      EXPECT_EQ(task.Status, TAVTaskStatus::stError);
      EXPECT_EQ(task.GetImageIndex(), 2);
      EXPECT_FALSE(task.CanStart());  // its engine has not ended yet
      EXPECT_FALSE(task.Start());
      return;
    }
    // Holding the report past the engine's report interval makes it report at every packet, so
    // the stop lands at a known point of the clip.
    std::this_thread::sleep_for(std::chrono::milliseconds(45));
  };
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
  EXPECT_TRUE(stopped);
  EXPECT_EQ(scene.row(id, "Converting, CategoryId"), "0|2\n");
  const double duration = test::ProbeDuration(target);
  EXPECT_GT(duration, 0.1);
  EXPECT_LT(duration, test::TaskClipSeconds - 1.0);
  EXPECT_EQ(scene.alerts.Shown, std::vector<std::string>{target});
}

TEST(ConvertingTaskTest, DeletingStopsRunningTasksAndDeletesStoppedOnesWithTheChosenFiles) {
  TScene scene;
  const std::string oldSource = scene.dir.File("old.mkv");
  const std::string oldTarget = scene.dir.File("old.avi");
  fs::copy_file(test::TaskClip(), oldSource);
  test::WriteFile(oldTarget, "half a conversion");
  scene.addQueueRow(*test::ClipSettings(oldSource, oldTarget, 2));
  scene.model.Select(&scene.queue());
  ASSERT_EQ(scene.queue().Tasks().size(), 1u);
  tasks::TAVTask* stopped = scene.queue().Tasks()[0].get();
  const std::string target = scene.dir.File("running.avi");
  TConvertingTask& running = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), target, 2));
  ASSERT_EQ(scene.list.Rows.size(), 2u);

  tasks::DeleteOrStopTasks({stopped, &running}, /*deleteSource=*/false, /*deleteTarget=*/true);
  EXPECT_EQ(scene.list.Rows, std::vector<tasks::TNodeObject*>{&running});
  EXPECT_EQ(running.Status, TAVTaskStatus::stError);
  EXPECT_EQ(scene.db.Query("select ID, Converting from Conversions order by ID"), "2|1\n");
  EXPECT_TRUE(fs::exists(oldSource));
  EXPECT_FALSE(fs::exists(oldTarget));

  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
  EXPECT_EQ(scene.db.Query("select ID, Converting, CategoryId from Conversions"), "2|0|2\n");
  EXPECT_TRUE(fs::exists(target));  // stopped, not deleted: its output stays
  EXPECT_TRUE(fs::exists(test::TaskClip()));
}

TEST(ConvertingTaskTest, DeletingAFinishedTaskOfTheHistory) {
  TScene scene;
  const std::string source = scene.dir.File("src.mkv");
  const std::string target = scene.dir.File("done.avi");
  fs::copy_file(test::TaskClip(), source);
  test::WriteFile(target, "converted");
  TConvertingTask loose(test::ClipSettings(source, target, 2), nullptr);
  tasks::TPersistentManager::NewDbTask(loose);
  tasks::TPersistentManager::FinishDbTask(loose);
  scene.model.Select(&scene.films());
  ASSERT_EQ(scene.list.Rows.size(), 1u);
  auto* finished = static_cast<tasks::TAVTask*>(scene.list.Rows[0]);
  finished->LoadTaskInfo(scene.info, scene.log);
  tasks::DeleteOrStopTasks({finished}, /*deleteSource=*/true, /*deleteTarget=*/false);
  EXPECT_TRUE(scene.list.Rows.empty());
  EXPECT_TRUE(scene.films().Tasks().empty());
  EXPECT_EQ(scene.log.Owner, nullptr);
  EXPECT_EQ(scene.db.Query("select count(*) from Conversions"), "0\n");
  EXPECT_FALSE(fs::exists(source));
  EXPECT_TRUE(fs::exists(target));
}

TEST(ConvertingTaskTest, ShutDownWhenNoOtherQueueTaskRuns) {
  for (const bool otherRunning : {false, true}) {
    SCOPED_TRACE(otherRunning);
    TScene scene;
    tasks::Configuration().ShutdownWhenDone = true;
    scene.addQueueRow(*test::ClipSettings(test::TaskClip(), scene.dir.File("left.avi"), 2));  // stopped
    scene.model.Select(&scene.queue());
    TConvertingTask& paused = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), scene.dir.File("p.avi"), 2));
    paused.Pause();
    EXPECT_EQ(paused.Status, TAVTaskStatus::stPaused);
    if (otherRunning) scene.queue().Tasks()[0]->Status = TAVTaskStatus::stRunning;
    TConvertingTask& task = scene.queue().NewConversion(test::ClipSettings(test::TaskClip(), scene.dir.File("t.avi"), 2));
    ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().size() == 2; }));
    EXPECT_EQ(paused.Status, TAVTaskStatus::stPaused);
    (void)task;
    EXPECT_EQ(scene.actions.Calls, otherRunning ? std::vector<std::string>{} : std::vector<std::string>{"ShutDown"});
  }
}

TEST(ConvertingTaskTest, QueueTaskOfAnEarlierRunStartsAgainOnItsRow) {
  TScene scene;
  const std::string target = scene.dir.File("again.avi");
  scene.addQueueRow(*test::ClipSettings(test::TaskClip(), target, 3));
  scene.model.Select(&scene.queue());
  ASSERT_EQ(scene.queue().Tasks().size(), 1u);
  tasks::TAVTask& task = *scene.queue().Tasks()[0];
  task.SetLog({"from the earlier run"});
  task.LoadTaskInfo(scene.info, scene.log);
  ASSERT_TRUE(task.Start());
  EXPECT_EQ(task.Status, TAVTaskStatus::stRunning);
  EXPECT_TRUE(scene.log.Lines.empty());  // the log starts afresh
  task.Pause();
  EXPECT_EQ(task.Status, TAVTaskStatus::stPaused);
  EXPECT_TRUE(task.Start());  // the start action resumes a paused task
  EXPECT_EQ(task.Status, TAVTaskStatus::stRunning);
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return scene.queue().Tasks().empty(); }));
  EXPECT_EQ(scene.db.Query("select ID, Converting, CategoryId from Conversions"), "1|0|3\n");
  EXPECT_NEAR(test::ProbeDuration(target), test::TaskClipSeconds, 0.2);
}

TEST(ConvertingTaskTest, EngineThatRanIsNeverStartedAgain) {
  TScene scene;
  const std::string target = scene.dir.File("twice.avi");
  TConvertingTask task(test::ClipSettings(test::TaskClip(), target, 2), nullptr);
  ASSERT_TRUE(task.Start());
  const engine::TAVConverter* first = &task.Converter();
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return task.Status == TAVTaskStatus::stFinished && !first->Busy(); }));
  EXPECT_FALSE(task.CanStart());
  EXPECT_FALSE(task.Start());
  fs::remove(target);

  task.Status = TAVTaskStatus::stError;  // as a stopped task whose engine has ended
  ASSERT_TRUE(task.CanStart());
  ASSERT_TRUE(task.Start());
  EXPECT_NE(&task.Converter(), first);
  ASSERT_TRUE(scene.ui.PumpUntil([&] { return task.Status == TAVTaskStatus::stFinished; }));
  EXPECT_NEAR(test::ProbeDuration(target), test::TaskClipSeconds, 0.2);
}

TEST(ConvertingTaskTest, DvdTaskWhoseDiscIsGoneIsRefusedWithAMessage) {
  TScene scene;
  auto settings = test::ClipSettings("stream:1", scene.dir.File("dvd.avi"), 2);
  settings->SourceType = tasks::TAVSourceType::stDvd;
  settings->DvdVolume = "FIXTURE_DVD";
  settings->DvdTitle = 2;
  settings->DvdDriver = scene.dir.File("no-such-disc");
  scene.addQueueRow(*settings);
  scene.model.Select(&scene.queue());
  tasks::TAVTask& task = *scene.queue().Tasks()[0];
  EXPECT_FALSE(task.Start());
  EXPECT_EQ(scene.prompts.Errors,
            std::vector<std::string>{tasks::DvdRerunRefusedText(task.Settings(), "Can not open DVD")});
  EXPECT_NE(scene.prompts.Errors[0].find("title 2 of FIXTURE_DVD"), std::string::npos);
  EXPECT_EQ(task.Settings().SourceFile, "stream:1") << "the stale stream is never opened";
  EXPECT_EQ(task.Status, TAVTaskStatus::stError);
  EXPECT_FALSE(task.Converter().Busy());
}

TEST(ConvertingTaskTest, AlertFolderShowsTheFileOrSaysItIsGone) {
  test::TTempDir dir;
  test::TRecordingPrompts prompts;
  test::TRecordingPlatformActions actions;
  const std::string file = dir.File("made.avi");
  test::WriteFile(file, "x");
  EXPECT_EQ(tasks::CompletionAlertMessage(file), file + " was generated.");
  tasks::CompletionAlertFolderClick(file);
  EXPECT_EQ(actions.Calls, std::vector<std::string>{"ShowFile " + file});
  fs::remove(file);
  tasks::CompletionAlertFolderClick(file);
  EXPECT_EQ(prompts.Errors, std::vector<std::string>{file + " does not exists."});
  EXPECT_EQ(actions.Calls.size(), 1u);
}
