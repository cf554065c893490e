#include "store/PgConnection.h"

#include <poll.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "admin/CallDeadline.h"
#include "admin/PlatformCounters.h"

namespace localplatform {
namespace {

using Clock = std::chrono::steady_clock;

// A connect that failed sooner was refused or answered: trying again costs
// nothing, and it is not remembered.
constexpr std::chrono::seconds kSlowConnect{1};

// Taken by the connection that creates or brings the schema forward, so that
// processes meeting a new database at once wait for one another; released
// with its transaction.
constexpr char kTakeSchemaLock[] = "SELECT pg_advisory_xact_lock(2054386543)";

// The statements one round trip carries at most without waiting for them
// (PgStatement::Run), so that a unit that writes many rows, as a copy of a
// platform does, gets the deadline for every so many.
constexpr size_t kDeferredAtMost = 64;

// A unit that writes runs at read committed; one that only reads sees one
// snapshot of the database (PgStore.h).
constexpr char kBeginWriting[] = "BEGIN";
constexpr char kBeginReading[] = "BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY";

// The last store this process found unreachable.
struct Unreachable {
  std::mutex mutex;
  std::string location;
  std::string why;
  Clock::time_point until;
};

Unreachable& LastUnreachable() {
  static auto* last = new Unreachable();
  return *last;
}

void Remember(const std::string& location, const std::string& why) {
  Unreachable& last = LastUnreachable();
  std::lock_guard<std::mutex> lock(last.mutex);
  last.location = location;
  last.why = why;
  last.until = Clock::now() + kUnreachableKept;
}

// Throws what `location` failed with, if it is still remembered.
void ThrowIfUnreachable(const std::string& location) {
  Unreachable& last = LastUnreachable();
  std::lock_guard<std::mutex> lock(last.mutex);
  if (last.location == location && Clock::now() < last.until) throw PgError(last.why);
}

bool Succeeded(const PGresult* result) {
  const ExecStatusType status = PQresultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string Named(PGconn* connection) {
  auto text = [](const char* value) { return std::string(value != nullptr ? value : ""); };
  return "PostgreSQL host " + text(PQhost(connection)) + " port " + text(PQport(connection)) +
         " database " + text(PQdb(connection));
}

// PostgreSQL numbers its parameters $1, $2.
std::string WithDollarParameters(const char* sql) {
  std::string text = sql;
  for (size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] == '?' && text[at + 1] >= '0' && text[at + 1] <= '9') text[at] = '$';
  }
  return text;
}

void IgnoreNotice(void*, const char*) {}

// Sends `sql`, one statement without parameters, as pipeline mode takes it.
int SendCommand(PGconn* connection, const char* sql) {
  return PQsendQueryParams(connection, sql, 0, nullptr, nullptr, nullptr, nullptr, 0);
}

std::atomic<int64_t> g_roundTrips{0};

}  // namespace

PgStatement::PgStatement(PgConnection& connection, const std::string& name, const char* sql)
    : connection_(&connection), name_(name), sql_(sql) {}

PgStatement& PgStatement::Bind(int index, int64_t value) {
  return Set(index, std::to_string(value), kTextFormat);
}

PgStatement& PgStatement::Bind(int index, const std::string& value) {
  return Set(index, value, kBinaryFormat);
}

PgStatement& PgStatement::Set(int index, std::string value, int format) {
  if (parameters_.size() < static_cast<size_t>(index)) {
    parameters_.resize(index);
    formats_.resize(index, kTextFormat);
  }
  parameters_[index - 1] = std::move(value);
  formats_[index - 1] = format;
  return *this;
}

int PgStatement::Send() {
  std::vector<const char*> values;
  std::vector<int> lengths;
  for (const std::string& parameter : parameters_) {
    values.push_back(parameter.data());
    lengths.push_back(static_cast<int>(parameter.size()));
  }
  return PQsendQueryPrepared(connection_->connection_, name_.c_str(),
                             static_cast<int>(values.size()), values.data(), lengths.data(),
                             formats_.data(), kBinaryFormat);
}

void PgStatement::Execute() {
  result_ = connection_->Answer(*this);
  connection_->changes_ = std::atoi(PQcmdTuples(result_.get()));
  row_ = -1;
}

bool PgStatement::Step() {
  if (!result_) Execute();
  return ++row_ < PQntuples(result_.get());
}

void PgStatement::Run() {
  if (!result_ && !connection_->Deferred(*this)) Execute();
}

// A SMALLINT, INTEGER or BIGINT in binary: its bytes, most significant first.
int64_t PgStatement::ColumnInt64(int column) const {
  const auto* bytes =
      reinterpret_cast<const unsigned char*>(PQgetvalue(result_.get(), row_, column));
  const int length = PQgetlength(result_.get(), row_, column);
  uint64_t value = length > 0 && (bytes[0] & 0x80) != 0 ? ~uint64_t{0} : 0;
  for (int at = 0; at < length; ++at) value = (value << 8) | bytes[at];
  return static_cast<int64_t>(value);
}

