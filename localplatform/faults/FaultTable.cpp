#include "faults/FaultTable.h"

#include <algorithm>
#include <utility>

#include "admin/InjectedFaults.h"

namespace localplatform {

namespace {

bool SameSetting(const FaultRow& a, const FaultRow& b) {
  return a.name == b.name && a.scope == b.scope && a.nth == b.nth && a.onward == b.onward;
}

// Whether `fault` applies to a call of the service with fault `name` about
// `subject`.
bool AppliesTo(const FaultRow& fault, const char* name, const std::string& subject) {
  if (fault.name == kFaultThrow) {
    return fault.scope.empty() || fault.scope == name ||
           fault.scope == std::string(name) + ":" + subject;
  }
  return fault.name == name && (fault.scope.empty() || fault.scope == subject);
}

}  // namespace

void FaultTable::Refresh(Store& store, int64_t stamp) {
  if (read_ && stamp == stamp_) return;
  std::vector<Counted> faults;
  for (FaultRow& fault : store.ListFaults()) {
    auto before = std::find_if(faults_.begin(), faults_.end(), [&](const Counted& known) {
      return SameSetting(known.fault, fault);
    });
    faults.push_back({std::move(fault), before == faults_.end() ? 0 : before->calls});
  }
  faults_ = std::move(faults);
  stamp_ = stamp;
  read_ = true;
}

FaultEffect FaultTable::CountCall(const char* name, const std::string& subject) {
  bool fails = false;
  bool throws = false;
  for (Counted& counted : faults_) {
    const FaultRow& fault = counted.fault;
    if (!AppliesTo(fault, name, subject)) continue;
    ++counted.calls;
    if (counted.calls == fault.nth || (fault.onward && counted.calls > fault.nth)) {
      (fault.name == kFaultThrow ? throws : fails) = true;
    }
  }
  return throws ? FaultEffect::kThrows : fails ? FaultEffect::kFails : FaultEffect::kNone;
}

}  // namespace localplatform
