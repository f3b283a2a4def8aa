#include "gui/DialogPlacement.h"

#include <QDialog>
#include <QLayout>
#include <QScreen>

namespace vc::gui {

void FixDialogBorder(QDialog& dialog) {
  if (dialog.layout()) dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
  dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  dialog.setSizeGripEnabled(false);
}

void CentreOnDesktop(QDialog& dialog) {
  dialog.adjustSize();
  const QScreen* screen = dialog.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  dialog.move(area.center() - QPoint(dialog.width() / 2, dialog.height() / 2));
}

}  // namespace vc::gui
