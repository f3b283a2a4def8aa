#pragma once
// A thin RAII layer over the SQLite C API: one connection, prepared statements that finalise
// themselves, and errors that carry SQLite's message and code.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/Errors.h"

struct sqlite3;
struct sqlite3_stmt;

namespace vc::tasks {

class EDatabaseError final : public base::EVelocastError {
 public:
  EDatabaseError(const std::string& message, int code) : EVelocastError(message), Code(code) {}
  int Code;  // SQLite result code
};

class TSqliteStatement final {
 public:
  TSqliteStatement(sqlite3* db, const std::string& sql);
  ~TSqliteStatement();
  TSqliteStatement(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(const TSqliteStatement&) = delete;

  // Parameters are numbered from 1 in statement order.
  void BindText(int index, const std::string& value);
  void BindInt(int index, int64_t value);
  void BindNull(int index);

  // Advances to the next row: true when a row is there, false when the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Execute();

  int ColumnCount() const;
  std::string ColumnName(int column) const;
  int ColumnIndex(const std::string& name) const;  // -1 when absent (case-insensitive)
  bool IsNull(int column) const;
  std::string Text(int column) const;
  int64_t Int(int column) const;

 private:
  [[noreturn]] void fail(int code) const;
  sqlite3* FDb;
  sqlite3_stmt* FStmt = nullptr;
};

class TSqliteDatabase final {
 public:
  // Opens an existing database file; never creates one. The busy timeout lets the desktop and
  // the terminal program share the file.
  explicit TSqliteDatabase(const std::string& file);
  ~TSqliteDatabase();
  TSqliteDatabase(const TSqliteDatabase&) = delete;
  TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

  std::unique_ptr<TSqliteStatement> Prepare(const std::string& sql);
  void Execute(const std::string& sql);
  int64_t LastInsertRowId() const;
  sqlite3* Handle() const { return FDb; }

 private:
  sqlite3* FDb = nullptr;
};

// Statements between construction and Commit take effect together or not at all: leaving the
// scope without Commit rolls them back.
class TSqliteTransaction final {
 public:
  explicit TSqliteTransaction(TSqliteDatabase& db);
  ~TSqliteTransaction();
  TSqliteTransaction(const TSqliteTransaction&) = delete;
  TSqliteTransaction& operator=(const TSqliteTransaction&) = delete;
  void Commit();

 private:
  TSqliteDatabase& FDb;
  bool FDone = false;
};

}  // namespace vc::tasks
