#pragma once
// A fresh platform store in a temporary folder for one test, installed as
// the platform's configuration; afterwards the configuration before is
// installed again and the folder removed.

#include <memory>
#include <string>

#include "PlatformConfiguration.h"
#include "store/Store.h"

namespace testsupport {

class TempPlatform {
 public:
  TempPlatform();
  TempPlatform(const TempPlatform&) = delete;
  TempPlatform& operator=(const TempPlatform&) = delete;
  ~TempPlatform();

  const std::string& folder() const { return folder_; }
  std::string databasePath() const { return folder_ + "/platform.db"; }

  // Points the platform at a folder where its database file should be, so
  // that every store operation fails as with a store that cannot be read.
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
  std::string folder_;
  std::unique_ptr<localplatform::Store> store_;
};

}  // namespace testsupport
