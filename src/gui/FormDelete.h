#pragma once
// TFormDelete: confirms the deletion of the selected tasks and asks which of their files go too.
#include <QDialog>

class QCheckBox;
class QLabel;

namespace vc::gui {

class TFormDelete final : public QDialog {
 public:
  explicit TFormDelete(QWidget* parent = nullptr);
  QLabel* lblText;
  QCheckBox* chkSource;
  QCheckBox* chkTarget;
};

// Runs the dialog modally; true when confirmed, with its two answers.
bool ExecuteDeleteDialog(QWidget* parent, bool& deleteSource, bool& deleteTarget);

}  // namespace vc::gui
