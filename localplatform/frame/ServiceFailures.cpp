#include "admin/ServiceFailures.h"

#include <map>
#include <mutex>

#include "frame/ServiceFrame.h"

namespace localplatform {
namespace {

struct Failures {
  std::mutex mutex;
  std::map<std::string, ServiceFailure> byFunction;
};

// Never destroyed: a service may still fail while the process ends.
Failures& Kept() {
  static Failures* failures = new Failures();
  return *failures;
}

}  // namespace

void MarkServiceFailures() {
  Failures& failures = Kept();
  std::lock_guard<std::mutex> lock(failures.mutex);
  failures.byFunction.clear();
}

std::vector<ServiceFailure> ServiceFailuresSinceMark() {
  Failures& failures = Kept();
  std::lock_guard<std::mutex> lock(failures.mutex);
  std::vector<ServiceFailure> kept;
  for (const auto& [function, failure] : failures.byFunction) kept.push_back(failure);
  return kept;
}

void NoteServiceFailure(const Service& service, const Answer& answer) {
  Failures& failures = Kept();
  std::lock_guard<std::mutex> lock(failures.mutex);
  failures.byFunction[service.function] = {service.function, service.fault, answer.code,
                                           answer.why};
}

}  // namespace localplatform
