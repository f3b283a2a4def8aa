#pragma once
// TFormCategory: the name and folder of a new category ("New Category") or of an existing one
// ("Category Properties"). "Ok" is enabled only while both, trimmed, are not empty.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace vc::gui {

class TFolderEdit;

class TFormCategory final : public QDialog {
 public:
  TFormCategory(bool newCategory, QWidget* parent = nullptr);
  QString TrimmedName() const;
  QString TrimmedFolder() const;

  QLineEdit* edtName;
  TFolderEdit* edtPath;
  QPushButton* btnOk;

 private:
  void updateOk();
};

// Runs the dialog modally, filled with name and folder unless a new category is meant; on OK gives
// back the trimmed name and folder and true.
bool ExecuteCategoryDialog(QWidget* parent, std::string& name, std::string& folder, bool newCategory);

}  // namespace vc::gui
