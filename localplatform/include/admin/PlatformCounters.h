#pragma once
// Counts kept by the process, so that a caller (and its tests and
// benchmarks) can see what the platform did on its behalf.

#include <cstdint>

#include "admin/AdminApi.h"

namespace localplatform {

// How many configuration clients of the file-server service this process has
// made and freed: every client created must be freed exactly once.
ZRPLATFORM_ADMIN int64_t VeskClientsCreated();
ZRPLATFORM_ADMIN int64_t VeskClientsDestroyed();

// How many times this process has waited for answers from a PostgreSQL
// store, however many statements each wait carried.
ZRPLATFORM_ADMIN int64_t StoreRoundTrips();

}  // namespace localplatform
