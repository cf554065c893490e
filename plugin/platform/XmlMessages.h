#pragma once
// The platform's message library: records that travel as XML text, with
// fields addressed by numbers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "PlatformApi.h"

class CNMessageBase;
using CNMessageList = std::vector<std::shared_ptr<CNMessageBase>>;

class ZR_PLATFORM_API CNMessageBase {
 public:
  CNMessageBase(int domain, int type);
  CNMessageBase(const CNMessageBase&) = delete;
  CNMessageBase& operator=(const CNMessageBase&) = delete;
  virtual ~CNMessageBase();

  // The record as XML text in `xml`. 0 on success.
  int serialize(std::string& xml, bool pretty);
  // Replaces the record's fields with those of `xml`. 0 on success; on text
  // that is not a well-formed message of this type the record is left empty.
  int unserialize(std::string& xml);

  // The list field with the given address, created empty when absent.
  CNMessageList& getlistobject(short group, short index, unsigned long messageId,
                               unsigned int fieldId, bool create);
  // The text field with the given address; empty when absent.
  std::string getstring(short group, short index, unsigned long messageId, unsigned int fieldId);
  void setstring(short group, short index, unsigned long messageId, unsigned int fieldId,
                 const std::string& value);
  // The 64-bit field with the given address; 0 when absent.
  int64_t getint64(short index, unsigned long messageId, unsigned int fieldId) const;
  void setint64(short index, unsigned long messageId, unsigned int fieldId, int64_t value);

  int domain() const { return domain_; }
  int type() const { return type_; }

 private:
  struct Fields;

  // The fields to change: the record's own, copied first while other
  // records share them.
  Fields& ownFields();

  int domain_;
  int type_;
  // Null while the record has no field. Records read from the same text
  // share the fields read from it (and the library keeps them for the next
  // reader of that text) until one of them changes.
  std::shared_ptr<Fields> fields_;
};

namespace App {

// Asks for every configured NFS share.
class GetNFSShareReq : public CNMessageBase {
 public:
  GetNFSShareReq() : CNMessageBase(30, 642) {}
};

// Every configured NFS share, as a list of NFSShares.
class GetNFSShareResp : public CNMessageBase {
 public:
  GetNFSShareResp() : CNMessageBase(30, 644) {}
};

// One configured NFS share.
class NFSShares : public CNMessageBase {
 public:
  NFSShares() : CNMessageBase(30, 643) {}
};

// Addresses of the share list in a GetNFSShareResp, and of the fields of
// each NFSShares entry in it.
constexpr short kNFSShareListGroup = 1;
constexpr short kNFSShareListIndex = 1;
constexpr unsigned long kNFSShareListMessage = 509091626;  // 0x1E581F2A
constexpr unsigned int kNFSShareListField = 1427983;
constexpr unsigned long kNFSSharesMessage = 513467887;  // 0x1E9AE5EF, every field of an entry
constexpr short kShareGroup = 2;
constexpr short kShareIndex = 2;
constexpr unsigned int kShareField = 4977462;
constexpr short kNFSServerClientNameGroup = 6;
constexpr short kNFSServerClientNameIndex = 12;
constexpr unsigned int kNFSServerClientNameField = 13278345;
constexpr short kShareSubclientIndex = 1;
constexpr unsigned int kShareSubclientField = 10794118;

}  // namespace App