std::string PgStatement::ColumnText(int column) const {
  return std::string(PQgetvalue(result_.get(), row_, column),
                     PQgetlength(result_.get(), row_, column));
}

PgConnection::PgConnection(const std::string& location, std::chrono::seconds deadline)
    : location_(location),
      deadline_(BoundedCallDeadline(deadline)),
      parameters_(location, deadline_) {
  Connect();
}

PgConnection::~PgConnection() { Close(); }

void PgConnection::Close() {
  PQfinish(connection_);
  connection_ = nullptr;
  awaited_.clear();
  deferred_.clear();
}

void PgConnection::Connect() {
  Close();
  kept_.clear();
  ThrowIfUnreachable(location_);
  const Clock::time_point started = Clock::now();
  connection_ = PQconnectdbParams(parameters_.keywords(), parameters_.values(), 1);
  if (connection_ == nullptr) throw PgError("cannot connect to PostgreSQL: out of memory");
  name_ = Named(connection_);
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string why = name_ + ": " + OneLine(PQerrorMessage(connection_));
    Close();
    if (Clock::now() - started >= kSlowConnect) Remember(location_, why);
    throw PgError(why);
  }
  // Notices ("relation ... already exists, skipping") are nobody's business.
  PQsetNoticeProcessor(connection_, IgnoreNotice, nullptr);
  // Commands are sent without waiting for the socket, which Await bounds.
  if (PQsetnonblocking(connection_, 1) != 0) {
    const std::string why = name_ + ": " + OneLine(PQerrorMessage(connection_));
    Close();
    throw PgError(why);
  }
}

void PgConnection::Fail(const std::string& context, const PGresult* result) const {
  const char* message = result != nullptr ? PQresultErrorMessage(result) : "";
  if (*message == '\0') {
    message = connection_ != nullptr ? PQerrorMessage(connection_) : "the connection was lost";
  }
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  throw PgError(context + ": " + OneLine(message) +
                (state != nullptr ? " (SQLSTATE " + std::string(state) + ")" : ""));
}

void PgConnection::Await(const std::string& context, short events, Clock::time_point until) {
  const int socket = PQsocket(connection_);
  for (Clock::time_point now = Clock::now(); now < until && socket >= 0; now = Clock::now()) {
    pollfd ready{socket, events, 0};
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
    const int count = poll(&ready, 1, static_cast<int>(left));
    if (count > 0 || (count < 0 && errno != EINTR)) return;  // libpq meets any error
  }
  if (socket < 0) return;
  Close();
  const std::string why = "no answer from " + name_ + " within the call deadline of " +
                          std::to_string(deadline_.count()) + " s";
  Remember(location_, why);
  throw PgError(context + ": " + why);
}

int64_t StoreRoundTrips() { return g_roundTrips.load(); }

void PgConnection::Flush(const std::string& context, Clock::time_point until) {
  for (int pending; (pending = PQflush(connection_)) > 0;) {
    Await(context, POLLIN | POLLOUT, until);
    if (PQconsumeInput(connection_) == 0) break;
  }
}

PgConnection::Result PgConnection::NextResult(const std::string& context, Clock::time_point until) {
  while (PQisBusy(connection_) != 0) {
    Await(context, POLLIN, until);
    if (PQconsumeInput(connection_) == 0) break;  // PQgetResult says why
  }
  return Result(PQgetResult(connection_), PQclear);
}

PgConnection::Result PgConnection::Command(const std::string& context, int sent) {
  if (connection_ == nullptr || sent == 0) Fail(context, nullptr);
  ++g_roundTrips;
  const Clock::time_point until = Clock::now() + deadline_;
  Flush(context, until);
  // Of several statements' answers, the first failure or else the last.
  Result answer(nullptr, PQclear);
  for (;;) {
    Result next = NextResult(context, until);
    if (!next) break;
    if (!answer || Succeeded(answer.get())) answer = std::move(next);
  }
  if (!Succeeded(answer.get())) Fail(context, answer.get());
  return answer;
}

bool PgConnection::Pipelined() const {
  return connection_ != nullptr && PQpipelineStatus(connection_) != PQ_PIPELINE_OFF;
}

void PgConnection::EnterPipeline() {
  if (!Pipelined() && PQenterPipelineMode(connection_) != 1) Fail("begin", nullptr);
}

