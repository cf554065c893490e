#pragma once
// The failure codes of App_ExecuteSP::executeStoredProcedure. The local
// management database answers one procedure, SP_GET_NFS_SHARES (AppMgr.h),
// with one App::NFSShares per configured share, in the order the shares
// were added.

namespace localplatform {

// executeStoredProcedure's results; the response is written only on 0.
constexpr int kProcedureOk = 0;
constexpr int kUnknownProcedure = 1;
constexpr int kBadRequest = 2;
constexpr int kStoreUnavailable = 3;
constexpr int kFaultInjected = 4;  // faults/InjectedFaults.h

}  // namespace localplatform
