#include "gui/FormCategory.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/AppPaths.h"
#include "gui/DialogPlacement.h"
#include "gui/FolderEdit.h"

namespace vc::gui {

TFormCategory::TFormCategory(bool newCategory, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FormCategory"));
  setWindowTitle(newCategory ? QStringLiteral("New Category") : QStringLiteral("Category Properties"));
  edtName = new QLineEdit;
  edtName->setObjectName(QStringLiteral("edtName"));
  edtPath = new TFolderEdit;
  edtPath->setObjectName(QStringLiteral("edtPath"));
  edtPath->setMinimumWidth(300);
  // The default output folder is where categories' folders usually live.
  edtPath->SetInitialFolder(QString::fromStdString(base::HomeFolder() + "/Conversion"));

  auto* buttons = new QDialogButtonBox;
  btnOk = buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("Name:"), edtName);
  fields->addRow(QStringLiteral("Path:"), edtPath);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
  FixDialogBorder(*this);

  connect(edtName, &QLineEdit::textChanged, this, &TFormCategory::updateOk);
  connect(edtPath->Edit(), &QLineEdit::textChanged, this, &TFormCategory::updateOk);
  updateOk();
}

QString TFormCategory::TrimmedName() const { return edtName->text().trimmed(); }

QString TFormCategory::TrimmedFolder() const { return edtPath->Folder().trimmed(); }

void TFormCategory::updateOk() { btnOk->setEnabled(!TrimmedName().isEmpty() && !TrimmedFolder().isEmpty()); }

bool ExecuteCategoryDialog(QWidget* parent, std::string& name, std::string& folder, bool newCategory) {
  TFormCategory dialog(newCategory, parent);
  if (!newCategory) {
    dialog.edtName->setText(QString::fromStdString(name));
    dialog.edtPath->SetFolder(QString::fromStdString(folder));
  }
  CentreOnDesktop(dialog);
  // Enter accepts through the default button, which stays disabled while a field is blank.
  if (dialog.exec() != QDialog::Accepted || !dialog.btnOk->isEnabled()) return false;
  name = dialog.TrimmedName().toStdString();
  folder = dialog.TrimmedFolder().toStdString();
  return true;
}

}  // namespace vc::gui
