// The completion alerts of real conversions: one per completed file, at the corner of the
// available area, with their texts, buttons and clicks.
#include <QGuiApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <filesystem>
#include <set>

#include "DesktopFixture.h"
#include "gui/AVDesktopAlert.h"
#include "tasks/AVConfiguration.h"

namespace vc::test {
namespace {

using gui::TAVDesktopAlert;

TAVDesktopAlert* alertFor(const std::string& file) {
  for (TAVDesktopAlert* alert : TAVDesktopAlert::Shown())
    if (alert->TargetFile() == file) return alert;
  return nullptr;
}

TEST_F(DesktopTest, TwoCompletionsShowTwoAlertsEachNamingItsFile) {
  Start();
  Admit("one.avi");
  Admit("two.avi");
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  ASSERT_EQ(TAVDesktopAlert::Shown().size(), 2u);
  TAVDesktopAlert* one = alertFor(Env.File("one.avi"));
  TAVDesktopAlert* two = alertFor(Env.File("two.avi"));
  ASSERT_TRUE(one && two);

  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  for (TAVDesktopAlert* alert : {one, two}) {
    EXPECT_TRUE(alert->isVisible());
    EXPECT_TRUE(alert->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(alert->size(), QSize(270, 150));
    EXPECT_EQ(alert->geometry().right(), area.right());
    EXPECT_EQ(alert->lblHeader->text(), "Task Completed");
    EXPECT_EQ(alert->lblMessage->text().toStdString(), alert->TargetFile() + " was generated.");
    EXPECT_EQ(alert->btnFolder->text(), "Folder");
    EXPECT_EQ(alert->btnFolder->geometry(), QRect(105, alert->btnFolder->y(), 60, 23));
    EXPECT_EQ(alert->btnClose->text(), "Close");
    EXPECT_EQ(alert->btnClose->geometry(), QRect(195, alert->btnFolder->y(), 60, 23));
  }
  // The first sits in the corner; the second does not hide it.
  EXPECT_EQ(TAVDesktopAlert::Shown().front()->geometry().bottom(), area.bottom());
  EXPECT_FALSE(one->geometry().intersects(two->geometry()));

  one->btnFolder->click();
  EXPECT_EQ(Env.Actions.Calls.back(), "ShowFile " + Env.File("one.avi"));

  // Dragged by any point; a press and release on the message without moving is a click on it.
  auto mouse = [](QWidget* window, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(window->mapToGlobal(local)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
  };
  const QPoint before = one->pos();
  mouse(one, QEvent::MouseButtonPress, {20, 120}, Qt::LeftButton);
  mouse(one, QEvent::MouseMove, {20 - 100, 120 - 40}, Qt::LeftButton);
  mouse(one, QEvent::MouseButtonRelease, {20 - 100, 120 - 40}, Qt::NoButton);
  EXPECT_EQ(one->pos(), before - QPoint(100, 40));
  const size_t calls = Env.Actions.Calls.size();
  const QPoint message = one->lblMessage->geometry().center();
  mouse(one, QEvent::MouseButtonPress, message, Qt::LeftButton);
  mouse(one, QEvent::MouseButtonRelease, message, Qt::NoButton);
  ASSERT_EQ(Env.Actions.Calls.size(), calls + 1);
  EXPECT_EQ(Env.Actions.Calls.back(), "ShowFile " + Env.File("one.avi"));
  std::filesystem::remove(Env.File("two.avi"));
  two->btnFolder->click();
  EXPECT_EQ(Env.Prompts.Errors, std::vector<std::string>{Env.File("two.avi") + " does not exists."});
  EXPECT_TRUE(two->isVisible()) << "the alert stays";

  two->btnClose->click();
  ASSERT_TRUE(PumpUntil([&] { return TAVDesktopAlert::Shown().size() == 1; }));
  EXPECT_EQ(TAVDesktopAlert::Shown().front(), one);
}

TEST_F(DesktopTest, WithoutShowAlertAConversionIsFiledSilently) {
  tasks::Configuration().ShowAlert = false;
  Start();
  Admit("quiet.avi");
  ASSERT_TRUE(PumpUntil([&] { return QueueEmpty(); }));
  EXPECT_TRUE(TAVDesktopAlert::Shown().empty());
  EXPECT_EQ(Env.Query("select Converting from Conversions"), "0\n");
}

}  // namespace
}  // namespace vc::test
