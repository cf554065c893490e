#pragma once
// How the local platform reports its own failures: one line at the error
// level through the process-wide log writer.

#include "LogWriter.h"

#define PLATFORM_LOG_ERROR(function, ...)                                      \
  do {                                                                         \
    CLogWriterInterface* platformWriter_ = g_ptrLogWriter.get();               \
    if (platformWriter_ != nullptr && platformWriter_->getLevel() >= -1) {     \
      platformWriter_->write(-1, (function), __LINE__, 0, 0, __VA_ARGS__);     \
    }                                                                          \
  } while (0)
