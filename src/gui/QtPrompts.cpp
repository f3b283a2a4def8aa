#include "gui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "base/Dispatcher.h"

namespace vc::gui {

namespace {

// The active window, so the box is modal to it and centred on it.
QWidget* boxParent() { return QApplication::activeWindow(); }

}  // namespace

void TQtPrompts::ShowError(const std::string& text) {
  base::Dispatcher().invokeSync(
      [&] { QMessageBox::critical(boxParent(), QStringLiteral("Error"), QString::fromStdString(text)); });
}

bool TQtPrompts::AskYesNo(const std::string& text) {
  bool yes = false;
  base::Dispatcher().invokeSync([&] {
    yes = QMessageBox::warning(boxParent(), QStringLiteral("Warning"), QString::fromStdString(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
  });
  return yes;
}

}  // namespace vc::gui
