#include "tasks/SqliteDatabase.h"

#include <sqlite3.h>

#include "base/Format.h"

namespace vc::tasks {

TSqliteStatement::TSqliteStatement(sqlite3* db, const std::string& sql) : FDb(db) {
  const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &FStmt, nullptr);
  if (rc != SQLITE_OK) fail(rc);
}

TSqliteStatement::~TSqliteStatement() { sqlite3_finalize(FStmt); }

void TSqliteStatement::fail(int code) const {
  throw EDatabaseError(base::Format("%s (SQLite error %d)", sqlite3_errmsg(FDb), code), code);
}

void TSqliteStatement::BindText(int index, const std::string& value) {
  const int rc = sqlite3_bind_text(FStmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) fail(rc);
}

void TSqliteStatement::BindInt(int index, int64_t value) {
  const int rc = sqlite3_bind_int64(FStmt, index, value);
  if (rc != SQLITE_OK) fail(rc);
}

void TSqliteStatement::BindNull(int index) {
  const int rc = sqlite3_bind_null(FStmt, index);
  if (rc != SQLITE_OK) fail(rc);
}

bool TSqliteStatement::Step() {
  const int rc = sqlite3_step(FStmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  fail(rc);
}

void TSqliteStatement::Execute() {
  while (Step()) {
  }
}

int TSqliteStatement::ColumnCount() const { return sqlite3_column_count(FStmt); }

std::string TSqliteStatement::ColumnName(int column) const {
  const char* name = sqlite3_column_name(FStmt, column);
  return name ? name : "";
}

int TSqliteStatement::ColumnIndex(const std::string& name) const {
  for (int i = 0; i < ColumnCount(); ++i)
    if (base::SameText(ColumnName(i), name)) return i;
  return -1;
}

bool TSqliteStatement::IsNull(int column) const { return sqlite3_column_type(FStmt, column) == SQLITE_NULL; }

std::string TSqliteStatement::Text(int column) const {
  const auto* text = sqlite3_column_text(FStmt, column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<size_t>(sqlite3_column_bytes(FStmt, column)))
              : std::string();
}

int64_t TSqliteStatement::Int(int column) const { return sqlite3_column_int64(FStmt, column); }

TSqliteDatabase::TSqliteDatabase(const std::string& file) {
  const int rc = sqlite3_open_v2(file.c_str(), &FDb, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(FDb);
    FDb = nullptr;
    throw EDatabaseError("Can not open Database " + file, rc);
  }
  sqlite3_busy_timeout(FDb, 5000);
  // Opening is lazy in SQLite: read the schema now so a file that is no database fails here.
  const int check = sqlite3_exec(FDb, "select count(*) from sqlite_master", nullptr, nullptr, nullptr);
  if (check != SQLITE_OK) {
    sqlite3_close(FDb);
    FDb = nullptr;
    throw EDatabaseError("Can not open Database " + file, check);
  }
}

TSqliteDatabase::~TSqliteDatabase() { sqlite3_close(FDb); }

std::unique_ptr<TSqliteStatement> TSqliteDatabase::Prepare(const std::string& sql) {
  return std::make_unique<TSqliteStatement>(FDb, sql);
}

void TSqliteDatabase::Execute(const std::string& sql) { Prepare(sql)->Execute(); }

int64_t TSqliteDatabase::LastInsertRowId() const { return sqlite3_last_insert_rowid(FDb); }

// Immediate: the write lock is taken at the start, so a busy database fails before any change.
TSqliteTransaction::TSqliteTransaction(TSqliteDatabase& db) : FDb(db) { FDb.Execute("begin immediate"); }

TSqliteTransaction::~TSqliteTransaction() {
  if (!FDone) sqlite3_exec(FDb.Handle(), "rollback", nullptr, nullptr, nullptr);
}

void TSqliteTransaction::Commit() {
  FDb.Execute("commit");
  FDone = true;
}

}  // namespace vc::tasks
