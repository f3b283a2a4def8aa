#pragma once
// TVirtualTreeEdit: a drop-down for choosing a category. Its text cannot be typed; the drop-down
// (TPopVirtualTree) holds a category tree without the queue entry and without menus, 120 high and
// as wide as the edit. Choosing a row sets CategoryId, CategoryPath and the text.
#include <QComboBox>
#include <QFrame>
#include <functional>
#include <memory>
#include <string>

namespace vc::gui {

class TFrameExplorer;
class TNullTaskList;

class TPopVirtualTree final : public QFrame {
 public:
  explicit TPopVirtualTree(QWidget* parent = nullptr);
  ~TPopVirtualTree() override;
  static constexpr int PopupHeight = 120;
  TFrameExplorer* FrameExplorer() const { return FExplorer; }
  // Enter or a selection change on the tree.
  std::function<void()> OnAccept;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<TNullTaskList> FList;  // the picker lists no tasks
  TFrameExplorer* FExplorer;
};

class TVirtualTreeEdit final : public QComboBox {
 public:
  explicit TVirtualTreeEdit(QWidget* parent = nullptr);
  ~TVirtualTreeEdit() override;

  int CategoryId() const { return FCategoryId; }
  void SetCategoryId(int id) { FCategoryId = id; }
  const std::string& CategoryPath() const { return FCategoryPath; }
  void SetCategoryPath(const std::string& path) { FCategoryPath = path; }
  TPopVirtualTree* Popup() const { return FPopup; }

  // The edit's change event: a category was chosen.
  std::function<void()> OnChange;

  void showPopup() override;
  void hidePopup() override;

 private:
  void accept();

  TPopVirtualTree* FPopup;
  int FCategoryId = 0;  // 0 = no value yet
  std::string FCategoryPath;
};

}  // namespace vc::gui
