#pragma once
// TFormAbout: the program's name and version ("FileVersion" of the build) and its home page.
#include <QDialog>

class QLabel;

namespace vc::gui {

class TFormAbout final : public QDialog {
 public:
  explicit TFormAbout(QWidget* parent = nullptr);
  QLabel* lblVersion;
  QLabel* lblUrl;
};

void ExecuteAboutDialog(QWidget* parent);

}  // namespace vc::gui
