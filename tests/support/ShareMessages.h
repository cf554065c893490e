#pragma once
// Reading the share list messages in tests, by the field addresses the
// platform declares.

#include <string>

#include "XmlMessages.h"

namespace testsupport {

inline CNMessageList& ShareList(CNMessageBase& response) {
  return response.getlistobject(App::kNFSShareListGroup, App::kNFSShareListIndex,
                                App::kNFSShareListMessage, App::kNFSShareListField, true);
}

inline std::string ShareOf(CNMessageBase& entry) {
  return entry.getstring(App::kShareGroup, App::kShareIndex, App::kNFSSharesMessage,
                         App::kShareField);
}

}  // namespace testsupport
