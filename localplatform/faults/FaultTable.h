#pragma once
// What the services' frame counts the injected faults with.

#include <cstdint>
#include <string>
#include <vector>

#include "admin/Store.h"

namespace localplatform {

// What the faults set make of one call.
enum class FaultEffect { kNone, kFails, kThrows };

// The faults set in one store, as of its fault stamp, with the calls each
// has counted in this process. Refresh is given the stamp, which the
// store reads as a unit begins (Store::Begin), and reads the faults only
// when it moved, which a fault set or cleared by any connection does; a
// fault set as before keeps its count. While none is set, looking one up
// reads nothing.
class FaultTable {
 public:
  // Throws StoreError.
  void Refresh(Store& store, int64_t stamp);
  // Counts a call of the service with fault `name` about `subject` with
  // each fault that applies to it, and tells what they make of it.
  FaultEffect CountCall(const char* name, const std::string& subject);

 private:
  struct Counted {
    FaultRow fault;
    int64_t calls = 0;
  };
  bool read_ = false;
  int64_t stamp_ = 0;
  std::vector<Counted> faults_;
};

}  // namespace localplatform
