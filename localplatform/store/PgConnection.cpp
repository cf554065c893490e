#include "store/PgConnection.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace localplatform {
namespace {

using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

Result Hold(PGresult* result) { return Result(result, PQclear); }

// A connection that cannot be made within this many seconds fails, unless
// the user chose otherwise.
constexpr char kConnectTimeout[] = "5";

// Taken by the connection that creates or brings the schema forward, so that
// processes meeting a new database at once wait for one another; released
// with its transaction.
constexpr char kTakeSchemaLock[] = "SELECT pg_advisory_xact_lock(2054386543)";

// libpq's messages span lines and end with one.
std::string OneLine(const char* text) {
  std::string line;
  for (const char* at = text; *at != '\0'; ++at) {
    const bool space = *at == '\n' || *at == '\t' || *at == ' ';
    if (!space) {
      line += *at;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  if (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// What libpq says of a connection string it cannot read quotes the string,
// or a part of it, which may hold a password: only a quoted mark of the
// syntax ("=", "]") is kept.
std::string WithoutQuotes(const std::string& message) {
  std::string shown;
  size_t at = 0;
  for (size_t open; (open = message.find('"', at)) != std::string::npos;) {
    shown += message.substr(at, open - at);
    const size_t close = message.find('"', open + 1);
    if (close == std::string::npos) return shown + "\"...\"";
    const std::string quoted = message.substr(open + 1, close - open - 1);
    const bool mark = quoted.size() == 1 && std::ispunct(static_cast<unsigned char>(quoted[0]));
    shown += mark ? '"' + quoted + '"' : std::string("\"...\"");
    at = close + 1;
  }
  return shown + message.substr(at);
}

bool TimeoutChosen(const std::string& location) {
  const char* environment = std::getenv("PGCONNECT_TIMEOUT");
  if (environment != nullptr && *environment != '\0') return true;
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(location.c_str(), &error);
  if (options == nullptr) {
    const std::string why = error != nullptr ? WithoutQuotes(OneLine(error)) : "out of memory";
    PQfreemem(error);
    throw PgError("cannot read the PostgreSQL connection string: " + why);
  }
  bool chosen = false;
  for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    if (std::strcmp(option->keyword, "connect_timeout") == 0 && option->val != nullptr &&
        *option->val != '\0') {
      chosen = true;
    }
  }
  PQconninfoFree(options);
  return chosen;
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

void PgStatement::Execute() {
  std::vector<const char*> values;
  std::vector<int> lengths;
  for (const std::string& parameter : parameters_) {
    values.push_back(parameter.data());
    lengths.push_back(static_cast<int>(parameter.size()));
  }
  result_.reset(PQexecPrepared(connection_->connection_, name_.c_str(),
                               static_cast<int>(values.size()), values.data(), lengths.data(),
                               formats_.data(), kBinaryFormat));
  const ExecStatusType status = PQresultStatus(result_.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    connection_->Fail(std::string("step [") + sql_ + "]", result_.get());
  }
  connection_->changes_ = std::atoi(PQcmdTuples(result_.get()));
  row_ = -1;
}

bool PgStatement::Step() {
  if (!result_) Execute();
  return ++row_ < PQntuples(result_.get());
}

void PgStatement::Run() {
  if (!result_) Execute();
}

// A SMALLINT, INTEGER or BIGINT in binary: its bytes, most significant first.
int64_t PgStatement::ColumnInt64(int column) const {
  const auto* bytes = reinterpret_cast<const unsigned char*>(PQgetvalue(result_.get(), row_, column));
  const int length = PQgetlength(result_.get(), row_, column);
  uint64_t value = length > 0 && (bytes[0] & 0x80) != 0 ? ~uint64_t{0} : 0;
  for (int at = 0; at < length; ++at) value = (value << 8) | bytes[at];
  return static_cast<int64_t>(value);
}

std::string PgStatement::ColumnText(int column) const {
  return std::string(PQgetvalue(result_.get(), row_, column),
                     PQgetlength(result_.get(), row_, column));
}

PgConnection::PgConnection(const std::string& location) {
  const char* keywords[] = {"dbname", "connect_timeout", nullptr};
  const char* values[] = {location.c_str(), kConnectTimeout, nullptr};
  if (TimeoutChosen(location)) keywords[1] = nullptr;
  // The location is read as a whole connection string in place of dbname.
  connection_ = PQconnectdbParams(keywords, values, 1);
  if (connection_ == nullptr) throw PgError("cannot connect to PostgreSQL: out of memory");
  name_ = Named(connection_);
  if (PQstatus(connection_) != CONNECTION_OK) {
    const std::string why = name_ + ": " + OneLine(PQerrorMessage(connection_));
    PQfinish(connection_);
    throw PgError(why);
  }
  // Notices ("relation ... already exists, skipping") are nobody's business.
  PQsetNoticeProcessor(connection_, IgnoreNotice, nullptr);
}

PgConnection::~PgConnection() { PQfinish(connection_); }

void PgConnection::Fail(const std::string& context, const PGresult* result) const {
  const char* message = result != nullptr ? PQresultErrorMessage(result) : "";
  if (*message == '\0') message = PQerrorMessage(connection_);
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  throw PgError(context + ": " + OneLine(message) +
                (state != nullptr ? " (SQLSTATE " + std::string(state) + ")" : ""));
}

void PgConnection::Reconnect() {
  kept_.clear();
  PQreset(connection_);
  if (Lost()) throw PgError(name_ + ": " + OneLine(PQerrorMessage(connection_)));
}

void PgConnection::Exec(const char* sql) {
  ReconnectIfLost();
  Result result = Hold(PQexec(connection_, sql));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    Fail(std::string("exec [") + sql + "]", result.get());
  }
}

PgStatement PgConnection::Reuse(const char* sql) {
  ReconnectIfLost();
  auto kept = kept_.find(std::string_view(sql));
  if (kept == kept_.end()) {
    const std::string name = "s" + std::to_string(kept_.size());
    Result result =
        Hold(PQprepare(connection_, name.c_str(), WithDollarParameters(sql).c_str(), 0, nullptr));
    if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
      Fail(std::string("prepare [") + sql + "]", result.get());
    }
    kept = kept_.emplace(sql, name).first;
  }
  return PgStatement(*this, kept->second, sql);
}

int PgConnection::SchemaVersion() {
  PgStatement query = Reuse("SELECT version FROM schema_version");
  return query.Step() ? static_cast<int>(query.ColumnInt64(0)) : 0;
}

void PgConnection::BeginUnit(const char* begin) {
  try {
    Exec(begin);
  } catch (const PgError&) {
    // Nothing was done yet: a connection lost since the last unit is made
    // again and the unit begun on it.
    if (!Lost()) throw;
    Reconnect();
    Exec(begin);
  }
  inUnit_ = true;
}

// Never on a connection made again: a COMMIT there would find nothing to
// commit and succeed. A COMMIT of a unit in which a statement failed rolls
// it back, and says so only in its command tag.
void PgConnection::EndUnit(const char* end) {
  inUnit_ = false;
  Result result = Hold(PQexec(connection_, end));
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
    Fail(std::string("exec [") + end + "]", result.get());
  }
  if (std::strcmp(PQcmdStatus(result.get()), end) != 0) {
    throw PgError(std::string("exec [") + end + "]: the unit was rolled back");
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
  BeginUnit("BEGIN");
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
