#include "tasks/TaskDatabase.h"

#include <sqlite3.h>

#include <atomic>
#include <filesystem>

#include "base/AppPaths.h"
#include "base/Errors.h"

namespace vc::tasks {

namespace {

std::atomic<TTaskDatabase*> openDatabase{nullptr};

// Checked before SQLite sees the path: opening a missing file would create it.
const std::string& existingFile(const std::string& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) throw EDatabaseError("Database " + file + " does not exist", SQLITE_CANTOPEN);
  return file;
}

}  // namespace

TTaskDatabase::TTaskDatabase() : TTaskDatabase(DefaultFile()) {}

TTaskDatabase::TTaskDatabase(const std::string& file) : FFile(file), FConnection(existingFile(file)) {
  TTaskDatabase* expected = nullptr;
  VC_ASSERT(openDatabase.compare_exchange_strong(expected, this));
}

TTaskDatabase::~TTaskDatabase() { openDatabase.store(nullptr); }

std::string TTaskDatabase::DefaultFile() {
  std::string folder = base::AppDataFolder();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + "av.cfg";
}

std::string TTaskDatabase::CreateHint() {
  return "Run scripts/create-database.sh (or cmake --install) to create it from data/av.sql.";
}

TTaskDatabase& TaskDatabase() {
  TTaskDatabase* db = openDatabase.load();
  VC_ASSERT(db != nullptr);
  return *db;
}

bool TaskDatabaseOpen() { return openDatabase.load() != nullptr; }

}  // namespace vc::tasks
