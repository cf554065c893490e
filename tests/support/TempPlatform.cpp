#include "support/TempPlatform.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace testsupport {

TempPlatform::TempPlatform() : previous_(localplatform::InstalledConfiguration()) {
  char pattern[] = "/tmp/zrso-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = made;
  localplatform::InstallConfiguration(localplatform::PlatformConfiguration::InHome(folder_));
}

TempPlatform::~TempPlatform() {
  store_.reset();
  localplatform::InstallConfiguration(previous_);
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TempPlatform::MakeStoreUnreadable() {
  localplatform::PlatformConfiguration blocked =
      localplatform::PlatformConfiguration::InHome(folder_);
  blocked.storePath = folder_ + "/blocked.db";
  std::filesystem::create_directories(blocked.storePath);
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
