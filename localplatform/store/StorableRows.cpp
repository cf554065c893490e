#include "admin/StorableRows.h"

namespace localplatform {
namespace {

std::string LengthRefusal(const char* field, const std::string& text, size_t limit) {
  if (text.size() <= limit) return std::string();
  return std::string("the ") + field + " is " + std::to_string(text.size()) +
         " bytes long, over the limit of " + std::to_string(limit) + " bytes";
}

void Refuse(const std::string& why) {
  if (!why.empty()) throw StoreRefusal("refused: " + why);
}

}  // namespace

std::string NameRefusal(const char* field, const std::string& name) {
  if (name.empty()) return std::string("the ") + field + " is empty";
  if (name.find('\0') != std::string::npos)
    return std::string("the ") + field + " holds a NUL byte";
  return LengthRefusal(field, name, kNameLimit);
}

void CheckStorable(const ClientRow& client) {
  Refuse(NameRefusal("client name", client.name));
  Refuse(NameRefusal("host name", client.hostName));
}

void CheckStorable(const ShareRow& share) {
  Refuse(NameRefusal("share name", share.share));
  Refuse(NameRefusal("server client name", share.serverClientName));
}

void CheckStorable(const NfsServerRow& server) {
  Refuse(NameRefusal("host name", server.hostName));
}

void CheckStorable(const ExportRow& row) {
  Refuse(NameRefusal("host name", row.hostName));
  Refuse(LengthRefusal("mount path", row.mountPath, kMountPathLimit));
}

void CheckStorable(const FaultRow& fault) {
  Refuse(LengthRefusal("fault name", fault.name, kKeyLimit));
  Refuse(LengthRefusal("fault scope", fault.scope, kKeyLimit));
}

void CheckStorableViewList(const std::string& text) {
  Refuse(LengthRefusal("view list", text, kViewListLimit));
}

void CheckStorableNumber(const std::string& section, const std::string& key) {
  Refuse(LengthRefusal("information store section", section, kKeyLimit));
  Refuse(LengthRefusal("information store key", key, kKeyLimit));
}

}  // namespace localplatform
