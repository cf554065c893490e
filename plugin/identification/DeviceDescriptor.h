#pragma once
// Device descriptors: the brace-delimited key:value texts in which the host
// describes a record's source device and snap device, for example
//   {orutype:,type:nfs,lunuuid:/share1,targethostname:nfs01}
// A value is every character between its ':' and the ',' (or, for the last
// entry, the '}') that ends it. Nothing is trimmed, unquoted or unescaped:
// descriptors from the host keep their backslash-slash pairs.

#include <string>

// Looks up `key` in `descriptor`. The entry "{key:" wins over ",key:"
// wherever each stands; among entries of one form the first wins. The value
// ends at the first ',' after it, or, only when no ',' follows at all, at the
// first '}'. True with the value in `value`; false, with `value` left as the
// caller put it, when there is no such entry or its value is not terminated.
bool GetJsonVal(const std::string& descriptor, const std::string& key, std::string& value);
