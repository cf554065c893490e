#include "frame/ServiceFrame.h"

#include "PlatformLog.h"
#include "admin/InjectedFaults.h"
#include "admin/ServiceFailures.h"
#include "admin/StorableRows.h"
#include "store/ProcessStore.h"

namespace localplatform {
namespace {

std::string InjectedText(const char* fault, const std::string& subject) {
  return "injected fault [" + std::string(fault) + "]" +
         (subject.empty() ? std::string() : " for [" + subject + "]");
}

// What an injected failure answers, thrown by the gate of the call's unit.
struct InjectedFailure {
  Answer answer;
};

Answer Run(const Service& service, const std::string& subject, ServiceWork work) {
  std::shared_ptr<StoreConnection> connection;
  try {
    connection = CurrentConnection();
    Store& store = *connection->store;
    // The injected faults are looked for before anything of the work counts.
    StoreUnit unit(store, service.writes, [&](int64_t faultStamp) {
      connection->faults.Refresh(store, faultStamp);
      switch (connection->faults.CountCall(service.fault, subject)) {
        case FaultEffect::kThrows:
          throw InjectedThrow(InjectedText(kFaultThrow, subject) + " in " + service.function);
        case FaultEffect::kFails:
          throw InjectedFailure{{kFaultInjected, InjectedText(service.fault, subject)}};
        case FaultEffect::kNone:
          break;
      }
    });
    Answer answer;
    try {
      answer = work(store);
    } catch (const StoreRefusal& error) {
      answer = {kWrongArgument, std::string("platform store ") + error.what()};
    }
    if (answer.code == kServiceDone) {
      unit.Commit();
    } else {
      unit.PassGate();
    }
    return answer;
  } catch (const InjectedFailure& failure) {
    return failure.answer;
  } catch (const StoreError& error) {
    // A store that could not be opened names itself in the error.
    const std::string where = connection != nullptr ? connection->store->Where() + ": " : "";
    return {kStoreUnavailable, "platform store: " + where + error.what()};
  }
}

}  // namespace

Answer CallService(const Service& service, const std::string& subject,
                   const FixedArguments& arguments, ServiceWork work) {
  Answer answer = arguments.broken() != nullptr
                      ? Answer{kWrongArgument, std::string("wrong argument: ") + arguments.broken()}
                      : Run(service, subject, work);
  if (IsLogged(answer.code)) {
    PLATFORM_LOG_ERROR(service.function, "%s", answer.why.c_str());
    NoteServiceFailure(service, answer);
  }
  return answer;
}

}  // namespace localplatform
