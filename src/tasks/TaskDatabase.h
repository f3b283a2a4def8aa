#pragma once
// The task database "av.cfg" in the application-data folder, opened once per process. The desktop's
// data module and the terminal program create one TTaskDatabase; TPersistentManager runs its
// statements on it. The file is never created here: the install step makes it from data/av.sql.
// It must outlive the task tree and every task, whose handlers write to it until they are gone.
#include <string>

#include "tasks/SqliteDatabase.h"

namespace vc::tasks {

class TTaskDatabase final {
 public:
  // Opens DefaultFile(); see the file constructor.
  TTaskDatabase();
  // Opens file and makes it the process's task database while this object lives. Raises
  // EDatabaseError "Database %s does not exist" when there is no file, and "Can not open
  // Database %s" when SQLite cannot open it as a database.
  explicit TTaskDatabase(const std::string& file);
  ~TTaskDatabase();
  TTaskDatabase(const TTaskDatabase&) = delete;
  TTaskDatabase& operator=(const TTaskDatabase&) = delete;

  const std::string& File() const { return FFile; }
  TSqliteDatabase& Connection() { return FConnection; }

  // The application-data folder with "av.cfg" appended.
  static std::string DefaultFile();
  // How the missing file is made, for the messages of the programs.
  static std::string CreateHint();

 private:
  std::string FFile;
  TSqliteDatabase FConnection;
};

// The open task database; a broken invariant when none is open.
TTaskDatabase& TaskDatabase();
// Whether a task database is open in this process.
bool TaskDatabaseOpen();

}  // namespace vc::tasks
