#pragma once
// TdmGlobal: the shared non-visual parts of the desktop, made first and kept for the whole run:
// the task database, the profile list, the image lists, the actions of the category tree and the
// task list with their two context menus.
#include <QIcon>
#include <QObject>
#include <memory>
#include <vector>

#include "profiles/AVProfileList.h"
#include "tasks/TaskDatabase.h"

class QAction;
class QMenu;

namespace vc::tasks {
class TConvertedNode;
}

namespace vc::gui {

class TFormMain;

// Indices of the toolbar's image list.
enum TToolbarImage { tiNewConversion = 0, tiStartTask = 1, tiPauseTask = 2, tiStopTask = 3, tiHome = 5, tiPlayer = 12 };

class TdmGlobal final : public QObject {
 public:
  // Opens the task database (raising its errors: missing, not openable, without the
  // conversions table) and loads the user profiles when their file exists.
  TdmGlobal();
  ~TdmGlobal() override;
  TdmGlobal(const TdmGlobal&) = delete;
  TdmGlobal& operator=(const TdmGlobal&) = delete;

  tasks::TTaskDatabase& Database() { return *dbConfig; }
  profiles::TAVProfileList& ProfileList() { return profileList; }
  void LoadProfiles();
  void SaveProfiles();

  // The image lists: 16x16 tree images (queue 0, category 1), 16x16 status images (running 0,
  // paused 1, error 2, finished 3), 48x48 toolbar images (TToolbarImage), the 32x32 alert picture.
  static QIcon ExplorerImage(int index);
  static QIcon ListImage(int index);
  static QIcon ToolbarImage(int index);
  static QPixmap AlertImage();
  static QIcon ProgramIcon();

  // The main window whose tree and task list the actions work on; set once it exists.
  void SetMainWindow(TFormMain* form) { FForm = form; }
  // The category focused in the main window's tree; null when the focused entry is none.
  tasks::TConvertedNode* GetConvertedNode() const;
  // Evaluates the enable rules of the actions below.
  void UpdateActions();

  QAction* actDelTask = nullptr;
  QAction* actOpenSource = nullptr;
  QAction* actOpenConverted = nullptr;
  QAction* actExploreFile = nullptr;
  QAction* actOpenFolder = nullptr;
  QAction* actNewCategory = nullptr;
  QAction* actDelCategory = nullptr;
  QAction* actCategoryProp = nullptr;
  QMenu* pmConverted = nullptr;  // the category menu
  QMenu* pmTask = nullptr;       // the task list menu

 private:
  void createActions();
  void actDelTaskExecute();
  void actOpenSourceExecute();
  void actOpenConvertedExecute();
  void actExploreFileExecute();
  void actOpenFolderExecute();
  void actNewCategoryExecute();
  void actDelCategoryExecute();
  void actCategoryPropExecute();

  std::unique_ptr<tasks::TTaskDatabase> dbConfig;
  profiles::TAVProfileList profileList;
  std::unique_ptr<QMenu> FConvertedMenu;
  std::unique_ptr<QMenu> FTaskMenu;
  TFormMain* FForm = nullptr;
};

}  // namespace vc::gui
