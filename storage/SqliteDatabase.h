#pragma once
// A thin RAII layer over SQLite shared by the local platform's store and the
// host's record catalogue. Every failure throws SqliteError carrying SQLite's
// own text and code.

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(const std::string& what, int code) : std::runtime_error(what), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class Statement {
 public:
  Statement(sqlite3* db, const char* sql);
  // Works through `statement`, which its owner keeps prepared: when this
  // Statement goes, it is reset and its parameters cleared, not finalised.
  Statement(sqlite3* db, sqlite3_stmt* statement);
  Statement(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement();

  // Parameters are numbered from 1, as in SQLite.
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, const std::string& value);
  // True while a row is available; false once the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  int64_t ColumnInt64(int column) const;
  std::string ColumnText(int column) const;
  bool ColumnIsNull(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* statement_;
  bool kept_ = false;
};

// One schema step: the SQL that takes a database from version N to N + 1.
using Migration = const char*;

// Why `database`, at schema version `version`, is refused by a build that
// knows `known` steps.
std::string NewerSchemaText(const std::string& database, int version, size_t known);

class SqliteDatabase {
 public:
  // Opens or creates the database at `path`, creating missing parent folders,
  // in WAL mode with a busy timeout, and brings its schema up to date.
  SqliteDatabase(const std::string& path, const std::vector<Migration>& migrations);
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;
  ~SqliteDatabase();

  void Exec(const char* sql);
  Statement Prepare(const char* sql) { return Statement(db_, sql); }
  // `sql` prepared on first use and kept for the connection's life: for the
  // statements run on every call, whose preparation would cost more than
  // their work. One use of a text at a time.
  Statement Reuse(const char* sql);
  int Changes() const { return sqlite3_changes(db_); }
  int64_t LastInsertRowId() const { return sqlite3_last_insert_rowid(db_); }
  int SchemaVersion();
  const std::string& path() const { return path_; }

 private:
  void SwitchToWriteAheadLog();
  void Migrate(const std::vector<Migration>& migrations);

  std::string path_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*, std::less<>> kept_;  // looked up without a copy
};

// BEGIN IMMEDIATE on construction; rolls back unless committed.
class Transaction {
 public:
  explicit Transaction(SqliteDatabase& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  SqliteDatabase& db_;
  bool done_ = false;
};

// Creates `folder` and its missing parents.
void MakeFolders(const std::string& folder);

}  // namespace storage
