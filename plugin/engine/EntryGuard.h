#pragma once
// Keeps exceptions inside the plug-in: the host's process must never see one.

#include <exception>

#include "Log.h"
#include "SnapInfo.h"

namespace zrso {

// Runs `body`; an exception is logged and turns into RESULT_FAILURE. Records
// already handled keep what they were given.
template <typename Body>
ZRSO::ResultCode GuardEntry(const char* function, Body body) noexcept {
  try {
    return body();
  } catch (const std::exception& error) {
    try {
      ZRSO_LOG(LOG_ERROR, function, "Unexpected exception [%s]", error.what());
    } catch (...) {
    }
  } catch (...) {
    try {
      ZRSO_LOG(LOG_ERROR, function, "Unexpected exception of unknown type");
    } catch (...) {
    }
  }
  return ZRSO::RESULT_FAILURE;
}

}  // namespace zrso
