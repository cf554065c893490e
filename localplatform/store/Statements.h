#pragma once
// Statements of the store that are also run from outside it, on the same
// tables (store/Schema.h): what the store's cost is measured against.

namespace localplatform {

// The statements of one view list read and write that a process which
// keeps the list runs (the list's version and token, and the
// compare-and-swap on the version that makes a write of the pieces the
// writer's own), and of the whole share list read, which the benchmark runs
// directly as well.
extern const char kReadViewListVersion[];
extern const char kUpdateViewList[];
extern const char kListShares[];
// The fault stamp, which every platform call reads first.
extern const char kReadFaultStamp[];
// The page cache setting of every SQLite connection.
extern const char kSqlitePageCacheSetting[];

}  // namespace localplatform
