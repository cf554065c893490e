#pragma once
// The platform's application manager: stored procedures against the
// management database, and the view configuration of share subclients.

#include <memory>
#include <string>

#include "PlatformApi.h"

class ZR_PLATFORM_API AdaptersBase {
 public:
  virtual ~AdaptersBase();
};

class ZR_PLATFORM_API App_ExecuteSP : public AdaptersBase {
 public:
  App_ExecuteSP();
  ~App_ExecuteSP() override;

  // Runs stored procedure `procedureId` with the request XML. 0 on success,
  // with the response XML in `response`; any other value is the failure code.
  virtual int executeStoredProcedure(unsigned long procedureId, const std::string& request,
                                     std::string& response, void* reserved);
};

// Stored procedure: every configured NFS share. Request App::GetNFSShareReq
// with no field set; response App::GetNFSShareResp.
constexpr unsigned long SP_GET_NFS_SHARES = 506208772;  // 0x1E2C2204

// The view configuration of one share subclient.
class ZR_PLATFORM_API Subclient {
 public:
  explicit Subclient(unsigned long subclientId);
  Subclient(const Subclient&) = delete;
  Subclient& operator=(const Subclient&) = delete;
  ~Subclient();

  // The client names of the subclient's NFS servers. 0 on success.
  int getVeskNFSServers(std::string& servers, void* reserved);
  // The stored view list, empty when there is none. 0 on success.
  int getVeskViewConfiguration(std::string& viewList, void* reserved);
  // Replaces the stored view list. 0 on success; non-zero, with nothing
  // written, when the list changed in the store since this object last read
  // or wrote it. Without an earlier read it succeeds only while no list is
  // stored, so it never replaces a list nobody here has seen.
  int setVeskViewConfiguration(const std::string& viewList, void* reserved);

 private:
  struct State;
  unsigned long subclientId_;
  std::unique_ptr<State> state_;
};
