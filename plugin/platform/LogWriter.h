#pragma once
// The platform's process-wide log writer. It is in place before the plug-in's
// first call; the plug-in only asks its level and writes to it.

#include <cstdarg>
#include <memory>

#include "PlatformApi.h"

class CLogWriterInterface {
 public:
  virtual ~CLogWriterInterface() = default;

  // The current level: a message of level L is written when this is >= L.
  virtual int getLevel() const = 0;

  // Writes one message. `function` is the caller's signature text, `line` its
  // source line; the two integers after it are reserved and always 0.
  ZR_PLATFORM_API void write(int level, const char* function, int line, int reserved1,
                             int reserved2, const char* format, ...)
      __attribute__((format(printf, 7, 8)));

 protected:
  virtual void writeV(int level, const char* function, int line, const char* format,
                      va_list args) = 0;
};

extern ZR_PLATFORM_API std::shared_ptr<CLogWriterInterface> g_ptrLogWriter;
