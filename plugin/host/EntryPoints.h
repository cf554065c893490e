#pragma once
// The plug-in's exported surface: eleven entry points with plain names and
// their types, as the host resolves them and the plug-in defines them. Nine
// take a batch: an array of host-owned records, a signed 16-bit count and
// the host's utility object. The walk stops at the count or at the first
// null entry. No exception leaves an entry point.

#include <cstdint>

#include "PluginExport.h"
#include "SnapInfo.h"

namespace ZRSO {

// Writes version 1.0.0; a null out-parameter is skipped.
using VersionEntryPoint = void(uint16_t* major, uint16_t* minor, uint16_t* patch);
// 1, whatever is asked.
using SupportEntryPoint = int(void* what, int32_t kind, void* context, void* reserved,
                              int16_t flags);
// One batch: the records, their count and the host's utility object.
using BatchEntryPoint = ResultCode(SnapInfo** records, int16_t count, ZROSUtil* util);

}  // namespace ZRSO

extern "C" {

ZRSO_EXPORT ZRSO::VersionEntryPoint zrso_version;
ZRSO_EXPORT ZRSO::SupportEntryPoint zrso_isSupported;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_prepareDevices;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_unprepareDevices;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_snapDevices;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_isMapped;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_mapSnaps;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_unmapSnaps;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_deleteSnaps;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_revertSnaps;
ZRSO_EXPORT ZRSO::BatchEntryPoint zrso_reconcileSnaps;

}  // extern "C"
