#include "gui/FormDelete.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/DialogPlacement.h"

namespace vc::gui {

TFormDelete::TFormDelete(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormDelete"));
  setWindowTitle(QStringLiteral("Confirm to delete"));
  lblText = new QLabel(QStringLiteral("Do you want to delete  the task drastically \nwhich you selected?"));
  lblText->setObjectName(QStringLiteral("lblText"));
  chkSource = new QCheckBox(QStringLiteral("Delete Source File"));
  chkSource->setObjectName(QStringLiteral("chkSource"));
  chkSource->setChecked(false);
  chkTarget = new QCheckBox(QStringLiteral("Delete Target File"));
  chkTarget->setObjectName(QStringLiteral("chkTarget"));
  chkTarget->setChecked(true);

  auto* buttons = new QDialogButtonBox;
  QPushButton* yes = buttons->addButton(QStringLiteral("Yes"), QDialogButtonBox::AcceptRole);
  yes->setObjectName(QStringLiteral("btnYes"));
  yes->setDefault(true);
  buttons->addButton(QStringLiteral("No"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btnNo"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblText);
  layout->addSpacing(6);
  layout->addWidget(chkSource);
  layout->addWidget(chkTarget);
  layout->addWidget(buttons);
  FixDialogBorder(*this);
}

bool ExecuteDeleteDialog(QWidget* parent, bool& deleteSource, bool& deleteTarget) {
  TFormDelete dialog(parent);
  CentreOnDesktop(dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  deleteSource = dialog.chkSource->isChecked();
  deleteTarget = dialog.chkTarget->isChecked();
  return true;
}

}  // namespace vc::gui
