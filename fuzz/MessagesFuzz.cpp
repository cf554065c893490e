// Fuzzes the reading of message records from XML text, as a stored
// procedure's response arrives. Checks, beyond the absence of any crash or
// sanitizer report:
//  - text that is refused leaves an empty record: no share list entries;
//  - text that is accepted writes back into text that reads to the same
//    record, and writing is stable.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzProperty.h"
#include "XmlMessages.h"

namespace {

CNMessageList& Shares(CNMessageBase& message) {
  return message.getlistobject(App::kNFSShareListGroup, App::kNFSShareListIndex,
                               App::kNFSShareListMessage, App::kNFSShareListField, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  App::GetNFSShareResp response;
  if (response.unserialize(text) != 0) {
    Require(Shares(response).empty());
    return 0;
  }
  for (const auto& entry : Shares(response)) Require(entry != nullptr);

  std::string written;
  Require(response.serialize(written, false) == 0);
  App::GetNFSShareResp again;
  Require(again.unserialize(written) == 0);
  std::string rewritten;
  again.serialize(rewritten, false);
  Require(rewritten == written);

  std::string pretty;
  again.serialize(pretty, true);
  App::GetNFSShareResp fromPretty;
  Require(fromPretty.unserialize(pretty) == 0);
  std::string fromPrettyWritten;
  fromPretty.serialize(fromPrettyWritten, false);
  Require(fromPrettyWritten == written);
  return 0;
}