void PgConnection::Queue(const std::string& context, int sent, Result* answer) {
  if (connection_ != nullptr && sent == 1) {
    awaited_.push_back({answer, false});
    return;
  }
  // The answers of what was sent before could no longer be told from
  // those of what comes after: the connection is given up, as lost.
  try {
    Fail(context, nullptr);
  } catch (const PgError&) {
    Close();
    throw;
  }
}

void PgConnection::RoundTrip(const std::string& context) {
  Queue(context, connection_ != nullptr ? PQpipelineSync(connection_) : 0, nullptr);
  awaited_.back().sync = true;
  const Clock::time_point until = Clock::now() + deadline_;
  ++g_roundTrips;
  Flush(context, until);
  // Each command's answers end with a null result; a sync point has one
  // result of its own. Of several answers, the first failure or else the last.
  while (!awaited_.empty() && !Lost()) {
    Result next = NextResult(context, until);
    const Awaited head = awaited_.front();
    if (head.sync || !next) {
      awaited_.pop_front();
    } else if (head.answer != nullptr && (!*head.answer || Succeeded(head.answer->get()))) {
      *head.answer = std::move(next);
    }
  }
  awaited_.clear();
  std::deque<DeferredRun> ran = std::move(deferred_);
  deferred_.clear();
  for (const DeferredRun& run : ran) {
    if (!Succeeded(run.answer.get())) Fail(run.context, run.answer.get());
    changes_ = std::atoi(PQcmdTuples(run.answer.get()));
  }
}

// A connection found lost is left as it is, to be made again.
void PgConnection::Settle(const std::string& context) {
  if (!Pipelined() || Lost()) return;
  if (!awaited_.empty()) RoundTrip(context);
  if (!Lost() && PQexitPipelineMode(connection_) != 1) Fail(context, nullptr);
}

void PgConnection::Exec(const char* sql) {
  const std::string context = std::string("exec [") + sql + "]";
  // A text of several statements goes outside pipeline mode, once the
  // unit it is part of began.
  if (inUnit_ && !unitOpened_) Open(nullptr);
  Settle(context);
  ReconnectIfLost();
  Command(context, PQsendQuery(connection_, sql));
}

const std::string& PgConnection::Kept(const char* sql) {
  auto kept = kept_.find(std::string_view(sql));
  if (kept == kept_.end()) {
    const std::string context = std::string("prepare [") + sql + "]";
    const std::string name = "s" + std::to_string(kept_.size());
    const int sent =
        PQsendPrepare(connection_, name.c_str(), WithDollarParameters(sql).c_str(), 0, nullptr);
    if (Pipelined()) {
      Result prepared(nullptr, PQclear);
      Queue(context, sent, &prepared);
      RoundTrip(context);
      if (!Succeeded(prepared.get())) Fail(context, prepared.get());
    } else {
      Command(context, sent);
    }
    kept = kept_.emplace(sql, name).first;
  }
  return kept->second;
}

PgStatement PgConnection::Reuse(const char* sql) {
  if (!inUnit_) {
    Settle(std::string("prepare [") + sql + "]");
    ReconnectIfLost();
  }
  return PgStatement(*this, Kept(sql), sql);
}

bool PgConnection::Deferred(PgStatement& statement) {
  if (!inUnit_ || !unitOpened_ || !unitWrites_ || !Pipelined()) return false;
  deferred_.push_back({statement.Context(), Result(nullptr, PQclear)});
  Queue(deferred_.back().context, statement.Send(), &deferred_.back().answer);
  if (deferred_.size() >= kDeferredAtMost) RoundTrip(deferred_.back().context);
  return true;
}

int PgConnection::Changes() {
  if (!deferred_.empty()) RoundTrip(deferred_.back().context);
  return changes_;
}

PgConnection::Result PgConnection::Answer(PgStatement& statement) {
  if (inUnit_ && !unitOpened_) return Open(&statement);
  const std::string context = statement.Context();
  if (!Pipelined()) return Command(context, statement.Send());
  Result answer(nullptr, PQclear);
  Queue(context, statement.Send(), &answer);
  RoundTrip(context);
  if (!Succeeded(answer.get())) Fail(context, answer.get());
  return answer;
}

int PgConnection::SchemaVersion() {
  PgStatement query = Reuse("SELECT version FROM schema_version");
  return query.Step() ? static_cast<int>(query.ColumnInt64(0)) : 0;
}

void PgConnection::BeginUnit(bool writes, PgGate gate) {
  ReconnectIfLost();
  EnterPipeline();
  inUnit_ = true;
  unitWrites_ = writes;
  unitOpened_ = false;
  gate_ = std::move(gate);
}

