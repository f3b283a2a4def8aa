#include "GuiTestSupport.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <stdexcept>

#include "base/Format.h"
#include "gui/AVDesktopAlert.h"
#include "tasks/AVConfiguration.h"
#include "tasks/TaskDatabase.h"

namespace vc::test {

namespace {

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

namespace {

// The offscreen platform cannot fade windows; its notice about that says nothing about the code.
QtMessageHandler previousHandler = nullptr;

// The answers armed and not yet given.
std::vector<QTimer*>& pendingAnswers() {
  static std::vector<QTimer*> timers;
  return timers;
}

void filterPlatformNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QLatin1String("This plugin does not support"))) return;
  if (previousHandler) previousHandler(type, context, message);
}

}  // namespace

void EnsureApplication() {
  static const bool filtered = [] {
    previousHandler = qInstallMessageHandler(filterPlatformNotices);
    return true;
  }();
  (void)filtered;
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* application = qApp ? nullptr : new QApplication(argc, argv);
  (void)application;
}

TGuiEnvironment::TGuiEnvironment() : FDatabase(tasks::TTaskDatabase::DefaultFile()) {
  EnsureApplication();
  std::filesystem::create_directories(std::filesystem::path(FDatabase).parent_path());
  if (RunCommand("sqlite3 " + shellQuoted(FDatabase) + " < " + shellQuoted(VELOCAST_SOURCE_DIR "/data/av.sql")) != 0)
    throw std::runtime_error("sqlite3 could not make " + FDatabase);
  tasks::Configuration().Assign(tasks::TAVConfiguration());
}

TGuiEnvironment::~TGuiEnvironment() {
  // An answer still armed is a dialog the test expected and that never showed.
  for (QTimer* timer : pendingAnswers()) {
    ADD_FAILURE() << "an expected dialog did not show";
    delete timer;
  }
  pendingAnswers().clear();
  CloseAlerts();
  tasks::Configuration().Assign(tasks::TAVConfiguration());
}

std::string TGuiEnvironment::Query(const std::string& sql) const {
  std::string out;
  if (RunCommand("sqlite3 -nullvalue NULL " + shellQuoted(FDatabase) + " " + shellQuoted(sql), &out) != 0)
    throw std::runtime_error("sqlite3 failed on: " + sql);
  return out;
}

const std::string& GuiClip() {
  static const std::string clip = [] {
    const std::filesystem::path folder = std::filesystem::path(VELOCAST_FIXTURE_DIR) / "gui";
    const std::filesystem::path file = folder / "clip.mkv";
    if (!std::filesystem::exists(file)) {
      std::filesystem::create_directories(folder);
      // Made under a private name and renamed, as test processes run side by side.
      const std::string partial = file.string() + base::Format(".%d.mkv", static_cast<int>(getpid()));
      const std::string command =
          "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=25 "
          "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -c:v mpeg4 -c:a mp2 " +
          shellQuoted(partial);
      if (RunCommand(command) != 0) throw std::runtime_error("ffmpeg could not make the clip");
      std::filesystem::rename(partial, file);
    }
    return file.string();
  }();
  return clip;
}

std::unique_ptr<tasks::TConversionSettings> ClipSettings(const std::string& source, const std::string& target,
                                                         int categoryId) {
  auto settings = std::make_unique<tasks::TConversionSettings>();
  settings->SourceFile = source;
  settings->TargetFile = target;
  settings->Profile = "AVI MPEG-4";
  settings->CategoryId = categoryId;
  settings->ConvertOptions.OutputFormat = "avi";
  settings->ConvertOptions.VideoOptions.EncoderVideoCodecName = "mpeg4";
  settings->ConvertOptions.AudioOptions.EncoderAudioCodecName = "mp2";
  return settings;
}

double ProbeDuration(const std::string& file) {
  std::string out;
  if (RunCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 " + shellQuoted(file), &out) != 0)
    return -1;
  try {
    return std::stod(out);
  } catch (...) {
    return -1;
  }
}

void Pump() {
  QEventLoop loop;
  QTimer::singleShot(5, &loop, &QEventLoop::quit);
  loop.exec();
  // Windows closed by the test's own calls (outside any event loop) are freed here.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool PumpUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    Pump();
  }
  return true;
}

void OnNextModal(std::function<void(QWidget* dialog)> act) {
  auto* timer = new QTimer;
  pendingAnswers().push_back(timer);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    std::erase(pendingAnswers(), timer);
    act(modal);
  });
  timer->start();
}

void CloseAlerts() {
  const auto shown = gui::TAVDesktopAlert::Shown();
  for (gui::TAVDesktopAlert* alert : shown) delete alert;
}

}  // namespace vc::test
