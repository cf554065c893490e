#pragma once
// The stored procedures the local management database answers, and the
// failure codes of App_ExecuteSP::executeStoredProcedure.

namespace localplatform {

// Lists every configured NFS share. Request: App::GetNFSShareReq, no field
// set. Response: App::GetNFSShareResp whose list (1, 1, 509091626, 1427983)
// holds one App::NFSShares per share, in the order the shares were added,
// each with its share (2, 2, 513467887, 4977462), NFS server client name
// (6, 12, 513467887, 13278345) and subclient identifier (int64 1,
// 513467887, 10794118).
constexpr unsigned long kListNfsSharesProcedure = 506208772;

constexpr unsigned long kShareListMessage = 509091626;
constexpr unsigned int kShareListField = 1427983;
constexpr unsigned long kShareEntryMessage = 513467887;
constexpr unsigned int kShareField = 4977462;
constexpr unsigned int kServerClientNameField = 13278345;
constexpr unsigned int kSubclientField = 10794118;

// executeStoredProcedure's results; the response is written only on 0.
constexpr int kProcedureOk = 0;
constexpr int kUnknownProcedure = 1;
constexpr int kBadRequest = 2;
constexpr int kStoreUnavailable = 3;

}  // namespace localplatform
