#include "BenchPlatform.h"

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "MountPath.h"
#include "PlatformReplay.h"
#include "admin/FileLogWriter.h"
#include "admin/PlatformConfiguration.h"
#include "support/Builders.h"
#include "support/EndToEnd.h"

namespace bench {
namespace {

constexpr uint64_t kFirstSubclient = 1000;
constexpr int kServers = 8;
constexpr char kRecordId[] = "0b5e7c1a-bench-4c2e-9d41-000000000001";
constexpr int kRecordNumber = 1;

// The view name a mapping gives snapshot `id` number `number`.
std::string ViewName(const std::string& id, int64_t number) {
  return id + "_" + std::to_string(number);
}

// One view record of the shape a mapping writes for snapshot `name`.
std::string ViewRecord(const std::string& share, const std::string& name) {
  return testsupport::ViewRecord({name, formats::ViewMountPath(share, name), kServerClient, "0",
                                  "1700000000", "bench-host.test"});
}

}  // namespace

BenchPlatform::BenchPlatform(testsupport::StoreKind kind, int64_t shares) : home_(kind) {
  if (!home_.missing().empty()) throw std::runtime_error(home_.missing());
  localplatform::Store& store = home_.store();
  home_.AddNfsServer(kServerClient, kServerHost);
  for (int64_t index = 0; index < shares; ++index) {
    char name[32];
    std::snprintf(name, sizeof(name), "share%06lld", static_cast<long long>(index));
    // The target is served by the benchmark's server; the others spread over several.
    bool target = index + 1 == shares;
    std::string client = target ? kServerClient : "nas" + std::to_string(index % kServers + 2);
    store.AddShare({name, client, static_cast<int64_t>(kFirstSubclient + index)});
    if (target) {
      targetShare_ = name;
      targetSubclient_ = kFirstSubclient + index;
    }
  }
}

void BenchPlatform::Activate() {
  localplatform::PlatformConfiguration configuration = home_.configuration();
  configuration.logLevel = -1;
  localplatform::InstallConfiguration(configuration);
  localplatform::InstallFileLogWriter(configuration.logFile, configuration.logLevel);
}

void BenchPlatform::ArrangeViews(int64_t views) {
  std::string list;
  for (int64_t index = 0; index < views; ++index) {
    list += ViewRecord(targetShare_, ViewName("other-" + std::to_string(index), index + 1)) + ";";
  }
  home_.PutViewList(targetSubclient_, list);
  arrangedList_ = list;
  extendedList_ = list + ViewRecord(targetShare_, ViewName(kRecordId, kRecordNumber)) + ";";
}

bool BenchPlatform::ListIsArranged() {
  return home_.store().ReadViewList(targetSubclient_).text == arrangedList_;
}

std::string BenchPlatform::mountPath() const {
  return formats::ViewMountPath(targetShare_, ViewName(kRecordId, kRecordNumber));
}

snaphost::SnapRecord BenchPlatform::Record() const {
  return testsupport::ShareRecord(kRecordId, kRecordNumber, targetShare_, kServerHost);
}

BenchPlatform& ActivePlatform(testsupport::StoreKind kind, int64_t shares) {
  static std::map<std::pair<testsupport::StoreKind, int64_t>, std::unique_ptr<BenchPlatform>> homes;
  std::unique_ptr<BenchPlatform>& home = homes[{kind, shares}];
  if (!home) home = std::make_unique<BenchPlatform>(kind, shares);
  home->Activate();
  // The platform may keep the answer of another home; the first call of a
  // benchmark should not pay for building this one's.
  std::string answer;
  CallShareListProcedure(answer);
  return *home;
}

snaphost::Plugin& LoadedPlugin() {
  static snaphost::Plugin plugin(snaphost::PluginPath(""));
  return plugin;
}

}  // namespace bench
