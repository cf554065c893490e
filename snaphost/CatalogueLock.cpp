#include "CatalogueLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "HostContext.h"

namespace snaphost {
namespace {

constexpr char kBatchRunning[] = "a batch of this catalogue is running";

HostError LockError(const std::string& path) {
  return HostError("cannot lock the record catalogue (" + path + "): " + std::strerror(errno));
}

// flock, again when a signal cut the wait short.
int Flock(int fd, int operation) {
  int rc;
  do {
    rc = flock(fd, operation);
  } while (rc != 0 && errno == EINTR);
  return rc;
}

}  // namespace

std::string CatalogueLockPath(const std::string& cataloguePath) { return cataloguePath + ".lock"; }

CatalogueLock::CatalogueLock(const std::string& cataloguePath, Use use, bool wait) {
  const std::string path = CatalogueLockPath(cataloguePath);
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) throw LockError(path);
  const int kind = use == Use::kBatch ? LOCK_SH : LOCK_EX;
  if (Flock(fd_, kind | LOCK_NB) == 0) return;
  if (errno == EWOULDBLOCK) {
    if (use == Use::kDoctor && !wait) {
      close(fd_);
      throw HostError(std::string(kBatchRunning) + " (doctor --wait waits for it to end)");
    }
    std::cerr << "snaphost: note: "
              << (use == Use::kBatch ? "doctor of this catalogue is running"
                                     : std::string(kBatchRunning))
              << "; waiting for it to end\n";
    if (Flock(fd_, kind) == 0) return;
  }
  HostError error = LockError(path);
  close(fd_);
  throw error;
}

CatalogueLock::~CatalogueLock() { close(fd_); }

}  // namespace snaphost
