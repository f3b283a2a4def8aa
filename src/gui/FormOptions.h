#pragma once
// TFormOptions: the options dialog over the configuration: output folder and alert on the
// "General" page, thread priority and thread count on the "Performance" page.
#include <QDialog>

class QTreeWidget;
class QStackedWidget;
class QCheckBox;
class QSlider;
class QComboBox;

namespace vc::gui {

class TFolderEdit;

class TFormOptions final : public QDialog {
 public:
  explicit TFormOptions(QWidget* parent = nullptr);
  // Shows the configuration's values.
  void LoadOptions();
  // Takes the shown values into the configuration (not saved).
  void StoreOptions();

  QTreeWidget* tvOptions;
  QStackedWidget* plOptions;
  QWidget* pgGeneral;
  QWidget* pgPerformance;
  TFolderEdit* edtOutputFolder;
  QCheckBox* chkAlert;
  QSlider* tbPriority;
  QComboBox* cbbThreadCnt;

 private:
  int FStoredThreadCount = 0;  // kept when the list cannot show it and the user leaves it
};

// Runs the dialog modally; on OK stores the values, saves the configuration (which applies the
// priority at once) and gives true.
bool ExecuteOptionsDialog(QWidget* parent);

}  // namespace vc::gui
