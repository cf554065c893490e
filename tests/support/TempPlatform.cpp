#include "support/TempPlatform.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr char kStoreVariable[] = "ZRSO_PLATFORM_DB";
constexpr char kCatalogueVariable[] = "SNAPHOST_CATALOGUE";
constexpr const char* kVariables[] = {kStoreVariable, kCatalogueVariable};

}  // namespace

TempPlatform::TempPlatform() {
  for (const char* name : kVariables) {
    const char* value = getenv(name);
    savedEnvironment_.emplace_back();
    if (value != nullptr) savedEnvironment_.back() = value;
  }
  char pattern[] = "/tmp/zrso-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  if (made == nullptr) throw std::runtime_error("mkdtemp failed");
  folder_ = made;
  setenv(kStoreVariable, (folder_ + "/platform.db").c_str(), 1);
  setenv(kCatalogueVariable, (folder_ + "/records.db").c_str(), 1);
}

TempPlatform::~TempPlatform() {
  store_.reset();
  for (size_t index = 0; index < savedEnvironment_.size(); ++index) {
    const std::optional<std::string>& value = savedEnvironment_[index];
    value ? setenv(kVariables[index], value->c_str(), 1) : unsetenv(kVariables[index]);
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TempPlatform::MakeStoreUnreadable() {
  std::string blocked = folder_ + "/blocked.db";
  std::filesystem::create_directories(blocked);
  setenv(kStoreVariable, blocked.c_str(), 1);
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
