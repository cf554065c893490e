// Fuzzes the view catalogue on a stored list with a run of operations.
//
// Input: the stored list text, then up to four operations (kMostOperations),
// each starting on a line that begins with "@": "@c" MOUNT (check),
// "@n" NAME "|" MOUNT "|" SERVER (create), "@d" MOUNT (delete). After every operation the stored
// list must be what the operation promises:
//   - a create of a storable, unlisted name appends its record, which a
//     check then finds; anything else leaves the list as it was;
//   - a delete leaves no piece with its mount path and keeps every other
//     piece byte for byte and in order;
//   - the list reader never yields an empty piece.

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzProperty.h"
#include "SnapCodes.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"
#include "ViewListFormat.h"
#include "support/CapturingLogWriter.h"
#include "support/TempPlatform.h"

namespace {

using Pieces = std::vector<std::string>;
constexpr int32_t kSubclient = 7;
// Operations after these are not run: a short run per input keeps the
// target fast enough to try millions of lists and operation sequences.
constexpr int kMostOperations = 4;

testsupport::TempPlatform& Platform() {
  static testsupport::TempPlatform platform(testsupport::StoreKind::kMemory);
  return platform;
}

testsupport::CapturingLogWriter& Log() {
  static testsupport::ScopedCapture capture(4);  // every message is formatted
  return *capture;
}

std::string Text() { return Platform().store().ReadViewList(kSubclient).text; }

Pieces PiecesOf(const std::string& text) {
  Pieces pieces = formats::SplitViewList(text);
  for (const std::string& piece : pieces) Require(!piece.empty(), "no piece is empty");
  return pieces;
}

bool Matches(const std::string& piece, const char* tag, const std::string& wanted) {
  std::string value;
  return GetValueFromXmlString(piece, tag, value) == 0 && value == wanted;
}

bool Listed(const Pieces& pieces, const char* tag, const std::string& wanted) {
  for (const std::string& piece : pieces) {
    if (Matches(piece, tag, wanted)) return true;
  }
  return false;
}

bool Checks(const std::string& mount) {
  CheckPITViewArgs args{"share1", kSubclient, mount};
  bool exists = false;
  std::string error;
  Require(CheckPITView(args, exists, error) == 0, "check succeeds");
  return exists;
}

// NAME|MOUNT|SERVER; a missing field is empty.
void Create(const std::string& fields) {
  std::istringstream text(fields);
  CreatePITViewArgs args;
  args.shareName = "share1";
  args.shareSubclientId = kSubclient;
  args.toTime = "100";
  args.nfsClient = "client1";
  std::getline(text, args.snapName, '|');
  std::getline(text, args.mntPath, '|');
  args.nfsServerClientName.assign(std::istreambuf_iterator<char>(text),
                                  std::istreambuf_iterator<char>());
  const std::string before = Text();
  std::string error;
  bool appended = false;
  const int result = CreatePITView(args, error, appended);
  const bool storable = fields.find_first_of(";<") == std::string::npos;
  if (!storable || Listed(formats::SplitViewList(before), formats::kSnapNameTag, args.snapName)) {
    Require(result == (storable ? 0 : ZRSO::ERROR_VIEW_LIST_WRITE) && !appended,
            "a refused or duplicate create appends nothing");
    Require(Text() == before, "a refused or duplicate create writes nothing");
    return;
  }
  Pieces after = PiecesOf(Text());
  Require(result == 0 && appended && !after.empty(), "create succeeds and says it appended");
  const std::string added = after.back();
  after.pop_back();
  Require(after == formats::SplitViewList(before), "create appends one piece and keeps the others");
  Require(Matches(added, formats::kSnapNameTag, args.snapName) &&
              Matches(added, formats::kMntPathTag, args.mntPath) && Checks(args.mntPath),
          "the appended piece is the new record, and a check finds it");
}

// The list is written only when a piece goes, each kept piece followed by ";".
void Delete(const std::string& mount) {
  const std::string before = Text();
  DeletePITViewArgs args("share1", mount, kSubclient);
  std::string error;
  Require(DeletePITView(args, error) == 0, "delete succeeds");
  std::string kept;
  bool found = false;
  for (const std::string& piece : formats::SplitViewList(before)) {
    const bool match = Matches(piece, formats::kMntPathTag, mount);
    found |= match;
    if (!match) kept += piece + ";";
  }
  const std::string after = Text();
  Require(after == (found ? kept : before), "delete keeps every other piece, in order");
  PiecesOf(after);
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
  const testsupport::ClearedAtEnd cleared(Log());
  for (int done = 0; at != std::string::npos && done < kMostOperations; ++done) {
    const size_t next = input.find("\n@", at + 2);
    const std::string operation =
        input.substr(at + 2, next == std::string::npos ? next : next - at - 2);
    at = next;
    const std::string argument = operation.empty() ? "" : operation.substr(1);
    switch (operation.empty() ? '\0' : operation[0]) {
      case 'c':
        Require(Checks(argument) == Listed(PiecesOf(Text()), formats::kMntPathTag, argument),
                "check finds what is listed");
        break;
      case 'n':
        Create(argument);
        break;
      case 'd':
        Delete(argument);
        break;
    }
  }
  return 0;
}
