#include "frame/ServiceFrame.h"

#include "PlatformLog.h"
#include "faults/InjectedFaults.h"
#include "frame/ServiceFailures.h"
#include "store/ProcessStore.h"
#include "store/StorableRows.h"

namespace localplatform {
namespace {

std::string InjectedText(const char* fault, const std::string& subject) {
  return "injected fault [" + std::string(fault) + "]" +
         (subject.empty() ? std::string() : " for [" + subject + "]");
}

Answer Run(const Service& service, const std::string& subject, ServiceWork work) {
  std::shared_ptr<StoreConnection> connection;
  try {
    connection = CurrentConnection();
    StoreUnit unit(*connection->store, service.writes);
    connection->faults.Refresh(*connection->store);
    switch (connection->faults.CountCall(service.fault, subject)) {
      case FaultEffect::kThrows:
        throw InjectedThrow(InjectedText(kFaultThrow, subject) + " in " + service.function);
      case FaultEffect::kFails:
        return {kFaultInjected, InjectedText(service.fault, subject)};
      case FaultEffect::kNone:
        break;
    }
    Answer answer = work(*connection->store);
    if (answer.code == kServiceDone) unit.Commit();
    return answer;
  } catch (const StoreRefusal& error) {
    return {kWrongArgument, std::string("platform store ") + error.what()};
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
