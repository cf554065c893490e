#include "SqliteDatabase.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace storage {
namespace {

constexpr int kBusyTimeoutMs = 10000;

[[noreturn]] void Throw(sqlite3* db, int code, const std::string& context) {
  const char* text = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  throw SqliteError(context + ": " + text + " (code " + std::to_string(code) + ")", code);
}

}  // namespace

void MakeFolders(const std::string& folder) {
  if (folder.empty()) return;
  std::string path;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t slash = folder.find('/', start);
    if (slash == std::string::npos) slash = folder.size();
    path = folder.substr(0, slash);
    if (!path.empty() && mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
      throw SqliteError("cannot create folder " + path + ": " + std::strerror(errno), SQLITE_CANTOPEN);
    }
    start = slash + 1;
  }
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db), statement_(nullptr) {
  int rc = sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
  if (rc != SQLITE_OK) Throw(db, rc, std::string("prepare [") + sql + "]");
}

Statement::Statement(sqlite3* db, sqlite3_stmt* statement)
    : db_(db), statement_(statement), kept_(true) {}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), statement_(other.statement_), kept_(other.kept_) {
  other.statement_ = nullptr;
}

Statement::~Statement() {
  if (!kept_) {
    sqlite3_finalize(statement_);
  } else if (statement_ != nullptr) {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
  }
}

Statement& Statement::Bind(int index, int64_t value) {
  int rc = sqlite3_bind_int64(statement_, index, value);
  if (rc != SQLITE_OK) Throw(db_, rc, "bind");
  return *this;
}

Statement& Statement::Bind(int index, const std::string& value) {
  int rc = sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()),
                             SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) Throw(db_, rc, "bind");
  return *this;
}

bool Statement::Step() {
  int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Throw(db_, rc, std::string("step [") + sqlite3_sql(statement_) + "]");
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

int64_t Statement::ColumnInt64(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::ColumnText(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_, column);
  int size = sqlite3_column_bytes(statement_, column);
  return text == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(text), size);
}

bool Statement::ColumnIsNull(int column) const {
  return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqliteDatabase::SqliteDatabase(const std::string& path, const std::vector<Migration>& migrations)
    : path_(path) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  int rc = sqlite3_open_v2(path.c_str(), &db_,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    std::string context = "open " + path;
    sqlite3_close(db_);
    db_ = nullptr;
    Throw(nullptr, rc, context);
  }
  try {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    SwitchToWriteAheadLog();
    Exec("PRAGMA synchronous=NORMAL");
    Exec("PRAGMA foreign_keys=ON");
    Migrate(migrations);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

// Two connections switching one new database to WAL at once can get
// SQLITE_BUSY without the busy handler being asked (SQLite refuses to wait
// where waiting could deadlock), so the switch is retried here for as long
// as the busy timeout allows.
void SqliteDatabase::SwitchToWriteAheadLog() {
  constexpr auto kPause = std::chrono::milliseconds(5);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  for (;;) {
    try {
      Exec("PRAGMA journal_mode=WAL");
      return;
    } catch (const SqliteError& error) {
      if ((error.code() & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) throw;
    }
    std::this_thread::sleep_for(kPause);
  }
}

SqliteDatabase::~SqliteDatabase() {
  for (auto& [sql, statement] : kept_) sqlite3_finalize(statement);
  sqlite3_close(db_);
}

Statement SqliteDatabase::Reuse(const char* sql) {
  auto kept = kept_.find(std::string_view(sql));
  if (kept != kept_.end()) return Statement(db_, kept->second);
  sqlite3_stmt* statement = nullptr;
  int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
  if (rc != SQLITE_OK) Throw(db_, rc, std::string("prepare [") + sql + "]");
  kept_.emplace(sql, statement);
  return Statement(db_, statement);
}

void SqliteDatabase::Exec(const char* sql) {
  char* message = nullptr;
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string text = message != nullptr ? message : sqlite3_errstr(rc);
    sqlite3_free(message);
    throw SqliteError(std::string("exec [") + sql + "]: " + text + " (code " + std::to_string(rc) + ")",
                      rc);
  }
}

int SqliteDatabase::SchemaVersion() {
  Statement query = Prepare("PRAGMA user_version");
  query.Step();
  return static_cast<int>(query.ColumnInt64(0));
}

std::string NewerSchemaText(const std::string& database, int version, size_t known) {
  return database + " has schema version " + std::to_string(version) +
         ", newer than this build knows (" + std::to_string(known) + ")";
}

// Schema version N means migrations [0, N) have run. A database written by an
// older build is brought forward; one from a newer build is refused.
void SqliteDatabase::Migrate(const std::vector<Migration>& migrations) {
  if (SchemaVersion() == static_cast<int>(migrations.size())) return;
  Transaction transaction(*this);
  int version = SchemaVersion();
  if (version > static_cast<int>(migrations.size())) {
    throw SqliteError(NewerSchemaText(path_, version, migrations.size()), SQLITE_MISMATCH);
  }
  for (size_t step = static_cast<size_t>(version); step < migrations.size(); ++step) {
    Exec(migrations[step]);
  }
  Exec(("PRAGMA user_version=" + std::to_string(migrations.size())).c_str());
  transaction.Commit();
}

Transaction::Transaction(SqliteDatabase& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (done_) return;
  try {
    db_.Exec("ROLLBACK");
  } catch (...) {
  }
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  done_ = true;
}

}  // namespace storage
