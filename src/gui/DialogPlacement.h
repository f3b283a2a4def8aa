#pragma once
// The small dialogs have a fixed border and open centred on the desktop.
class QDialog;

namespace vc::gui {

void FixDialogBorder(QDialog& dialog);
void CentreOnDesktop(QDialog& dialog);

}  // namespace vc::gui