PgConnection::Result PgConnection::Open(PgStatement* first) {
  const char* begin = unitWrites_ ? kBeginWriting : kBeginReading;
  const std::string beginContext = std::string("exec [") + begin + "]";
  const std::string context = first != nullptr ? first->Context() : beginContext;
  for (bool again = true;; again = false) {
    Result begun(nullptr, PQclear);
    Result ahead(nullptr, PQclear);
    Result answer(nullptr, PQclear);
    try {
      // Named first: a statement still to prepare takes a round trip of its own.
      const std::string aheadName = gate_.ahead != nullptr ? Kept(gate_.ahead) : "";
      if (first != nullptr) first->name_ = Kept(first->sql_);
      Queue(beginContext, SendCommand(connection_, begin), &begun);
      if (gate_.ahead != nullptr) {
        Queue(std::string("step [") + gate_.ahead + "]",
              PQsendQueryPrepared(connection_, aheadName.c_str(), 0, nullptr, nullptr, nullptr,
                                  PgStatement::kBinaryFormat),
              &ahead);
      }
      if (first != nullptr) Queue(context, first->Send(), &answer);
      RoundTrip(context);
      if (!Succeeded(begun.get())) Fail(beginContext, begun.get());
    } catch (const PgError&) {
      // Nothing was done yet: a connection lost since the last unit, or
      // while the BEGIN was on its way, is made again and all sent once
      // more on it. One that had no answer is remembered unreachable:
      // Connect fails.
      if (!again || Succeeded(begun.get()) || !Lost()) throw;
      Connect();
      EnterPipeline();
      continue;
    }
    unitOpened_ = true;
    PgGate gate = std::move(gate_);
    gate_ = {};
    if (gate.check) {
      const std::string aheadContext = std::string("step [") + gate.ahead + "]";
      if (!Succeeded(ahead.get())) Fail(aheadContext, ahead.get());
      PgStatement stamp(*this, "", gate.ahead);
      stamp.result_ = std::move(ahead);
      gate.check(stamp);
    }
    if (first != nullptr && !Succeeded(answer.get())) Fail(context, answer.get());
    return answer;
  }
}

void PgConnection::PassGate() {
  if (inUnit_ && !unitOpened_ && gate_.check) Open(nullptr);
}

// Never on a connection made again: a COMMIT there would find nothing to
// commit and succeed. A COMMIT of a unit in which a statement failed rolls
// it back, and says so only in its command tag. A COMMIT whose connection
// was lost on the way may have been kept or not.
void PgConnection::EndUnit(const char* end) {
  if (!inUnit_) return;
  const bool commit = std::strcmp(end, "COMMIT") == 0;
  if (!unitOpened_ && commit) PassGate();
  gate_ = {};
  if (!unitOpened_) {  // nothing was sent
    inUnit_ = false;
    return;
  }
  const std::string context = std::string("exec [") + end + "]";
  if (!unitWrites_ && Pipelined()) {
    // Taken in with the next round trip, if at all.
    inUnit_ = false;
    if (SendCommand(connection_, end) == 1) awaited_.push_back({nullptr, false});
    if (PQpipelineSync(connection_) == 1) awaited_.push_back({nullptr, true});
    PQflush(connection_);
    return;
  }
  if (!commit) inUnit_ = false;
  const bool connected = connection_ != nullptr;
  Result result(nullptr, PQclear);
  try {
    if (Pipelined()) {
      Queue(context, SendCommand(connection_, end), &result);
      RoundTrip(context);
      if (!Succeeded(result.get())) Fail(context, result.get());
    } else {
      result = Command(context, PQsendQuery(connection_, end));
    }
  } catch (const PgError& error) {
    if (!connected || !Lost() || !commit) throw;
    throw PgError(std::string(error.what()) + "; whether the unit was kept is unknown");
  }
  inUnit_ = false;
  if (std::strcmp(PQcmdStatus(result.get()), end) != 0) {
    throw PgError(context + ": the unit was rolled back");
  }
}

// Schema version N means migrations [0, N) have run. The version is read
// first without the lock, which only a database still to be brought
// forward needs; a database written by a newer build is refused.
void PgConnection::Migrate(const std::vector<storage::Migration>& migrations) {
  const int known = static_cast<int>(migrations.size());
  try {
    if (SchemaVersion() == known) return;
  } catch (const PgError&) {
    // No schema yet: made below.
  }
  BeginUnit(true);
  try {
    Exec(kTakeSchemaLock);
    Exec(
        "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL);"
        "INSERT INTO schema_version SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM schema_version)");
    const int version = SchemaVersion();
    if (version > known) throw PgError(storage::NewerSchemaText(name_, version, known));
    for (int step = version; step < known; ++step) Exec(migrations[step]);
    Reuse("UPDATE schema_version SET version = ?1").Bind(1, known).Run();
    EndUnit("COMMIT");
  } catch (...) {
    try {
      EndUnit("ROLLBACK");
    } catch (const PgError&) {
      // Nothing of the unit is kept either way.
    }
    throw;
  }
}

}  // namespace localplatform
