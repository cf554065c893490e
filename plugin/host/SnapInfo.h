#pragma once
// The snapshot engine host's objects as the plug-in calls them. The host owns
// both; the plug-in only calls their operations during an entry call and never
// creates, copies or frees them.

#include <cstdint>
#include <string>

namespace ZRSO {

// Result of every batch entry point and per-record step.
using ResultCode = int;
constexpr ResultCode RESULT_SUCCESS = 0;
constexpr ResultCode RESULT_FAILURE = 1;
constexpr ResultCode RESULT_PARTIAL = 2;

// Key of SnapInfo::getValue.
constexpr int GET_VALUE_CURRENT_JOB_ID = 12;

// The host's utility object. The plug-in passes it along and never calls it.
class ZROSUtil;

// One snapshot record. The order of the virtual operations is the host's
// vtable layout: nothing virtual may be declared before them or between them.
// Descriptors handed out by getSourceDevicev2 and getSnapDevice write each
// slash inside a value as backslash-slash; setSnapDevice takes plain slashes.
class SnapInfo {
 public:
  // Fills buffer with zero-terminated text of at most length characters.
  virtual void getArrayInfo(char* buffer, int16_t& length) = 0;
  // 1 when no array is known under name.
  virtual int findArray(const char* name) = 0;
  virtual void setStatus(int status) = 0;
  virtual void setSnapDevice(const char* descriptor) = 0;
  // 0 when the metadata is present: its zero-terminated text is copied into
  // buffer (at most capacity characters) and capacity is left unchanged.
  virtual int getMetadata(int id, char* buffer, int16_t& capacity) = 0;
  // 1 when the metadata could not be stored.
  virtual int setMetadata(int id, const char* text) = 0;
  // Code 0 with the empty text clears the record's error.
  virtual void setError(int code, const char* text) = 0;
  virtual int getSnapNumber() = 0;
  // 1 when no value is known for key; otherwise *value is set.
  virtual int getValue(int key, int* value) = 0;
  virtual bool getSnapUUID2(std::string& uuid) = 0;
  virtual void getHostIdentifier(std::string& identifier) = 0;
  virtual bool getSourceDevicev2(std::string& descriptor) = 0;
  // Leaves descriptor empty when the record has no snap device.
  virtual bool getSnapDevice(std::string& descriptor) = 0;
  virtual void getMountHostName(std::string& hostName) = 0;

 protected:
  // The plug-in never destroys a record; the host destroys its own.
  ~SnapInfo() = default;
};

}  // namespace ZRSO
