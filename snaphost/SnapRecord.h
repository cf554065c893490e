#pragma once
// The host's own snapshot record, as it keeps it between runs.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace snaphost {

struct SnapRecord {
  std::string id;              // a UUID; also the snapshot UUID the plug-in names views by
  int snapNumber = 0;          // per catalogue, counting from 1
  std::string sourceDevice;    // descriptor with plain slashes; the plug-in gets them escaped
  std::string snapDevice;      // exactly as the plug-in set it; empty until mapped
  int status = 0;
  int errorCode = 0;
  std::string errorText;
  std::map<int, std::string> metadata;
  std::optional<int> jobId;
  std::string arrayName;       // the array findArray accepts
  std::string hostIdentifier;
  std::string mountHostName;
  int64_t createdAt = 0;       // seconds since the epoch
};

// One entry of a record's history: what an operation of the plug-in left in
// the record.
struct RecordEvent {
  int64_t at = 0;  // seconds since the epoch
  std::string operation;
  int status = 0;
  int errorCode = 0;
  std::string errorText;
};

// What a status the plug-in set means, in a word or two ("snapped",
// "mapped"); "none" for 0, which no step sets; "unknown" for any other code.
const char* StatusMeaning(int status);

}  // namespace snaphost
