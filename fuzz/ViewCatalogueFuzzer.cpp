// Fuzzes the view catalogue on a stored list with a run of operations.
//
// Input: the stored list text, then operations, each starting on a line that
// begins with "@": "@c" MOUNT (check), "@n" NAME "|" MOUNT "|" SERVER
// (create), "@d" MOUNT (delete). After every operation the stored list must
// be what the operation promises:
//   - a create of a storable, unlisted name appends its record, which a
//     check then finds; anything else leaves the list as it was;
//   - a delete leaves no piece with its mount path and keeps every other
//     piece byte for byte and in order;
//   - the list reader never yields an empty piece.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "SnapCodes.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"
#include "ViewListFormat.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

constexpr int32_t kSubclient = 7;
const char kShare[] = "share1";

void Require(bool condition, const char* property) {
  if (condition) return;
  std::fprintf(stderr, "property violated: %s\n", property);
  std::abort();
}

testsupport::TempPlatform& Platform() {
  static testsupport::TempPlatform platform;
  return platform;
}

testsupport::CapturingLogWriter& Log() {
  static testsupport::ScopedCapture capture(4);  // every message is formatted
  return *capture;
}

std::string Stored() { return Platform().store().ReadViewList(kSubclient).text; }

bool Matches(const std::string& piece, const char* tag, const std::string& wanted) {
  std::string value;
  return GetValueFromXmlString(piece, tag, value) == 0 && value == wanted;
}

bool Listed(const std::string& list, const char* tag, const std::string& wanted) {
  for (const std::string& piece : formats::SplitViewList(list)) {
    if (Matches(piece, tag, wanted)) return true;
  }
  return false;
}

std::vector<std::string> Fields(const std::string& text) {
  std::vector<std::string> fields(3);
  size_t field = 0;
  for (char c : text) {
    if (c == '|' && field + 1 < fields.size()) {
      ++field;
    } else {
      fields[field] += c;
    }
  }
  return fields;
}

bool Checks(const std::string& mount) {
  CheckPITViewArgs args;
  args.shareName = kShare;
  args.shareSubclientId = kSubclient;
  args.mntPath = mount;
  bool exists = false;
  std::string error;
  Require(CheckPITView(args, exists, error) == 0, "check succeeds");
  return exists;
}

void Create(const std::vector<std::string>& fields) {
  CreatePITViewArgs args;
  args.shareName = kShare;
  args.shareSubclientId = kSubclient;
  args.toTime = "100";
  args.nfsClient = "client1";
  args.snapName = fields[0];
  args.mntPath = fields[1];
  args.nfsServerClientName = fields[2];
  const std::string before = Stored();
  std::string error;
  bool appended = false;
  int result = CreatePITView(args, error, appended);

  bool storable = true;
  for (const std::string& value : fields)
    storable &= value.find_first_of(";<") == std::string::npos;
  if (!storable || Listed(before, formats::kSnapNameTag, args.snapName)) {
    Require(result == (storable ? 0 : ZRSO::ERROR_VIEW_LIST_WRITE),
            "refused or duplicate create result");
    Require(Stored() == before, "refused or duplicate create writes nothing");
    Require(!appended, "a refused or duplicate create appends nothing");
    return;
  }
  Require(result == 0 && appended, "create succeeds and says it appended");
  const std::string after = Stored();
  std::vector<std::string> piecesBefore = formats::SplitViewList(before);
  std::vector<std::string> piecesAfter = formats::SplitViewList(after);
  piecesBefore.push_back(piecesAfter.empty() ? std::string() : piecesAfter.back());
  Require(piecesAfter == piecesBefore, "create appends one piece and keeps the others");
  Require(Matches(piecesAfter.back(), formats::kSnapNameTag, args.snapName) &&
              Matches(piecesAfter.back(), formats::kMntPathTag, args.mntPath),
          "the appended piece is the new record");
  Require(Checks(args.mntPath), "after a create the view is found");
}

void Delete(const std::string& mount) {
  const std::string before = Stored();
  DeletePITViewArgs args(kShare, mount, kSubclient);
  std::string error;
  Require(DeletePITView(args, error) == 0, "delete succeeds");

  std::string expected;
  bool found = false;
  for (const std::string& piece : formats::SplitViewList(before)) {
    if (Matches(piece, formats::kMntPathTag, mount)) {
      found = true;
    } else {
      expected += piece + ";";
    }
  }
  const std::string after = Stored();
  Require(after == (found ? expected : before), "delete keeps every other piece in order");
  Require(!Listed(after, formats::kMntPathTag, mount),
          "after a delete no piece has the mount path");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Platform().AddNfsServer("srvA", "hostA");
  Platform().AddNfsServer("srvB", "hostB", /*up=*/false);
  Log();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  size_t at = input.find("\n@");
  Platform().PutViewList(kSubclient, input.substr(0, at));
  Log().clear();

  while (at != std::string::npos) {
    size_t next = input.find("\n@", at + 2);
    std::string operation = input.substr(at + 2, next == std::string::npos ? next : next - at - 2);
    at = next;
    for (const std::string& piece : formats::SplitViewList(Stored())) {
      Require(!piece.empty(), "the list reader never yields an empty piece");
    }
    if (operation.empty()) continue;
    const std::string argument = operation.substr(1);
    switch (operation[0]) {
      case 'c':
        Require(Checks(argument) == Listed(Stored(), formats::kMntPathTag, argument),
                "check finds what is listed");
        break;
      case 'n':
        Create(Fields(argument));
        break;
      case 'd':
        Delete(argument);
        break;
      default:
        break;
    }
  }
  return 0;
}
