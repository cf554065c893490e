#pragma once
// A fresh platform store in a temporary folder for one test, with the
// environment pointing the platform at it; removed afterwards.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "store/Store.h"

namespace testsupport {

class TempPlatform {
 public:
  TempPlatform() {
    char pattern[] = "/tmp/zrso-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = made;
    setenv("ZRSO_PLATFORM_DB", (folder_ + "/platform.db").c_str(), 1);
    setenv("SNAPHOST_CATALOGUE", (folder_ + "/records.db").c_str(), 1);
  }
  TempPlatform(const TempPlatform&) = delete;
  TempPlatform& operator=(const TempPlatform&) = delete;
  ~TempPlatform() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  const std::string& folder() const { return folder_; }

  // Points the platform at a folder where its database file should be, so
  // that every store operation fails as with a store that cannot be read.
  void MakeStoreUnreadable() {
    std::string blocked = folder_ + "/blocked.db";
    std::filesystem::create_directories(blocked);
    setenv("ZRSO_PLATFORM_DB", blocked.c_str(), 1);
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
  std::string folder_;
  std::unique_ptr<localplatform::Store> store_;
};

}  // namespace testsupport
