#pragma once
// Argument records of the view catalogue operations. The caller fills them;
// the operations only read them.
//
// REQUIRES: the caller sets `shareSubclientId`; no constructor does.

#include <cstdint>
#include <string>

struct CheckPITViewArgs {
  std::string shareName;     // for messages and error texts only
  int32_t shareSubclientId;  // selects whose view list is read
  std::string mntPath;       // the mount path sought
};

struct CreatePITViewArgs {
  std::string shareName;     // for messages and error texts only
  int32_t shareSubclientId;  // selects the view list
  std::string toTime;
  std::string nfsClient;
  std::string uid = "*";
  std::string gid = "*";
  std::string snapName;  // also the key of the duplicate test
  std::string mntPath;
  std::string copyPrecedence = "0";
  std::string readOnly = "0";
  std::string writablePit = "1";
  std::string nfsServerClientName;
  std::string nfsServerHostName;  // kept for the caller; not written into the record
};

struct DeletePITViewArgs {
  DeletePITViewArgs() = default;
  // Note the order, which differs from the fields'.
  DeletePITViewArgs(const std::string& shareName, const std::string& mntPath,
                    int32_t shareSubclientId)
      : shareName(shareName), shareSubclientId(shareSubclientId), mntPath(mntPath) {}

  std::string shareName;     // for messages and error texts only
  int32_t shareSubclientId;  // selects whose view list is read and written
  std::string mntPath;       // every record with this mount path is removed
};
