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
// No call waits longer than the call deadline (admin/CallDeadline.h) for a
// connect, and none for the answers of one round trip (a statement, or what
// a unit sends at once): a statement that has none by then closes the
// connection (the server ends the session when it finds it gone, or its own
// timeouts do, PgParameters.h) and fails. A store
// found unreachable, by a statement with no answer or a connect that failed
// after waiting, is remembered for kUnreachableKept: every connect to it
// within that time fails at once with the same error.
//
// A unit of work runs in libpq's pipeline mode, so that it crosses to the
// server as seldom as it can: its BEGIN, the statement its gate reads and
// its first statement go in one round trip, and a unit that only reads
// does not wait for its end, whose answer is taken in with the next round
// trip (nothing was written, so its failure is nobody's). A unit that
// writes waits for its COMMIT, but not for a statement that returns no
// rows (PgStatement::Run).

#include <libpq-fe.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
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
  // Runs a statement that returns no rows. In a unit that writes, once
  // begun, it goes with the unit's next round trip, which fails if it did.
  void Run();

  // Rows come in binary: an integer column of any width, a BYTEA column as
  // its bytes.
  int64_t ColumnInt64(int column) const;
  std::string ColumnText(int column) const;

 private:
  friend class PgConnection;

  // libpq's formats of a value.
  static constexpr int kTextFormat = 0;
  static constexpr int kBinaryFormat = 1;

  PgStatement& Set(int index, std::string value, int format);
  void Execute();
  // Sends the statement with its parameters; what PQsendQueryPrepared returned.
  int Send();
  std::string Context() const { return std::string("step [") + sql_ + "]"; }

  PgConnection* connection_;
  std::string name_;
  const char* sql_;
  std::vector<std::string> parameters_;
  std::vector<int> formats_;
  std::unique_ptr<PGresult, void (*)(PGresult*)> result_{nullptr, PQclear};
  int row_ = -1;
};

// What checks a unit before anything of it is handed out: `check` is
// called with the answer of the statement `ahead` (which takes no
// parameters), sent with the unit's BEGIN; what it throws ends the unit.
struct PgGate {
  const char* ahead = nullptr;
  std::function<void(PgStatement& answer)> check;
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
  int Changes();
  int SchemaVersion();
  // Creates the schema or brings it up to date. Processes that meet a new
  // database at once wait for one another: one of them makes the schema.
  void Migrate(const std::vector<storage::Migration>& migrations);

  // A unit of work, which `writes` or only reads, checked by `gate`; `end`
  // (COMMIT or ROLLBACK) ends it. Nothing is sent when it begins: its BEGIN
  // goes with its first statement, or when PassGate or a COMMIT needs the
  // gate run; a unit that sent nothing ends without a word to the server.
  // The gate runs once the first answers are in, before the first
  // statement's is handed out, so that a gate that ends the unit leaves
  // nothing of that statement behind (a first statement that failed leaves
  // the unit unable to run any other, the gate's included).
  //
  // A connection found lost is made again before a unit begins (a first
  // round trip of a unit that finds it lost before its BEGIN was answered
  // is sent once more on the new one; one without an answer is not, its
  // store being remembered unreachable) and before a statement outside a
  // unit; inside a unit its statements fail, and the unit with them. A
  // COMMIT is never run again: one that lost its connection fails, saying
  // the unit may have been kept. A unit whose COMMIT failed is still to be
  // ended with a ROLLBACK.
  void BeginUnit(bool writes, PgGate gate = {});
  void PassGate();
  void EndUnit(const char* end);

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
  // it succeeded. Outside pipeline mode.
  Result Command(const std::string& context, int sent);
  // The name `sql` is kept under, prepared on first use.
  const std::string& Kept(const char* sql);
  // The answer to `statement`, run now.
  Result Answer(PgStatement& statement);
  // Whether `statement`, which returns no rows, was sent to be answered
  // with the next round trip.
  bool Deferred(PgStatement& statement);

  // Pipeline mode. A command sent is awaited: its answer goes to `answer`,
  // unless that is null (an answer nobody needs), or it is a sync point.
  struct Awaited {
    Result* answer;
    bool sync;
  };
  bool Pipelined() const;
  void EnterPipeline();
  // Awaits the command that `sent` says was sent; throws PgError naming
  // `context` when it was not.
  void Queue(const std::string& context, int sent, Result* answer);
  // Ends the commands sent with a sync point, sends them and takes in every
  // awaited answer, within the deadline. A lost connection leaves the
  // answers still awaited null. Throws the first failure of a deferred
  // statement.
  void RoundTrip(const std::string& context);
  // Takes in what is still awaited and leaves pipeline mode.
  void Settle(const std::string& context);
  // The unit's first round trip: its BEGIN, its gate's statement and
  // `first` (unless null), whose answer it returns after the gate ran.
  Result Open(PgStatement* first);
  // Waits within the deadline for the socket to be ready for `events`;
  // closes the connection and throws PgError naming `context` when it is not.
  void Await(const std::string& context, short events, std::chrono::steady_clock::time_point until);
  // Sends what libpq holds, within the deadline.
  void Flush(const std::string& context, std::chrono::steady_clock::time_point until);
  // The next result, once it is in, within the deadline; null after a
  // command's last.
  Result NextResult(const std::string& context, std::chrono::steady_clock::time_point until);
  // What the last command on the connection said, on one line, prefixed with `context`.
  [[noreturn]] void Fail(const std::string& context, const PGresult* result) const;

  const std::string location_;
  const std::chrono::seconds deadline_;
  const PgParameters parameters_;
  PGconn* connection_ = nullptr;
  std::string name_;
  bool inUnit_ = false;
  bool unitWrites_ = false;
  bool unitOpened_ = false;  // its first round trip was answered
  PgGate gate_;              // until it runs
  std::deque<Awaited> awaited_;
  // Statements sent without waiting (Deferred), with their answers.
  struct DeferredRun {
    std::string context;
    Result answer;
  };
  std::deque<DeferredRun> deferred_;
  int changes_ = 0;
  // Kept statements by their text, looked up without a copy, and named
  // after their position.
  std::map<std::string, std::string, std::less<>> kept_;
};

}  // namespace localplatform
