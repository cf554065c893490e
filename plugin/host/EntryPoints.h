#pragma once
// The plug-in's exported surface: eleven entry points with plain names, as
// the host resolves them and the plug-in defines them. Nine take a batch: an
// array of host-owned records, a signed 16-bit count and the host's utility
// object. The walk stops at the count or at the first null entry. No
// exception leaves an entry point.

#include <cstdint>

#include "PluginExport.h"
#include "SnapInfo.h"

extern "C" {

// Writes version 1.0.0; a null out-parameter is skipped.
ZRSO_EXPORT void zrso_version(uint16_t* major, uint16_t* minor, uint16_t* patch);
// 1, whatever is asked.
ZRSO_EXPORT int zrso_isSupported(void* what, int32_t kind, void* context, void* reserved,
                                 int16_t flags);

ZRSO_EXPORT ZRSO::ResultCode zrso_prepareDevices(ZRSO::SnapInfo** records, int16_t count,
                                                 ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_unprepareDevices(ZRSO::SnapInfo** records, int16_t count,
                                                   ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_snapDevices(ZRSO::SnapInfo** records, int16_t count,
                                              ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_isMapped(ZRSO::SnapInfo** records, int16_t count,
                                           ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_mapSnaps(ZRSO::SnapInfo** records, int16_t count,
                                           ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_unmapSnaps(ZRSO::SnapInfo** records, int16_t count,
                                             ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_deleteSnaps(ZRSO::SnapInfo** records, int16_t count,
                                              ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_revertSnaps(ZRSO::SnapInfo** records, int16_t count,
                                              ZRSO::ZROSUtil* util);
ZRSO_EXPORT ZRSO::ResultCode zrso_reconcileSnaps(ZRSO::SnapInfo** records, int16_t count,
                                                 ZRSO::ZROSUtil* util);

}  // extern "C"
