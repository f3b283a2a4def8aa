#pragma once
// TAVDesktopAlert: the completion alert, a borderless window at the bottom-right corner of the
// desktop's available area that fades in, stays 40 seconds and fades out. It names the file a
// conversion generated; clicking that text or "Folder" shows the file, "Close" closes it. It can
// be dragged anywhere by any point, and frees itself once closed.
#include <QPixmap>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <string>

#include "tasks/CompletionAlerts.h"

class QLabel;
class QPushButton;
class QPropertyAnimation;

namespace vc::gui {

class TAVDesktopAlert final : public QWidget {
 public:
  TAVDesktopAlert(const QPixmap& image, const std::string& targetFile);
  ~TAVDesktopAlert() override;

  const std::string& TargetFile() const { return FTargetFile; }
  // Shows the alert at position (its top-left corner) and starts its time.
  void Execute(const QPoint& position);
  // The alerts shown at this moment, oldest first.
  static const std::vector<TAVDesktopAlert*>& Shown();
  // The top-left corner of an alert at the bottom-right of the available area, raised by the
  // alerts already there so that none hides another.
  static QPoint NextPosition();

  QLabel* lblHeader;
  QLabel* lblMessage;
  QPushButton* btnFolder;
  QPushButton* btnClose;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void fadeOut();
  void folderClick();

  std::string FTargetFile;
  QTimer FDisplayTimer;
  QPropertyAnimation* FFade = nullptr;
  QPoint FPressOffset;      // where the button went down, relative to the window
  QPoint FPressGlobal;
  bool FPressed = false;
  bool FDragged = false;
  bool FPressOnMessage = false;
};

// The desktop's completion alerts: one alert window per completed file.
class TDesktopAlerts final : public tasks::ICompletionAlerts {
 public:
  void Show(const std::string& targetFile) override;
};

}  // namespace vc::gui
