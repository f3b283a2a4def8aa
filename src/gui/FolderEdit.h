#pragma once
// A folder edit: the folder's path, typed or chosen with the platform's folder chooser.
#include <QString>
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace vc::gui {

class TFolderEdit final : public QWidget {
 public:
  explicit TFolderEdit(QWidget* parent = nullptr);
  QString Folder() const;
  void SetFolder(const QString& folder);
  // Where the chooser opens when the edit is empty.
  void SetInitialFolder(const QString& folder) { FInitialFolder = folder; }
  QLineEdit* Edit() const { return FEdit; }

 private:
  void choose();

  QLineEdit* FEdit;
  QToolButton* FButton;
  QString FInitialFolder;
};

}  // namespace vc::gui
