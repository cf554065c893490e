#include "FileLogWriter.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <vector>

#include "SqliteDatabase.h"

namespace localplatform {

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

  std::string entry = std::string(stamp) + "." + std::to_string(now.tv_usec / 1000 + 1000).substr(1) +
                      " pid " + std::to_string(getpid()) + " tid " +
                      std::to_string(static_cast<long>(syscall(SYS_gettid))) + " level " +
                      std::to_string(level) + " [" + (function != nullptr ? function : "") + ":" +
                      std::to_string(line) + "] " + message.data() + "\n";

  int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  size_t slash = path_.rfind('/');
  if (fd < 0 && errno == ENOENT && slash != std::string::npos) {
    try {
      storage::MakeFolders(path_.substr(0, slash));
    } catch (const storage::SqliteError&) {
      return;
    }
    fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  }
  if (fd < 0) return;  // logging must never fail the caller
  ssize_t written = ::write(fd, entry.data(), entry.size());
  (void)written;
  close(fd);
}

void InstallFileLogWriter(const std::string& path, int level) {
  g_ptrLogWriter = std::make_shared<FileLogWriter>(path, level);
}

}  // namespace localplatform
