#pragma once
// The one way every platform service call runs: the arguments whose values
// the caller must fix are checked, the store is opened, an injected fault is
// looked for, the work is done in one unit of the store, a store failure is
// translated; a failure is logged once and answered with the code of its
// cause (admin/ServiceCodes.h).

#include <stdexcept>
#include <string>

#include "admin/ServiceCodes.h"
#include "admin/Store.h"

namespace localplatform {

// A platform service as its calls are logged and made to fail.
struct Service {
  const char* function;  // its name in log lines
  const char* fault;     // the fault that makes it fail (admin/InjectedFaults.h)
  bool writes;           // whether its work changes the store
};

// What a call answers: kServiceDone, or a failure code with the reason.
struct Answer {
  int code = kServiceDone;
  std::string why;
};

// The values a caller must pass for some arguments. The first one found
// wrong makes the call fail with kWrongArgument, before any work.
class FixedArguments {
 public:
  // `holds` tells whether the argument is as required; `requirement` says
  // what is required, for the log.
  FixedArguments& Require(bool holds, const char* requirement) {
    if (!holds && broken_ == nullptr) broken_ = requirement;
    return *this;
  }
  // Every platform call's reserved pointer is passed null.
  FixedArguments& RequireNullReserved(const void* reserved) {
    return Require(reserved == nullptr, kReservedMustBeNull);
  }
  const char* broken() const { return broken_; }

  static constexpr char kReservedMustBeNull[] = "the reserved pointer must be null";

 private:
  const char* broken_ = nullptr;
};

// What an injected throw throws.
class InjectedThrow : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Calls `work(Store&) -> Answer` without copying it.
class ServiceWork {
 public:
  template <typename Work>
  explicit ServiceWork(Work& work)
      : work_(&work),
        call_([](void* stored, Store& store) { return (*static_cast<Work*>(stored))(store); }) {}
  Answer operator()(Store& store) const { return call_(work_, store); }

 private:
  void* work_;
  Answer (*call_)(void*, Store&);
};

// Runs one call of `service` about `subject` (what a scope of its fault is
// compared with): `work` runs unless an argument is wrong or a fault is
// injected. Throws InjectedThrow when a throw is injected; nothing else.
Answer CallService(const Service& service, const std::string& subject,
                   const FixedArguments& arguments, ServiceWork work);

// Keeps `answer` as the last failure of `service` (admin/ServiceFailures.h);
// the frame calls it for every logged failure.
void NoteServiceFailure(const Service& service, const Answer& answer);

template <typename Work>
Answer CallService(const Service& service, const std::string& subject,
                   const FixedArguments& arguments, Work&& work) {
  return CallService(service, subject, arguments, ServiceWork(work));
}

}  // namespace localplatform
