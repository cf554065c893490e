#pragma once
// The plug-in's call-site logging helper over the platform's log writer.
// It asks the writer's level before formatting anything, and the writer's
// printf-format attribute lets the compiler check every format.

#include "LogWriter.h"

namespace zrso {

// Message levels.
constexpr int LOG_ERROR = -1;   // failures
constexpr int LOG_NOTICE = 1;   // notable events
constexpr int LOG_DETAIL = 4;   // derived values, counts, request and response texts

}  // namespace zrso

// ZRSO_LOG(level, functionText, format, args...): one message, written only
// when the writer's current level is at least `level`.
//
// The function texts are part of the plug-in's contract, as its messages
// are: whoever reads the log finds a function's lines by its text, so each
// is a fixed string of the function's signature, the same from every
// compiler (never __PRETTY_FUNCTION__), changed only with the contract. The
// entry points' texts are defined once, in engine/EntryPointTexts.h.
#define ZRSO_LOG(level, function, ...)                                         \
  do {                                                                         \
    CLogWriterInterface* zrsoWriter_ = g_ptrLogWriter.get();                   \
    if (zrsoWriter_ != nullptr && zrsoWriter_->getLevel() >= (level)) {        \
      zrsoWriter_->write((level), (function), __LINE__, 0, 0, __VA_ARGS__);    \
    }                                                                          \
  } while (0)
