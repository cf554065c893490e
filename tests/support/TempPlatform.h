#pragma once
// A fresh platform store in a temporary folder for one test, installed as
// the platform's configuration; afterwards the configuration before is
// installed again and the folder removed.

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "PlatformConfiguration.h"
#include "store/Store.h"

namespace testsupport {

class TempPlatform {
 public:
  TempPlatform() : previous_(localplatform::InstalledConfiguration()) {
    char pattern[] = "/tmp/zrso-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = made;
    localplatform::InstallConfiguration(localplatform::PlatformConfiguration::InHome(folder_));
  }
  TempPlatform(const TempPlatform&) = delete;
  TempPlatform& operator=(const TempPlatform&) = delete;
  ~TempPlatform() {
    store_.reset();
    localplatform::InstallConfiguration(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::string& folder() const { return folder_; }
  std::string databasePath() const { return folder_ + "/platform.db"; }

  // Points the platform at a folder where its database file should be, so
  // that every store operation fails as with a store that cannot be read.
  void MakeStoreUnreadable() {
    localplatform::PlatformConfiguration blocked =
        localplatform::PlatformConfiguration::InHome(folder_);
    blocked.storePath = folder_ + "/blocked.db";
    std::filesystem::create_directories(blocked.storePath);
    localplatform::InstallConfiguration(blocked);
  }
  // A connection of the test's own, for arranging and inspecting state.
  localplatform::Store& store() {
    if (!store_) store_ = localplatform::OpenStore();
    return *store_;
  }

  // Stores `text` as the subclient's view list, whatever it held before.
  void PutViewList(uint64_t subclientId, const std::string& text) {
    store().WriteViewList(subclientId, text, store().ReadViewList(subclientId).version);
  }
  // A platform client `clientName` on `hostName`, which runs the NFS
  // file-server service and is up or down.
  void AddNfsServer(const std::string& clientName, const std::string& hostName, bool up = true) {
    store().PutClient({clientName, hostName});
    store().PutNfsServer({hostName, up});
  }

 private:
  localplatform::PlatformConfiguration previous_;
  std::string folder_;
  std::unique_ptr<localplatform::Store> store_;
};

}  // namespace testsupport
