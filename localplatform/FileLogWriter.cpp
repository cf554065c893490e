#include "admin/FileLogWriter.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "LogWriter.h"
#include "SqliteDatabase.h"

namespace localplatform {
namespace {

class FileLogWriter : public CLogWriterInterface {
 public:
  FileLogWriter(std::string path, int level);

  int getLevel() const override { return level_; }
  const std::string& path() const { return path_; }

 protected:
  void writeV(int level, const char* function, int line, const char* format, va_list args) override;

 private:
  void WarnOnce(const std::string& why);

  std::string path_;
  int level_;
  std::atomic<bool> warned_{false};
};

FileLogWriter::FileLogWriter(std::string path, int level) : path_(std::move(path)), level_(level) {}

void FileLogWriter::writeV(int level, const char* function, int line, const char* format,
                           va_list args) {
  va_list measure;
  va_copy(measure, args);
  int size = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (size < 0) return;
  std::vector<char> message(static_cast<size_t>(size) + 1);
  std::vsnprintf(message.data(), message.size(), format, args);

  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char stamp[32];
  std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", &local);

  std::string entry =
      std::string(stamp) + "." + std::to_string(now.tv_usec / 1000 + 1000).substr(1) + " pid " +
      std::to_string(getpid()) + " tid " + std::to_string(static_cast<long>(syscall(SYS_gettid))) +
      " level " + std::to_string(level) + " [" + (function != nullptr ? function : "") + ":" +
      std::to_string(line) + "] " + message.data() + "\n";

  int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  size_t slash = path_.rfind('/');
  if (fd < 0 && errno == ENOENT && slash != std::string::npos) {
    try {
      storage::MakeFolders(path_.substr(0, slash));
    } catch (const storage::SqliteError& error) {
      WarnOnce(error.what());
      return;
    }
    fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  // Logging never fails the caller; a line lost is said once.
  if (fd < 0) return WarnOnce(std::strerror(errno));
  const ssize_t written = ::write(fd, entry.data(), entry.size());
  if (written != static_cast<ssize_t>(entry.size())) {
    WarnOnce(written < 0 ? std::strerror(errno) : "the line was cut short");
  }
  close(fd);
}

void FileLogWriter::WarnOnce(const std::string& why) {
  if (warned_.exchange(true)) return;
  const std::string warning = std::string(program_invocation_short_name) +
                              ": warning: cannot write the log file " + path_ + ": " + why +
                              "; log lines are lost\n";
  const ssize_t written = ::write(STDERR_FILENO, warning.data(), warning.size());
  (void)written;  // nowhere left to say it
}

}  // namespace

void InstallFileLogWriter(const std::string& path, int level) {
  g_ptrLogWriter = std::make_shared<FileLogWriter>(path, level);
}

}  // namespace localplatform
