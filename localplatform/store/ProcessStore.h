#pragma once
// The process's one connection to the platform store of the installed
// configuration (admin/PlatformConfiguration.h). Opening the database, reading its schema
// and setting it up costs more than most of the calls that need it, so the
// connection is made once and kept.

#include <memory>
#include <string>

#include "admin/PlatformConfiguration.h"
#include "admin/Store.h"
#include "faults/FaultTable.h"

namespace localplatform {

// A connection with what the platform services keep beside it.
struct StoreConnection {
  // Throws StoreError.
  explicit StoreConnection(const PlatformConfiguration& configuration)
      : store(ConnectStore(configuration.storeLocation, configuration.callDeadline)) {}

  const std::unique_ptr<Store> store;
  // Changed only inside a unit of `store` (Store::Begin), which no two
  // threads are in at once.
  FaultTable faults;
};

// The connection to the installed configuration's store: made on first use
// and kept, made afresh once a configuration is installed and in a child
// process after fork(), which never uses its parent's. Throws StoreError.
std::shared_ptr<StoreConnection> CurrentConnection();

}  // namespace localplatform
