#include "store/PgParameters.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

namespace localplatform {
namespace {

using Options = std::unique_ptr<PQconninfoOption, void (*)(PQconninfoOption*)>;

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

Options Parse(const std::string& location) {
  char* error = nullptr;
  Options options(PQconninfoParse(location.c_str(), &error), PQconninfoFree);
  if (!options) {
    const std::string why = error != nullptr ? WithoutQuotes(OneLine(error)) : "out of memory";
    PQfreemem(error);
    throw PgError("cannot read the PostgreSQL connection string: " + why);
  }
  return options;
}

// The value the user chose for `keyword`, in the location or in libpq's
// environment variable for it; empty when none.
std::string Chosen(const Options& options, const char* keyword) {
  for (const PQconninfoOption* option = options.get(); option->keyword != nullptr; ++option) {
    if (std::strcmp(option->keyword, keyword) != 0) continue;
    if (option->val != nullptr && *option->val != '\0') return option->val;
    const char* environment = option->envvar != nullptr ? std::getenv(option->envvar) : nullptr;
    return environment != nullptr ? environment : "";
  }
  return "";
}

// How many hosts a multi-host location names.
long Hosts(const Options& options) {
  std::string hosts = Chosen(options, "host");
  if (hosts.empty()) hosts = Chosen(options, "hostaddr");
  return 1 + std::count(hosts.begin(), hosts.end(), ',');
}

// Whether the server options (-c name=value, --name=value) set `name`.
bool SetsSetting(const std::string& serverOptions, const std::string& name) {
  std::istringstream words(serverOptions);
  for (std::string word; words >> word;) {
    if (word.rfind("--", 0) == 0 || word.rfind("-c", 0) == 0) word.erase(0, 2);
    word = word.substr(0, word.find('='));
    std::replace(word.begin(), word.end(), '-', '_');
    if (word == name) return true;
  }
  return false;
}

}  // namespace

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

PgParameters::PgParameters(const std::string& location, std::chrono::seconds deadline) {
  const Options options = Parse(location);
  const long seconds = deadline.count();
  const long milliseconds = seconds * 1000;
  chosen_.emplace_back("dbname", location);
  const std::pair<const char*, long> client[] = {
      {"connect_timeout", std::max(2L, seconds / Hosts(options))},
      {"keepalives", 1},
      {"keepalives_idle", std::max(1L, seconds / 2)},
      {"keepalives_interval", std::max(1L, seconds / 10)},
      {"keepalives_count", 3},
      {"tcp_user_timeout", milliseconds},
  };
  for (const auto& [keyword, value] : client) {
    if (Chosen(options, keyword).empty()) chosen_.emplace_back(keyword, std::to_string(value));
  }
  std::string serverOptions = Chosen(options, "options");
  const std::pair<const char*, long> server[] = {
      {"statement_timeout", milliseconds},
      {"lock_timeout", milliseconds / 2},
      {"idle_in_transaction_session_timeout", milliseconds / 4},
      {"tcp_user_timeout", milliseconds},
  };
  for (const auto& [name, value] : server) {
    if (!SetsSetting(serverOptions, name)) {
      serverOptions += std::string(" -c ") + name + "=" + std::to_string(value);
    }
  }
  chosen_.emplace_back("options", serverOptions);
  for (const auto& [keyword, value] : chosen_) {
    keywords_.push_back(keyword.c_str());
    values_.push_back(value.c_str());
  }
  keywords_.push_back(nullptr);
  values_.push_back(nullptr);
}

}  // namespace localplatform
