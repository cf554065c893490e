#pragma once

#include <string>

#include "admin/AdminApi.h"

namespace localplatform {

// The platform's log file: a line per message,
//   2026-12-06 14:35:45.123 pid 4242 tid 4242 level -1 [function:line] message
// Each line goes out in one append, so processes may share the file. The
// file and its folder are made by the first message, not before. A message
// that cannot be written is lost, and said on stderr, once for the writer:
//   snaphost: warning: cannot write the log file /var/zrso.log: Permission denied; log lines are
//   lost
//
// Puts such a writer of the file at `path` in place as the process-wide
// writer, writing messages up to `level`.
ZRPLATFORM_ADMIN void InstallFileLogWriter(const std::string& path, int level);

}  // namespace localplatform
