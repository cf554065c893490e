#pragma once
// The view record's text functions (the format: ViewRecordFormat.h).

#include <cstdint>
#include <string>
#include <string_view>

#include "PluginExport.h"
#include "ViewRecordFormat.h"

// `n` as printf "%d" gives it.
ZRSO_EXPORT std::string NumToStr(int32_t n);

// Replaces `record` with the view record of the ten values. Note the order:
// `copyPrecedence` comes before `nfsServerClientName` here, while the record
// holds NFSServer before CopyPrecedence.
ZRSO_EXPORT void GetSnapXmlString(std::string& record, std::string& toTime, std::string& mntPath,
                                  std::string& nfsClient, std::string& uid, std::string& gid,
                                  std::string& snapName, std::string& copyPrecedence,
                                  std::string& nfsServerClientName, std::string& readOnly,
                                  std::string& writablePit);

// Reads the value of the first `tag` element (`tag` without brackets, such as
// "MntPath"). 0 with the value in `value`; -1, logged, with `value` unchanged
// when the opening or the closing text is missing. Both texts are searched
// from the start of `xml`: a closing text placed before the opening one
// yields everything after the opening text.
ZRSO_EXPORT int GetValueFromXmlString(const std::string& xml, const std::string& tag,
                                      std::string& value);

// As above, the text converted as atoi does (text that does not begin with a
// number reads as 0; numbers beyond the int range are clamped to it). On -1
// `value` is unchanged.
ZRSO_EXPORT int GetValueFromXmlString(const std::string& xml, const std::string& tag, int& value);

// The string form's reading and message, for a tag made once for a whole
// scan: true with `value` pointing into `piece`; false, logged, with `value`
// unchanged.
bool ReadViewValue(std::string_view piece, const formats::ViewTag& tag, std::string_view& value);
