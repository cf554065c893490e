// The platform information store: numbers by section and key, kept in the
// store. A read that fails, by the store or by an injected fault, answers
// like an absent entry; either failure is logged.

#include "ZrLib.h"
#include "admin/InjectedFaults.h"
#include "frame/ServiceFrame.h"

namespace {

using localplatform::Answer;
using localplatform::FixedArguments;
using localplatform::Service;
using localplatform::Store;

const Service kGetNumber = {"ZRPlatformInfo::getNumber", localplatform::kFaultInformationStore,
                            false};
const Service kSetNumber = {"ZRPlatformInfo::setNumber", localplatform::kFaultInformationStore,
                            true};
const Service kDeleteField = {"ZRPlatformInfo::deleteField", localplatform::kFaultInformationStore,
                              true};

}  // namespace

ZRPlatformInfo::ZRPlatformInfo() = default;

int ZRPlatformInfo::getNumber(const std::string& section, const std::string& key, uint64_t& value) {
  bool found = false;
  uint64_t stored = 0;
  int code = CallService(kGetNumber, key, FixedArguments(), [&](Store& store) {
               found = store.GetNumber(section, key, stored);
               return Answer();
             }).code;
  if (code != localplatform::kServiceDone || !found) return 0;
  value = stored;
  return 1;
}

int ZRPlatformInfo::setNumber(const std::string& section, const std::string& key, uint64_t value) {
  return CallService(kSetNumber, key, FixedArguments(),
                     [&](Store& store) {
                       store.SetNumber(section, key, value);
                       return Answer();
                     })
      .code;
}

int ZRPlatformInfo::deleteField(const std::string& section, const std::string& key) {
  return CallService(kDeleteField, key, FixedArguments(),
                     [&](Store& store) {
                       store.DeleteNumber(section, key);
                       return Answer();
                     })
      .code;
}
