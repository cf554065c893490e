#pragma once
// What a connection to PostgreSQL is made with: the location, a connection
// URI or keyword string, read whole in place of the database name, and
// what the call deadline bounds, unless the location (or libpq's
// environment variable for it) chose its own value:
//   - connect_timeout: the deadline shared among the hosts of a multi-host
//     location (libpq waits that long for each, at least 2 s);
//   - TCP keepalives and tcp_user_timeout, so that a dead network is found
//     on an idle connection and on one with data in flight;
//   - the session's statement_timeout (the deadline), lock_timeout (half
//     of it) and idle_in_transaction_session_timeout (a quarter), and the
//     server's own tcp_user_timeout, passed as "-c" options, so that a host
//     that vanished mid-transaction holds its locks a quarter of the
//     deadline at most, and another that waits for them gets them before its
//     own lock wait ends.

#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace localplatform {

class PgError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// libpq's messages span lines and end with one: on one line.
std::string OneLine(const char* text);

class PgParameters {
 public:
  // Throws PgError when libpq cannot read `location`, without the parts
  // of it libpq quotes (they may hold a password).
  PgParameters(const std::string& location, std::chrono::seconds deadline);
  PgParameters(const PgParameters&) = delete;
  PgParameters& operator=(const PgParameters&) = delete;

  // For PQconnectdbParams with expand_dbname set, each ending in null.
  const char* const* keywords() const { return keywords_.data(); }
  const char* const* values() const { return values_.data(); }

 private:
  std::vector<std::pair<std::string, std::string>> chosen_;
  std::vector<const char*> keywords_;
  std::vector<const char*> values_;
};

}  // namespace localplatform
