// velocast-screenshots: shows the desktop's windows in the states a user meets them and saves a
// PNG of each, for looking at the layout on a display without a desktop (scripts/screenshots.sh
// runs it under Xvfb). It works in a private configuration folder with its own task database and
// converts a clip it makes with the ffmpeg program.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "gui/AVDesktopAlert.h"
#include "gui/CategoryTreeModel.h"
#include "gui/Desktop.h"
#include "gui/FormAbout.h"
#include "gui/FormCategory.h"
#include "gui/FormDelete.h"
#include "gui/FormMain.h"
#include "gui/FormOptions.h"
#include "gui/FrameExplorer.h"
#include "gui/FrameList.h"
#include "gui/QtPrompts.h"
#include "gui/TaskListModel.h"
#include "tasks/AVConfiguration.h"
#include "tasks/ConversionSettings.h"
#include "tasks/ConvertingNode.h"
#include "tasks/ConvertingTask.h"
#include "tasks/TaskDatabase.h"

namespace {

using namespace vc;

void pump(int milliseconds = 50) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

bool pumpUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    pump(10);
  }
  return true;
}

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

class TShots {
 public:
  explicit TShots(QString folder) : FFolder(std::move(folder)) { QDir().mkpath(FFolder); }
  void Screen(const char* name) { save(name, QGuiApplication::primaryScreen()->grabWindow(0)); }
  void Window(const char* name, QWidget& window) {
    window.show();
    window.raise();
    pump(150);
    save(name, window.grab());
  }

 private:
  void save(const char* name, const QPixmap& picture) {
    const QString file = FFolder + "/" + name + ".png";
    if (picture.save(file))
      std::printf("%s\n", qPrintable(file));
    else
      std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
  }
  QString FFolder;
};

std::unique_ptr<tasks::TConversionSettings> clipSettings(const std::string& source, const std::string& target) {
  auto settings = std::make_unique<tasks::TConversionSettings>();
  settings->SourceFile = source;
  settings->TargetFile = target;
  settings->Profile = "AVI MPEG-4";
  settings->ConvertOptions.OutputFormat = "avi";
  settings->ConvertOptions.VideoOptions.EncoderVideoCodecName = "mpeg4";
  settings->ConvertOptions.AudioOptions.EncoderAudioCodecName = "mp2";
  return settings;
}

void selectEntry(gui::TFormMain& form, const tasks::TNodeObject* node) {
  QTreeView& view = *form.FrameExplorer()->vstExplorer;
  auto* model = static_cast<gui::TCategoryTreeModel*>(view.model());
  view.selectionModel()->setCurrentIndex(model->IndexOf(node), QItemSelectionModel::ClearAndSelect);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: velocast-screenshots OUTPUT-FOLDER SOURCE-FOLDER\n");
    return 2;
  }
  const QString output = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  const std::string sourceFolder = argv[2];
  char work[] = "/tmp/velocast-shots-XXXXXX";
  if (!mkdtemp(work)) return 1;
  const std::string root = work;
  setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
  const std::string files = root + "/files";
  std::filesystem::create_directories(files);
  const std::string database = tasks::TTaskDatabase::DefaultFile();
  std::filesystem::create_directories(std::filesystem::path(database).parent_path());
  const std::string clip = files + "/holiday.mkv";
  if (!run("sqlite3 '" + database + "' < '" + sourceFolder + "/data/av.sql'") ||
      !run("sqlite3 '" + database + "' \"insert into Categories(Category, Path, Parent) values('Films', '" + files +
           "/films', 1), ('Phone', '" + files + "/phone', 1)\"") ||
      !run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
           "sine=frequency=440 -t 20 -c:v mpeg4 -c:a mp2 '" + clip + "'")) {
    std::fprintf(stderr, "could not prepare the database or the clip\n");
    return 1;
  }

  tasks::Configuration().Load();
  QApplication application(argc, argv);
  QApplication::setApplicationName("Velocast");
  gui::TQtPrompts prompts;
  base::SetPrompts(&prompts);
  TShots shots(output);
  {
    gui::TDesktop desktop;
    gui::TFormMain& form = desktop.FormMain();
    form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    pump(300);

    // One conversion finished into the history, one paused in the queue.
    tasks::TConvertingNode& queue = *form.ConvertingNode();
    queue.NewConversion(clipSettings(clip, files + "/holiday-short.avi"));
    pumpUntil([&] { return queue.Tasks().empty(); });
    tasks::TConvertingTask& paused = queue.NewConversion(clipSettings(clip, files + "/holiday.avi"));
    paused.Pause();  // before its worker's first report reaches this thread
    pump(200);
    auto& list = *form.FrameList();
    list.vstTaskList->selectionModel()->setCurrentIndex(list.Model().index(list.Model().RowOf(&paused), 0),
                                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    form.UpdateActions();
    pump(300);
    shots.Screen("main-queue-alert");
    for (auto* alert : gui::TAVDesktopAlert::Shown()) shots.Window("alert", *alert);
    selectEntry(form, form.FrameExplorer()->Tree().RootCategory());
    form.UpdateActions();
    pump(200);
    shots.Window("main-history", form);

    gui::TFormOptions options;
    options.LoadOptions();
    shots.Window("options-general", options);
    options.tvOptions->setCurrentItem(options.tvOptions->topLevelItem(1));
    shots.Window("options-performance", options);
    options.hide();
    gui::TFormCategory category(false);
    category.edtName->setText("Films");
    shots.Window("category", category);
    category.hide();
    gui::TFormDelete confirm;
    shots.Window("delete", confirm);
    confirm.hide();
    gui::TFormAbout about;
    shots.Window("about", about);
    about.hide();
    paused.Stop();
    pumpUntil([&] { return queue.Tasks().empty(); });
  }
  base::SetPrompts(nullptr);
  std::filesystem::remove_all(root);
  return 0;
}
