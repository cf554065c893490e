#pragma once
// A thin RAII layer over libpq, shaped like the SQLite layer
// (storage/SqliteDatabase.h) so that one store runs on either: statements
// are written with SQLite's numbered parameters (?1, ?2), prepared once per
// connection and kept, and every failure throws PgError.
//
// A connection is named by the host, port and database it reached (of a
// multi-host location, the host it is connected to). Its connection
// string, and libpq's reading of it, may hold a password, so neither
// appears in any text.
//
// No call waits longer than the call deadline (store/CallDeadline.h) for a
// connect, and none for the answer to one statement: a statement that has
// none by then closes the connection (the server ends the session when it
// finds it gone, or its own timeouts do, PgParameters.h) and fails. A store
// found unreachable, by a statement with no answer or a connect that failed
// after waiting, is remembered for kUnreachableKept: every connect to it
// within that time fails at once with the same error.

#include <libpq-fe.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "SqliteDatabase.h"
#include "store/PgParameters.h"

namespace localplatform {

constexpr std::chrono::seconds kUnreachableKept{5};

class PgConnection;

// One run of a kept statement: its parameters are bound, the first Step or
// Run executes it, and its rows are then read one by one.
class PgStatement {
 public:
  PgStatement(PgConnection& connection, const std::string& name, const char* sql);
  PgStatement(PgStatement&&) noexcept = default;
  PgStatement(const PgStatement&) = delete;
  PgStatement& operator=(const PgStatement&) = delete;

  // Parameters are numbered from 1, as in SQLite. A text goes as the bytes
  // of a BYTEA, every byte kept; a number in decimal, for whichever integer
  // type the statement takes there.
  PgStatement& Bind(int index, int64_t value);
  PgStatement& Bind(int index, const std::string& value);
  // True while a row is available; false once the statement is done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();

  // Rows come in binary: an integer column of any width, a BYTEA column as
  // its bytes.
  int64_t ColumnInt64(int column) const;
  std::string ColumnText(int column) const;

 private:
  // libpq's formats of a value.
  static constexpr int kTextFormat = 0;
  static constexpr int kBinaryFormat = 1;

  PgStatement& Set(int index, std::string value, int format);
  void Execute();

  PgConnection* connection_;
  std::string name_;
  const char* sql_;
  std::vector<std::string> parameters_;
  std::vector<int> formats_;
  std::unique_ptr<PGresult, void (*)(PGresult*)> result_{nullptr, PQclear};
  int row_ = -1;
};

class PgConnection {
 public:
  // Connects to `location`, a PostgreSQL connection URI or keyword string,
  // within `deadline` (BoundedCallDeadline), which bounds each later
  // statement as well.
  PgConnection(const std::string& location, std::chrono::seconds deadline);
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;
  ~PgConnection();

  // "PostgreSQL host H port P database D", of the last connect.
  const std::string& name() const { return name_; }

  // Runs `sql`, which takes no parameters and may hold several statements.
  void Exec(const char* sql);
  // `sql` prepared on first use and kept for the connection's life.
  PgStatement Reuse(const char* sql);
  // The rows the last statement run changed.
  int Changes() const { return changes_; }
  int SchemaVersion();
  // Creates the schema or brings it up to date. Processes that meet a new
  // database at once wait for one another: one of them makes the schema.
  void Migrate(const std::vector<storage::Migration>& migrations);

  // A unit of work: `begin` starts it, `end` (COMMIT or ROLLBACK) ends it.
  // A connection found lost is made again before a unit begins (a BEGIN
  // that finds it lost is run once more on the new one; one without an
  // answer is not, its store being remembered unreachable) and before a
  // statement outside a unit; inside a unit its statements
  // fail, and the unit with them. A COMMIT is never run again: one that
  // lost its connection fails, saying the unit may have been kept.
  void BeginUnit(const char* begin);
  void EndUnit(const char* end);

  // The times any connection of the process waited for its server after
  // sending to it: what a call costs in round trips.
  static int64_t RoundTrips();

 private:
  friend class PgStatement;
  using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

  bool Lost() const { return connection_ == nullptr || PQstatus(connection_) == CONNECTION_BAD; }
  // Connects afresh; throws PgError.
  void Connect();
  void Close();
  void ReconnectIfLost() {
    if (!inUnit_ && Lost()) Connect();
  }
  // The answer to the command that `sent` (what PQsend... returned) says
  // was sent, within the deadline; throws PgError naming `context` unless
  // it succeeded.
  Result Command(const std::string& context, int sent);
  // Waits within the deadline for the socket to be ready for `events`;
  // closes the connection and throws PgError naming `context` when it is not.
  void Await(const std::string& context, short events, std::chrono::steady_clock::time_point until);
  // What the last command on the connection said, on one line, prefixed with `context`.
  [[noreturn]] void Fail(const std::string& context, const PGresult* result) const;

  const std::string location_;
  const std::chrono::seconds deadline_;
  const PgParameters parameters_;
  PGconn* connection_ = nullptr;
  std::string name_;
  bool inUnit_ = false;
  int changes_ = 0;
  // Kept statements by their text, looked up without a copy, and named
  // after their position.
  std::map<std::string, std::string, std::less<>> kept_;
};

}  // namespace localplatform
