#include "frame/ServiceFrame.h"

#include "PlatformLog.h"
#include "faults/InjectedFaults.h"
#include "store/ProcessStore.h"

namespace localplatform {
namespace {

std::string InjectedText(const char* fault, const std::string& subject) {
  return "injected fault [" + std::string(fault) + "]" +
         (subject.empty() ? std::string() : " for [" + subject + "]");
}

Answer Run(const Service& service, const std::string& subject, ServiceWork work) {
  try {
    std::shared_ptr<StoreConnection> connection = CurrentConnection();
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
  } catch (const StoreError& error) {
    return {kStoreUnavailable, std::string("platform store: ") + error.what()};
  }
}

}  // namespace

Answer CallService(const Service& service, const std::string& subject,
                   const FixedArguments& arguments, ServiceWork work) {
  Answer answer = arguments.broken() != nullptr
                      ? Answer{kWrongArgument, std::string("wrong argument: ") + arguments.broken()}
                      : Run(service, subject, work);
  if (IsLogged(answer.code)) PLATFORM_LOG_ERROR(service.function, "%s", answer.why.c_str());
  return answer;
}

}  // namespace localplatform
