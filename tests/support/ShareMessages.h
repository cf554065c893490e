#pragma once
// Building and reading the share list messages in tests, by the field
// addresses the platform declares.

#include <memory>
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

inline std::string ClientNameOf(CNMessageBase& entry) {
  return entry.getstring(App::kNFSServerClientNameGroup, App::kNFSServerClientNameIndex,
                         App::kNFSSharesMessage, App::kNFSServerClientNameField);
}

inline int64_t SubclientOf(const CNMessageBase& entry) {
  return entry.getint64(App::kShareSubclientIndex, App::kNFSSharesMessage,
                        App::kShareSubclientField);
}

// Appends one entry to the response's share list.
inline void AddShare(CNMessageBase& response, const std::string& share,
                     const std::string& clientName, int64_t subclientId) {
  auto entry = std::make_shared<App::NFSShares>();
  entry->setstring(App::kShareGroup, App::kShareIndex, App::kNFSSharesMessage, App::kShareField,
                   share);
  entry->setstring(App::kNFSServerClientNameGroup, App::kNFSServerClientNameIndex,
                   App::kNFSSharesMessage, App::kNFSServerClientNameField, clientName);
  entry->setint64(App::kShareSubclientIndex, App::kNFSSharesMessage, App::kShareSubclientField,
                  subclientId);
  ShareList(response).push_back(entry);
}

}  // namespace testsupport
