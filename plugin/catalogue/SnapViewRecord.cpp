#include "catalogue/SnapViewRecord.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/Log.h"

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
  std::string built;
  built.append("<SnapStart><ToTime>").append(toTime);
  built.append("</ToTime><MntPath>").append(mntPath);
  built.append("</MntPath><NFSClient>").append(nfsClient);
  built.append("</NFSClient><UID>").append(uid);
  built.append("</UID><GID>").append(gid);
  built.append("</GID><SnapName>").append(snapName);
  built.append("</SnapName><NFSServer>").append(nfsServerClientName);
  built.append("</NFSServer><CopyPrecedence>").append(copyPrecedence);
  built.append("</CopyPrecedence><ReadOnly>").append(readOnly);
  built.append("</ReadOnly><WritablePIT>").append(writablePit);
  built.append("</WritablePIT></SnapStart>");
  record = std::move(built);
}

int GetValueFromXmlString(const std::string& xml, const std::string& tag, std::string& value) {
  static const char kFunction[] =
      "int GetValueFromXmlString(const string&, const string&, std::string&)";
  const std::string opening = "<" + tag + ">";
  const std::string closing = "</" + tag + ">";

  size_t openAt = xml.find(opening);
  if (openAt == std::string::npos) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: Failed to parse [%s] from XML string [%s].",
             opening.c_str(), xml.c_str());
    return -1;
  }
  size_t valueAt = openAt + opening.size();
  size_t closeAt = xml.find(closing);
  if (closeAt == std::string::npos) {
    ZRSO_LOG(zrso::LOG_ERROR, kFunction, "ERROR: Failed to parse [%s] from XML string [%s].",
             closing.c_str(), xml.c_str());
    return -1;
  }
  // A closing text before the value makes the unsigned length wrap, and
  // substr then takes everything up to the end.
  value = xml.substr(valueAt, closeAt - valueAt);
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
