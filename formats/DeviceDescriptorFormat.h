#pragma once
// Device descriptors: the brace-delimited key:value texts in which the host
// describes a record's source device and snap device, for example
//   {orutype:,type:nfs,lunuuid:/share1,targethostname:nfs01}
// A value is every character between its ':' and the ',' (or, for the last
// entry, the '}') that ends it. Nothing is trimmed, unquoted or unescaped.

#include <string>

namespace formats {

// The share path (source device) or the view's mount path (snap device).
constexpr char kLunUuidKey[] = "lunuuid";
// The host name of the NFS server that exports the share.
constexpr char kTargetHostNameKey[] = "targethostname";

// "{orutype:,type:nfs,lunuuid:" `lunUuid` ",targethostname:" `targetHostName`
// "}": the snap device written after a mapping, and the source device of an
// NFS share. Neither value may hold a ',' if it is to read back.
std::string NfsDeviceDescriptor(const std::string& lunUuid, const std::string& targetHostName);

// Looks up `key` in `descriptor`. The entry "{key:" wins over ",key:"
// wherever each stands; among entries of one form the first wins. The value
// ends at the first ',' after it, or, only when no ',' follows at all, at the
// first '}'. True with the value in `value`; false, with `value` left as the
// caller put it, when there is no such entry or its value is not terminated.
bool DescriptorValue(const std::string& descriptor, const std::string& key, std::string& value);

// The host hands descriptors out with each slash written as backslash-slash
// and takes them back with plain slashes.
std::string EscapeSlashes(const std::string& plain);
// The inverse: backslash-slash pairs become plain slashes.
std::string UnescapeSlashes(const std::string& escaped);

}  // namespace formats
