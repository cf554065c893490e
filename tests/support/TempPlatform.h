#pragma once
// A fresh platform store for one test, installed as the platform's
// configuration with its local files in a temporary folder: a SQLite file
// in that folder, or a PostgreSQL database of its own on the test server.
// Afterwards the configuration before is installed again, and the folder
// and the database removed.

#include <memory>
#include <string>
#include <vector>

#include "admin/PlatformConfiguration.h"
#include "admin/Store.h"

namespace testsupport {

// A SQLite file, a PostgreSQL database, or a store in the process's memory
// (localplatform::kMemoryStore), reached only through the process's one
// connection.
enum class StoreKind { kSqlite, kPostgres, kMemory };

// The libpq connection string of the server on which the PostgreSQL tests
// and benchmarks make their databases ($ZRSO_TEST_POSTGRESQL), or empty.
std::string TestServer();

// Runs `sql` on the test server over a connection of its own, bounded in
// time, and gives the first column of its first row, or the empty text.
// Throws std::runtime_error.
std::string OnTestServer(const std::string& sql);

class TempPlatform {
 public:
  explicit TempPlatform(StoreKind kind = StoreKind::kSqlite);
  TempPlatform(const TempPlatform&) = delete;
  TempPlatform& operator=(const TempPlatform&) = delete;
  ~TempPlatform();

  // Why the platform could not be made (there is no test server), or empty;
  // a test skips itself when it is not.
  const std::string& missing() const { return missing_; }

  StoreKind kind() const { return kind_; }
  const std::string& folder() const { return folder_; }
  // Where the store is (PlatformConfiguration::storeLocation).
  const std::string& location() const { return configuration_.storeLocation; }
  const localplatform::PlatformConfiguration& configuration() const { return configuration_; }
  // What snaphost is given besides --home to work on this platform.
  std::vector<std::string> SnaphostOptions() const;

  // Points the platform at a store that cannot be opened, so that every
  // store operation fails: a folder where the database file should be, or
  // a port where no server listens.
  void MakeStoreUnreadable();
  // A connection of the test's own, for arranging and inspecting state.
  localplatform::Store& store();
  // Stores `text` as the subclient's view list, whatever it held before.
  void PutViewList(uint64_t subclientId, const std::string& text);
  // A platform client `clientName` on `hostName`, which runs the NFS
  // file-server service and is up or down.
  void AddNfsServer(const std::string& clientName, const std::string& hostName, bool up = true);

 private:
  localplatform::PlatformConfiguration previous_;
  StoreKind kind_;
  std::string missing_;
  std::string folder_;
  std::string database_;  // on the test server
  localplatform::PlatformConfiguration configuration_;
  std::shared_ptr<localplatform::Store> store_;
};

}  // namespace testsupport
