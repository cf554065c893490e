#pragma once

#include <atomic>
#include <string>

#include "LogWriter.h"

namespace localplatform {

// Appends one line per message to a log file:
//   2026-12-06 14:35:45.123 pid 4242 tid 4242 level -1 [function:line] message
// Each line goes out in one append, so processes may share the file. The
// file and its folder are made by the first message, not before. A message
// that cannot be written is lost, and said on stderr, once for the writer:
//   snaphost: warning: cannot write the log file /var/zrso.log: Permission denied; log lines are lost
class FileLogWriter : public CLogWriterInterface {
 public:
  FileLogWriter(std::string path, int level);

  int getLevel() const override { return level_; }
  const std::string& path() const { return path_; }

 protected:
  void writeV(int level, const char* function, int line, const char* format,
              va_list args) override;

 private:
  void WarnOnce(const std::string& why);

  std::string path_;
  int level_;
  std::atomic<bool> warned_{false};
};

// Puts a FileLogWriter in place as the process-wide writer.
void InstallFileLogWriter(const std::string& path, int level);

}  // namespace localplatform
