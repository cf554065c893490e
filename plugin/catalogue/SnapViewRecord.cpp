#include "SnapViewRecord.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "Log.h"

std::string NumToStr(int32_t n) {
  char buffer[128];
  std::snprintf(buffer, sizeof(buffer), "%d", n);
  return buffer;
}

void GetSnapXmlString(std::string& record, std::string& toTime, std::string& mntPath,
                      std::string& nfsClient, std::string& uid, std::string& gid,
                      std::string& snapName, std::string& copyPrecedence,
                      std::string& nfsServerClientName, std::string& readOnly,
                      std::string& writablePit) {
  record = formats::ViewRecordText({toTime, mntPath, nfsClient, uid, gid, snapName,
                                    nfsServerClientName, copyPrecedence, readOnly, writablePit});
}

bool ReadViewValue(std::string_view piece, const formats::ViewTag& tag, std::string_view& value) {
  // Every reader of a value logs under the name of the one reader the log
  // has always named, GetValueFromXmlString, which this one serves: a piece
  // that cannot be read is reported the same way wherever it is met.
  static const char kFunction[] =
      "int GetValueFromXmlString(const string&, const string&, std::string&)";
  formats::TagSearch found = tag.FindValue(piece, value);
  if (found == formats::TagSearch::kFound) return true;
  const std::string& missing =
      found == formats::TagSearch::kNoOpening ? tag.opening() : tag.closing();
  ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: Failed to parse [%s] from XML string [%s].",
           missing.c_str(), std::string(piece).c_str());
  return false;
}

int GetValueFromXmlString(const std::string& xml, const std::string& tag, std::string& value) {
  std::string_view found;
  if (!ReadViewValue(xml, formats::ViewTag(tag), found)) return -1;
  value = found;
  return 0;
}

int GetValueFromXmlString(const std::string& xml, const std::string& tag, int& value) {
  std::string text;
  int result = GetValueFromXmlString(xml, tag, text);
  if (result != 0) return result;
  // atoi itself is undefined beyond the int range; strtol saturates instead.
  long number = std::strtol(text.c_str(), nullptr, 10);
  value = number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : static_cast<int>(number);
  return 0;
}
