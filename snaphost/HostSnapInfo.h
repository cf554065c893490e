#pragma once
// The host's implementation of the plug-in's record interface over one
// SnapRecord. The plug-in's writes land in the record; the caller stores it.

#include <functional>

#include "SnapInfo.h"
#include "SnapRecord.h"

namespace snaphost {

class HostSnapInfo final : public ZRSO::SnapInfo {
 public:
  explicit HostSnapInfo(SnapRecord& record) : record_(record) {}

  void getArrayInfo(char* buffer, int16_t& length) override;
  int findArray(const char* name) override;
  void setStatus(int status) override;
  void setSnapDevice(const char* descriptor) override;
  int getMetadata(int id, char* buffer, int16_t& capacity) override;
  int setMetadata(int id, const char* text) override;
  void setError(int code, const char* text) override;
  int getSnapNumber() override;
  int getValue(int key, int* value) override;
  bool getSnapUUID2(std::string& uuid) override;
  void getHostIdentifier(std::string& identifier) override;
  bool getSourceDevicev2(std::string& descriptor) override;
  bool getSnapDevice(std::string& descriptor) override;
  void getMountHostName(std::string& hostName) override;

  // Called whenever the plug-in reads the source device, which is the first
  // thing each of its record steps does.
  void OnSourceDeviceRead(std::function<void()> hook) { onSourceDeviceRead_ = std::move(hook); }

 private:
  SnapRecord& record_;
  std::function<void()> onSourceDeviceRead_;
};

}  // namespace snaphost
