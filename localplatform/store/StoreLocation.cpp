// Which database a location names, and a connection to it.

#include <cctype>
#include <memory>

#include "store/PgStore.h"
#include "store/SqliteStore.h"

namespace localplatform {

bool IsPostgresLocation(const std::string& location) {
  if (location.rfind("postgresql://", 0) == 0 || location.rfind("postgres://", 0) == 0) {
    return true;
  }
  auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  auto isKeyword = [](char c) { return std::islower(static_cast<unsigned char>(c)) || c == '_'; };
  size_t at = 0;
  while (at < location.size() && isSpace(location[at])) ++at;
  const size_t keyword = at;
  while (at < location.size() && isKeyword(location[at])) ++at;
  if (at == keyword) return false;
  while (at < location.size() && isSpace(location[at])) ++at;
  return at < location.size() && location[at] == '=';
}

std::unique_ptr<Store> ConnectStore(const std::string& location,
                                    std::chrono::seconds callDeadline) {
  if (IsPostgresLocation(location)) return std::make_unique<PgStore>(location, callDeadline);
  return std::make_unique<SqliteStore>(location);
}

}  // namespace localplatform
