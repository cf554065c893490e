#include "support/TempPlatform.h"

#include <libpq-fe.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace testsupport {
namespace {

// A port on which nothing listens.
constexpr char kNoServer[] = "host=127.0.0.1 port=1 dbname=none";

// The test server's connection string with `database` for the database.
std::string OnServer(const std::string& database) {
  char* error = nullptr;
  PQconninfoOption* options = PQconninfoParse(TestServer().c_str(), &error);
  if (options == nullptr) {
    PQfreemem(error);
    throw std::runtime_error("ZRSO_TEST_POSTGRESQL is not a connection string");
  }
  std::string location;
  for (const PQconninfoOption* option = options; option->keyword != nullptr; ++option) {
    const bool isDatabase = std::string(option->keyword) == "dbname";
    if (option->val == nullptr || isDatabase) continue;
    std::string value;
    for (const char* at = option->val; *at != '\0'; ++at) {
      if (*at == '\'' || *at == '\\') value += '\\';
      value += *at;
    }
    location += std::string(option->keyword) + "='" + value + "' ";
  }
  PQconninfoFree(options);
  return location + "dbname=" + database;
}

}  // namespace

std::string TestServer() {
  const char* server = std::getenv("ZRSO_TEST_POSTGRESQL");
  return server != nullptr ? server : "";
}

std::string OnTestServer(const std::string& sql) {
  const std::string server = TestServer();
  // Bounded on both sides: the connect, the statement on the server, and
  // what the client sent and the server never took.
  const char* keywords[] = {"dbname", "connect_timeout", "options", "tcp_user_timeout", nullptr};
  const char* values[] = {server.c_str(), "10", "-c statement_timeout=10s", "10000", nullptr};
  std::unique_ptr<PGconn, void (*)(PGconn*)> connection(PQconnectdbParams(keywords, values, 1),
                                                        PQfinish);
  if (PQstatus(connection.get()) != CONNECTION_OK) {
    throw std::runtime_error("test server: " + std::string(PQerrorMessage(connection.get())));
  }
  std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(connection.get(), sql.c_str()),
                                                        PQclear);
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error("test server: " + sql + ": " + PQerrorMessage(connection.get()));
  }
  return PQntuples(result.get()) > 0 ? PQgetvalue(result.get(), 0, 0) : "";
}

TempPlatform::TempPlatform(StoreKind kind)
    : previous_(localplatform::InstalledConfiguration()), kind_(kind) {
  char pattern[] = "/tmp/zrso-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = made;
  configuration_ = localplatform::PlatformConfiguration::InHome(folder_);
  if (kind == StoreKind::kMemory) configuration_.storeLocation = localplatform::kMemoryStore;
  if (kind == StoreKind::kPostgres) {
    if (TestServer().empty()) {
      missing_ =
          "no PostgreSQL server: ZRSO_TEST_POSTGRESQL is not set (ctest runs these tests on a "
          "throwaway cluster, tests/support/run-on-postgresql.sh)";
    } else {
      static int databases = 0;
      database_ = "zrso_test_" + std::to_string(getpid()) + "_" + std::to_string(++databases);
      OnTestServer("CREATE DATABASE " + database_);
      configuration_.storeLocation = OnServer(database_);
    }
  }
  localplatform::InstallConfiguration(configuration_);
}

TempPlatform::~TempPlatform() {
  store_.reset();
  localplatform::InstallConfiguration(previous_);
  try {
    if (!database_.empty()) OnTestServer("DROP DATABASE " + database_ + " WITH (FORCE)");
  } catch (const std::runtime_error&) {
    // Left on the throwaway server.
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::vector<std::string> TempPlatform::SnaphostOptions() const {
  if (kind_ == StoreKind::kSqlite) return {};
  return {"--platform", location()};
}

void TempPlatform::MakeStoreUnreadable() {
  localplatform::PlatformConfiguration blocked = configuration_;
  if (kind_ != StoreKind::kPostgres) {
    blocked.storeLocation = folder_ + "/blocked.db";
    std::filesystem::create_directories(blocked.storeLocation);
  } else {
    blocked.storeLocation = kNoServer;
  }
  localplatform::InstallConfiguration(blocked);
}

localplatform::Store& TempPlatform::store() {
  if (!store_) store_ = localplatform::OpenStore();
  return *store_;
}

void TempPlatform::PutViewList(uint64_t subclientId, const std::string& text) {
  store().WriteViewList(subclientId, text, store().ReadViewList(subclientId).version);
}

void TempPlatform::AddNfsServer(const std::string& clientName, const std::string& hostName,
                                bool up) {
  store().PutClient({clientName, hostName});
  store().PutNfsServer({hostName, up});
}

}  // namespace testsupport
