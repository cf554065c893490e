// The process-wide log writer and the variadic front of its write call.

#include "LogWriter.h"

std::shared_ptr<CLogWriterInterface> g_ptrLogWriter;

void CLogWriterInterface::write(int level, const char* function, int line, int, int,
                                const char* format, ...) {
  va_list args;
  va_start(args, format);
  writeV(level, function, line, format, args);
  va_end(args);
}
