#pragma once
// A fresh platform store in a temporary folder for one test, with the
// environment pointing the platform and the record catalogue at it. The
// folder is removed and the environment put back as it was afterwards.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/Store.h"

namespace testsupport {

class TempPlatform {
 public:
  TempPlatform();
  TempPlatform(const TempPlatform&) = delete;
  TempPlatform& operator=(const TempPlatform&) = delete;
  ~TempPlatform();

  const std::string& folder() const { return folder_; }

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
  std::string folder_;
  // What the variables it sets held before, in the order it lists them.
  std::vector<std::optional<std::string>> savedEnvironment_;
  std::unique_ptr<localplatform::Store> store_;
};

}  // namespace testsupport
