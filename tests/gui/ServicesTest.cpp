// The desktop's dispatcher and message boxes: workers' calls run on the UI thread, exceptions
// come back to the worker, and a box asked for by a worker shows on the UI thread.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "GuiTestSupport.h"
#include "gui/QtDispatcher.h"
#include "gui/QtPrompts.h"

namespace vc::test {
namespace {

TEST(QtDispatcher, RunsWorkerCallsOnTheUiThreadAndReturnsTheirExceptions) {
  EnsureApplication();
  gui::TQtDispatcher dispatcher;
  EXPECT_TRUE(dispatcher.isUiThread());
  QThread* ranOn = nullptr;
  std::string caught;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    EXPECT_FALSE(dispatcher.isUiThread());
    dispatcher.invokeSync([&] { ranOn = QThread::currentThread(); });
    try {
      dispatcher.invokeSync([] { throw std::runtime_error("refused"); });
    } catch (const std::runtime_error& e) {
      caught = e.what();
    }
    done = true;
  });
  // Only the workers' calls run here: a call queued for another object waits for the event loop.
  bool otherRan = false;
  QObject other;
  QMetaObject::invokeMethod(&other, [&] { otherRan = true; }, Qt::QueuedConnection);
  while (!done) dispatcher.processMessages();
  worker.join();
  EXPECT_EQ(ranOn, QThread::currentThread());
  EXPECT_EQ(caught, "refused");
  EXPECT_FALSE(otherRan);
  Pump();
  EXPECT_TRUE(otherRan);
}

TEST(QtPrompts, ABoxAskedForByAWorkerShowsOnTheUiThread) {
  EnsureApplication();
  gui::TQtDispatcher dispatcher;
  base::SetDispatcher(&dispatcher);
  gui::TQtPrompts prompts;
  std::string errorCaption, errorText, questionCaption, questionText;
  OnNextModal([&](QWidget* box) {
    auto* message = dynamic_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    errorCaption = message->windowTitle().toStdString();
    errorText = message->text().toStdString();
    EXPECT_EQ(message->icon(), QMessageBox::Critical);
    message->accept();
    OnNextModal([&](QWidget* box2) {
      auto* question = dynamic_cast<QMessageBox*>(box2);
      ASSERT_NE(question, nullptr);
      questionCaption = question->windowTitle().toStdString();
      questionText = question->text().toStdString();
      question->button(QMessageBox::Yes)->click();
    });
  });
  std::atomic<bool> done{false};
  bool answer = false;
  std::thread worker([&] {
    prompts.ShowError("Disk full");
    answer = prompts.AskYesNo("Go on?");
    done = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return done.load(); }));
  worker.join();
  base::SetDispatcher(nullptr);
  EXPECT_EQ(errorCaption, "Error");
  EXPECT_EQ(errorText, "Disk full");
  EXPECT_EQ(questionCaption, "Warning");
  EXPECT_EQ(questionText, "Go on?");
  EXPECT_TRUE(answer);
}

}  // namespace
}  // namespace vc::test
