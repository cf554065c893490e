#pragma once
// Keeps the batches of one record catalogue and its doctor apart: a lock
// file beside the catalogue (flock), which every batch holds shared and
// doctor exclusive, so that doctor never takes a record in flight for a
// disagreement, let alone mends it. The lock goes with the process that
// holds it, however it ends.

#include <string>

namespace snaphost {

// The lock file of the catalogue at `cataloguePath`.
std::string CatalogueLockPath(const std::string& cataloguePath);

class CatalogueLock {
 public:
  enum class Use {
    kBatch,   // shared with other batches; waits for a running doctor
    kDoctor,  // alone; waits for running batches only when `wait`
  };

  // Takes the lock of the catalogue at `cataloguePath`, whose folder exists.
  // Throws HostError when it cannot, or, for doctor without `wait`, when a
  // batch holds it: "a batch of this catalogue is running".
  CatalogueLock(const std::string& cataloguePath, Use use, bool wait);
  CatalogueLock(const CatalogueLock&) = delete;
  CatalogueLock& operator=(const CatalogueLock&) = delete;
  ~CatalogueLock();

 private:
  int fd_ = -1;
};

}  // namespace snaphost
