#include "PrintSnapInfo.h"

#include <cstring>
#include <string>

#include "Log.h"

void PrintSnapInfo(ZRSO::SnapInfo* snapInfo) {
  static const char kFunction[] = "void PrintSnapInfo(ZRSO::SnapInfo*)";
  if (snapInfo == nullptr) return;

  // One holder for every string value, not cleared in between: what a host
  // leaves unwritten shows the previous value.
  std::string value;
  snapInfo->getSnapUUID2(value);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "SnapUUID [%s]", value.c_str());

  // Cleared so that a host that writes nothing never exposes stale memory.
  char arrayInfo[1024];
  std::memset(arrayInfo, 0, sizeof(arrayInfo));
  int16_t length = sizeof(arrayInfo) - 1;
  snapInfo->getArrayInfo(arrayInfo, length);
  arrayInfo[sizeof(arrayInfo) - 1] = '\0';
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "ArrayInfo [%s]", arrayInfo);

  snapInfo->getHostIdentifier(value);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "HostIdentifier [%s]", value.c_str());
  snapInfo->getSourceDevicev2(value);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "SourceDevice [%s]", value.c_str());
  snapInfo->getSnapDevice(value);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "SnapDevice [%s]", value.c_str());
  snapInfo->getMountHostName(value);
  ZRSO_LOG(zrso::LOG_DETAIL, kFunction, "MountHostName [%s]", value.c_str());
}
