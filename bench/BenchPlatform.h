#pragma once
// The state the benchmarks run against: a platform home in a temporary
// folder, its store in SQLite or PostgreSQL, with a given number of
// configured NFS shares, and in it the view list of one share, the target,
// arranged at a given length. Homes are built once per store and share
// count and kept for the whole run.

#include <cstdint>
#include <string>

#include "PluginLoader.h"
#include "SnapRecord.h"
#include "support/TempPlatform.h"

namespace bench {

// The NFS server every benchmark record names: client name and host name.
inline constexpr char kServerClient[] = "nas1";
inline constexpr char kServerHost[] = "nas1.test";

class BenchPlatform {
 public:
  // A home with `shares` shares. The target is the last one configured, so
  // the share lookup walks the whole list before it finds it. Throws
  // std::runtime_error when the store cannot be made.
  BenchPlatform(testsupport::StoreKind kind, int64_t shares);

  // Points the platform and the log writer (errors only, as the host runs
  // by default) at this home.
  void Activate();

  // Replaces the target's list with `views` views of other snapshots.
  void ArrangeViews(int64_t views);

  // The target's list as ArrangeViews left it, and the same list with one
  // more view of the shape a mapping appends.
  const std::string& arrangedList() const { return arrangedList_; }
  const std::string& extendedList() const { return extendedList_; }

  // Whether the target's stored list is the arranged one.
  bool ListIsArranged();

  const std::string& location() const { return home_.location(); }

  const std::string& targetShare() const { return targetShare_; }
  uint64_t targetSubclient() const { return targetSubclient_; }
  // Where the view of Record() is mounted once mapped.
  std::string mountPath() const;

  // A record of a snapshot of the target share, not yet snapped.
  snaphost::SnapRecord Record() const;

 private:
  testsupport::TempPlatform home_;
  std::string targetShare_;
  uint64_t targetSubclient_ = 0;
  std::string arrangedList_;
  std::string extendedList_;
};

// The home with `shares` shares on the store of `kind`, built on first use,
// made the active one, its share list asked for once.
BenchPlatform& ActivePlatform(testsupport::StoreKind kind, int64_t shares);

// The built plug-in, loaded on first use.
snaphost::Plugin& LoadedPlugin();

}  // namespace bench
