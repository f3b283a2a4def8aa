// The options dialog round-trips the configuration; the About dialog shows the build's version.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "gui/FolderEdit.h"
#include "gui/FormAbout.h"
#include "gui/FormOptions.h"
#include "tasks/AVConfiguration.h"

namespace vc::test {
namespace {

struct TShownOptions {
  std::string Caption;
  std::string Page;
  std::string Entry;
  std::string ThreadText;
  int ThreadItems = 0;
  std::string FirstItem;
  int Priority = -1;
  std::string Folder;
  bool Alert = false;
};

// Opens the options dialog, records what it shows, lets change act on it and presses button.
TShownOptions runOptions(const std::function<void(gui::TFormOptions&)>& change, const char* button, bool& result) {
  TShownOptions shown;
  OnNextModal([&](QWidget* dialog) {
    auto& form = dynamic_cast<gui::TFormOptions&>(*dialog);
    shown.Caption = form.windowTitle().toStdString();
    shown.Page = form.plOptions->currentWidget()->objectName().toStdString();
    shown.Entry = form.tvOptions->currentItem()->text(0).toStdString();
    shown.ThreadText = form.cbbThreadCnt->currentText().toStdString();
    shown.ThreadItems = form.cbbThreadCnt->count();
    shown.FirstItem = form.cbbThreadCnt->itemText(0).toStdString();
    shown.Priority = form.tbPriority->value();
    shown.Folder = form.edtOutputFolder->Folder().toStdString();
    shown.Alert = form.chkAlert->isChecked();
    if (change) change(form);
    for (QPushButton* b : form.findChildren<QPushButton*>())
      if (b->text() == button) b->click();
  });
  result = gui::ExecuteOptionsDialog(nullptr);
  return shown;
}

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& config = tasks::Configuration();
    config.PerformanceOptions.ThreadCount = 4;
    config.PerformanceOptions.ThreadPrority = 3;
    config.OutputFolder = "/data/out";
    config.ShowAlert = false;
  }
  TGuiEnvironment Env;
};

TEST_F(OptionsDialog, ShowsTheConfigurationAndSavesItUnchanged) {
  bool confirmed = false;
  const TShownOptions shown = runOptions(nullptr, "Ok", confirmed);
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(shown.Caption, "Options");
  EXPECT_EQ(shown.Page, "pgGeneral");
  EXPECT_EQ(shown.Entry, "General");
  EXPECT_EQ(shown.ThreadText, "4");
  EXPECT_EQ(shown.ThreadItems, 33);
  EXPECT_EQ(shown.FirstItem, "Automatic(use all CPU(s))");
  EXPECT_EQ(shown.Priority, 3);
  EXPECT_EQ(shown.Folder, "/data/out");
  EXPECT_FALSE(shown.Alert);
  tasks::TAVConfiguration stored;
  stored.LoadFromFile(tasks::TAVConfiguration::GetConfigFile());
  EXPECT_EQ(stored.PerformanceOptions.ThreadCount, 4);
  EXPECT_EQ(stored.PerformanceOptions.ThreadPrority, 3);
  EXPECT_EQ(stored.OutputFolder, "/data/out");
  EXPECT_FALSE(stored.ShowAlert);
  // Saving applies the priority at once.
  EXPECT_EQ(Env.Actions.Calls, std::vector<std::string>{"SetProcessPriority 3"});
}

TEST_F(OptionsDialog, StoresWhatTheUserChose) {
  bool confirmed = false;
  runOptions(
      [](gui::TFormOptions& form) {
        form.cbbThreadCnt->setCurrentIndex(0);
        form.tbPriority->setValue(5);
        form.edtOutputFolder->SetFolder("/data/new");
        form.chkAlert->setChecked(true);
      },
      "Ok", confirmed);
  EXPECT_TRUE(confirmed);
  const auto& config = tasks::Configuration();
  EXPECT_EQ(config.PerformanceOptions.ThreadCount, 0);
  EXPECT_EQ(config.PerformanceOptions.ThreadPrority, 5);
  EXPECT_EQ(config.OutputFolder, "/data/new");
  EXPECT_TRUE(config.ShowAlert);
  EXPECT_EQ(Env.Actions.Calls, std::vector<std::string>{"SetProcessPriority 5"});
}

TEST_F(OptionsDialog, CancelChangesNothing) {
  bool confirmed = true;
  runOptions([](gui::TFormOptions& form) { form.tbPriority->setValue(0); }, "Cancel", confirmed);
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(tasks::Configuration().PerformanceOptions.ThreadPrority, 3);
  EXPECT_TRUE(Env.Actions.Calls.empty());
}

TEST_F(OptionsDialog, AThreadCountTheListCannotShowSurvivesUntilTheUserChoosesAnother) {
  tasks::Configuration().PerformanceOptions.ThreadCount = 64;
  bool confirmed = false;
  const TShownOptions shown = runOptions(nullptr, "Ok", confirmed);
  EXPECT_EQ(shown.ThreadText, "Automatic(use all CPU(s))");
  EXPECT_EQ(tasks::Configuration().PerformanceOptions.ThreadCount, 64);
  runOptions([](gui::TFormOptions& form) { form.cbbThreadCnt->setCurrentIndex(8); }, "Ok", confirmed);
  EXPECT_EQ(tasks::Configuration().PerformanceOptions.ThreadCount, 8);
}

TEST(AboutDialog, ShowsTheBuildsFileVersionAndTheHomePage) {
  EnsureApplication();
  gui::TFormAbout dialog;
  EXPECT_EQ(dialog.windowTitle(), "About...");
  EXPECT_EQ(dialog.lblVersion->text().toStdString(), std::string("Velocast Version ") + VELOCAST_VERSION);
  EXPECT_TRUE(dialog.lblUrl->text().contains("href="));
}

}  // namespace
}  // namespace vc::test
