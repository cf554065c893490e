#pragma once
// The view record: one point-in-time view of a share as a short XML-shaped
// text, built by plain concatenation and read by plain substring search.
// Stored lists depend on this exact form (one line, no blanks):
//   <SnapStart><ToTime>..</ToTime><MntPath>..</MntPath><NFSClient>..</NFSClient>
//   <UID>..</UID><GID>..</GID><SnapName>..</SnapName><NFSServer>..</NFSServer>
//   <CopyPrecedence>..</CopyPrecedence><ReadOnly>..</ReadOnly>
//   <WritablePIT>..</WritablePIT></SnapStart>
// Values are copied verbatim; nothing is escaped, so a value must hold no
// ";" and no tag text.

#include <cstdint>
#include <string>

// `n` as printf "%d" gives it.
std::string NumToStr(int32_t n);

// Replaces `record` with the view record of the ten values. Note the order:
// `copyPrecedence` comes before `nfsServerClientName` here, while the record
// holds NFSServer before CopyPrecedence.
void GetSnapXmlString(std::string& record, std::string& toTime, std::string& mntPath,
                      std::string& nfsClient, std::string& uid, std::string& gid,
                      std::string& snapName, std::string& copyPrecedence,
                      std::string& nfsServerClientName, std::string& readOnly,
                      std::string& writablePit);

// Reads the value of the first `tag` element (`tag` without brackets, such as
// "MntPath"). 0 with the value in `value`; -1, logged, with `value` unchanged
// when the opening or the closing text is missing. Both texts are searched
// from the start of `xml`: a closing text placed before the opening one
// yields everything after the opening text.
int GetValueFromXmlString(const std::string& xml, const std::string& tag, std::string& value);

// As above, the text converted as atoi does (text that does not begin with a
// number reads as 0; numbers beyond the int range are clamped to it). On -1
// `value` is unchanged.
int GetValueFromXmlString(const std::string& xml, const std::string& tag, int& value);
