#include "gui/FolderEdit.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace vc::gui {

TFolderEdit::TFolderEdit(QWidget* parent) : QWidget(parent), FEdit(new QLineEdit(this)), FButton(new QToolButton(this)) {
  FButton->setText(QStringLiteral("..."));
  FButton->setToolTip(QStringLiteral("Choose a folder"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FEdit, 1);
  layout->addWidget(FButton);
  setFocusProxy(FEdit);
  connect(FButton, &QToolButton::clicked, this, &TFolderEdit::choose);
}

QString TFolderEdit::Folder() const { return FEdit->text(); }

void TFolderEdit::SetFolder(const QString& folder) { FEdit->setText(folder); }

void TFolderEdit::choose() {
  QString start = FEdit->text().trimmed();
  if (start.isEmpty() || !QDir(start).exists()) start = FInitialFolder;
  const QString chosen = QFileDialog::getExistingDirectory(this, QStringLiteral("Select Folder"), start);
  if (!chosen.isEmpty()) FEdit->setText(QDir::toNativeSeparators(chosen));
}

}  // namespace vc::gui
