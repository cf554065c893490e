// Platform clients: a client name resolves to the network host name the
// management database holds for it. The local management database knows
// clients by name only: a handle made with a client id, or one asked to
// create its client, is refused.

#include "ZrLib.h"
#include "admin/InjectedFaults.h"
#include "frame/ServiceFrame.h"

namespace {

using localplatform::Answer;
using localplatform::FixedArguments;
using localplatform::Service;

const Service kHostName = {"ZRClient::getNetworkHostname", localplatform::kFaultClientHostName,
                           false};
const Service kMangledHostName = {"ZRClient::getNetworkHostnameMangled",
                                  localplatform::kFaultClientHostName, false};

int LookUpHost(const Service& service, const std::string& clientName, const char* broken,
               void* reserved, std::string& hostName) {
  std::string found;
  FixedArguments arguments;
  arguments.Require(broken == nullptr, broken).RequireNullReserved(reserved);
  int code = CallService(service, clientName, arguments, [&](localplatform::Store& store) {
               if (store.FindClientHost(clientName, found)) return Answer();
               return Answer{localplatform::kNotKnown, "client [" + clientName + "] is not known"};
             }).code;
  if (code == localplatform::kServiceDone) hostName = std::move(found);
  return code;
}

}  // namespace

ZRClient::ZRClient(const std::string& clientName, bool create, unsigned long clientId)
    : clientName_(clientName),
      brokenArgument_(create     ? "the create flag must be false"
                      : clientId ? "the client id must be 0"
                                 : nullptr) {}

ZRClient::ZRClient(const std::string& clientName, ZRNameType nameType, unsigned long clientId,
                   void* reserved)
    : clientName_(clientName),
      brokenArgument_(nameType != ZR_NAME_TYPE_CLIENT_NAME
                          ? "the name type must be ZR_NAME_TYPE_CLIENT_NAME"
                      : clientId != 0       ? "the client id must be 0"
                      : reserved != nullptr ? localplatform::FixedArguments::kReservedMustBeNull
                                            : nullptr) {}

int ZRClient::getNetworkHostname(std::string& hostName, void* reserved) {
  return LookUpHost(kHostName, clientName_, brokenArgument_, reserved, hostName);
}

// The local platform addresses the file-server service by the plain host name.
int ZRClient::getNetworkHostnameMangled(std::string& hostName, void* reserved) {
  return LookUpHost(kMangledHostName, clientName_, brokenArgument_, reserved, hostName);
}
