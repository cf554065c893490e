// What the plug-in says and does, scenario by scenario, on a fresh local
// platform with record doubles. A scenario's transcript must read exactly as
// its file next to this one: each call ("> ...") with its answer ("= ..."),
// each message the plug-in logs, as its level, its function text and the
// message, and each write into a record ("   record.call"), in the order they
// happen. The platform's own messages are left out: their function texts
// are service names, the plug-in's are signatures. Every scenario runs at
// log level 4 and again at 3 and 0, where only the messages of those levels
// and below may be left. In the files, lines starting with "#" are comments.

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CopyIdKey.h"
#include "DeleteUserXMLString.h"
#include "EntryPoints.h"
#include "HostNameEquivalence.h"
#include "MountPath.h"
#include "NfsServerControl.h"
#include "PrintSnapInfo.h"
#include "SnapCodes.h"
#include "SnapDetails.h"
#include "SnapViewRecord.h"
#include "ViewCatalogue.h"
#include "admin/InjectedFaults.h"
#include "admin/PlatformCounters.h"
#include "support/Builders.h"
#include "support/CapturingLogWriter.h"
#include "support/FakeSnapInfo.h"
#include "support/TempPlatform.h"

namespace {

using testsupport::FakeSnapInfo;
using testsupport::ViewRecord;
using BatchEntry = ZRSO::BatchEntryPoint*;
namespace lp = localplatform;

constexpr char kSnapTime[] = "1765000000";

#define ENTRY(name) \
  { name, #name }
const std::map<BatchEntry, std::string> kEntryNames = {
    ENTRY(zrso_prepareDevices), ENTRY(zrso_unprepareDevices), ENTRY(zrso_snapDevices),
    ENTRY(zrso_isMapped),       ENTRY(zrso_mapSnaps),         ENTRY(zrso_unmapSnaps),
    ENTRY(zrso_deleteSnaps),    ENTRY(zrso_revertSnaps),      ENTRY(zrso_reconcileSnaps)};
#undef ENTRY

// How far a record has come: once snapped, it is stamped with a snapshot
// time; once mapped, as number 1, its snap device names its view.
enum Stage { kNew, kSnapped, kMapped };

// share1 (subclient 42) on client nfs01, the machine nfs-a.example.test, and
// eng (51) on nfs02, nfs-b.example.test; both machines run the file-server
// service. The resolver answers from support/hosts.
class World {
 public:
  explicit World(int level) : log_(level), started_(std::time(nullptr)) {
    platform.AddNfsServer("nfs01", "nfs-a.example.test");
    platform.AddNfsServer("nfs02", "nfs-b.example.test");
    platform.store().AddShare({"share1", "nfs01", 42});
    platform.store().AddShare({"eng", "nfs02", 51});
  }

  // A record of `share` on `server`, its snapshot UUID its name.
  FakeSnapInfo& Record(const std::string& name, Stage stage = kNew,
                       const std::string& share = "share1",
                       const std::string& server = "nfs-a.example.test") {
    FakeSnapInfo& record = records_[name];
    record.sourceDevice = testsupport::HostDescriptor("/" + share, server);
    record.uuid = name;
    record.onWrite = [this, name](const std::string& call) { Say("   " + name + "." + call); };
    if (stage >= kSnapped) record.metadata[ZRSO::SM_MDT_NFS_SNAP_TIME] = kSnapTime;
    if (stage == kMapped) {
      record.snapDevice = testsupport::HostDescriptor(MountPathOf(name, share), server);
    }
    return record;
  }
  static std::string MountPathOf(const std::string& name, const std::string& share = "share1") {
    return formats::ViewMountPath(share, formats::ViewName(name, 1));
  }

  FakeSnapInfo& Find(const std::string& name) { return records_.at(name); }
  void Say(const std::string& line) { log_->Note(line); }

  // One batch of the records named in `names` ("null" for a null entry),
  // with their number as the count unless `count` is given.
  void Batch(BatchEntry entry, const std::string& names, std::optional<int16_t> count = {}) {
    std::vector<ZRSO::SnapInfo*> batch;
    std::istringstream words(names);
    for (std::string name; words >> name;) {
      batch.push_back(name == "null" ? nullptr : static_cast<ZRSO::SnapInfo*>(&records_.at(name)));
    }
    const int16_t passed = count ? *count : static_cast<int16_t>(batch.size());
    Say("> " + kEntryNames.at(entry) + "(" + names + ") count " + std::to_string(passed));
    Say("= " + std::to_string(entry(batch.empty() ? nullptr : batch.data(), passed, nullptr)));
  }

  // Injects the fault `name` for `scope` alone, or none.
  void Fault(const std::string& name = "", const std::string& scope = "") {
    Say("> fault " + (name.empty() ? "none" : name) + (scope.empty() ? "" : " " + scope));
    platform.store().ClearFaults("");
    if (!name.empty()) platform.store().SetFault({name, scope});
  }

  // The view list of `subclient` and every export, as the platform holds them.
  void ShowPlatform(uint64_t subclient) {
    Say("  list " + std::to_string(subclient) + ": " +
        platform.store().ReadViewList(subclient).text);
    ShowExports();
  }
  void ShowExports() {
    for (const lp::ExportRow& row : platform.store().ListExports()) {
      Say("  export " + row.hostName + " " + std::to_string(row.subclientId) + " " + row.mountPath);
    }
  }

  // Everything said so far, the plug-in's messages formatted, every time
  // stamped since the start written as {now}.
  std::string Transcript() const {
    std::string text;
    for (const testsupport::LogLine& line : log_->lines()) {
      if (line.function.empty()) {
        text += line.message + "\n";
      } else if (line.function.find('(') != std::string::npos) {
        text += (line.level >= 0 ? " " : "") + std::to_string(line.level) + " " + line.function +
                " | " + line.message + "\n";
      }
    }
    for (std::time_t now = started_; now <= std::time(nullptr); ++now) {
      const std::string stamp = std::to_string(now);
      for (size_t at = text.find(stamp); at != std::string::npos; at = text.find(stamp, at)) {
        text.replace(at, stamp.size(), "{now}");
      }
    }
    return text;
  }

  testsupport::TempPlatform platform;

 private:
  testsupport::ScopedCapture log_;
  std::time_t started_;
  std::map<std::string, FakeSnapInfo> records_;
};

// The file's transcript without comments, and without the messages above
// `level`.
std::string Expected(const std::string& name, int level) {
  std::ifstream file(std::string(ZRSO_TRANSCRIPTS) + "/" + name + ".txt");
  EXPECT_TRUE(file.is_open()) << name;
  std::string text;
  for (std::string line; std::getline(file, line);) {
    const bool message = line.size() > 2 && line[2] == ' ' && std::isdigit(line[1]);
    const bool above = message && std::stoi(line.substr(0, 2)) > level;
    if (!line.empty() && line[0] != '#' && !above) text += line + "\n";
  }
  return text;
}

void ExpectTranscript(const std::string& name, const std::function<void(World&)>& scenario) {
  for (int level : {4, 3, 0}) {
    World world(level);
    scenario(world);
    EXPECT_EQ(Expected(name, level), world.Transcript()) << name << " at level " << level;
  }
}

TEST(Transcript, Snapshot) {
  ExpectTranscript("snapshot", [](World& w) {
    w.platform.store().SetNumber(formats::kCopyIdSection, formats::CopyIdKey(7), 0x1FFFFFFFFull);
    FakeSnapInfo& ok = w.Record("ok", kNew, "share1/dir");
    ok.jobId = 7;
    ok.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "99";
    w.Record("no-source").sourceDevice.reset();
    w.Record("no-lunuuid").sourceDevice = "{type:nfs,targethostname:h}";
    w.Record("short").sourceDevice = "{lunuuid:ab,targethostname:h}";
    w.Record("no-server", kSnapped).sourceDevice = "{lunuuid:\\/share1}";
    w.Record("by-address", kNew, "share1", "10.20.30.40").jobId = 7;
    w.Record("other-server", kNew, "share1", "10.20.30.41");
    w.Record("unresolved", kNew, "share1", "no-such-host.invalid");
    w.Record("unknown-share", kNew, "share9");
    w.Record("refused").refuseMetadata = true;
    w.Batch(zrso_snapDevices,
            "ok no-source no-lunuuid short no-server by-address other-server unresolved "
            "unknown-share refused");
    w.Batch(zrso_snapDevices, "ok null refused", 3);
    w.Batch(zrso_snapDevices, "ok refused", 1);
    w.Batch(zrso_snapDevices, "ok", 0);
    w.Batch(zrso_snapDevices, "ok", -1);
    w.Fault(lp::kFaultStoredProcedure);
    w.Batch(zrso_snapDevices, "ok");
  });
}

TEST(Transcript, Map) {
  ExpectTranscript("map", [](World& w) {
    w.platform.store().SetNumber(formats::kCopyIdSection, formats::CopyIdKey(7), 5);
    w.Record("ok", kSnapped).jobId = 7;
    w.Record("never-snapped");
    w.Record("no-uuid", kSnapped).uuid.reset();
    w.Record("no-source", kSnapped).sourceDevice.reset();
    w.Batch(zrso_mapSnaps, "ok never-snapped no-uuid no-source");
    w.ShowPlatform(42);
    w.Batch(zrso_mapSnaps, "ok");
    w.Record("second", kSnapped);
    w.Fault(lp::kFaultExportCommand, "42");
    w.Batch(zrso_mapSnaps, "ok second");
    w.ShowPlatform(42);
    w.Record("eng", kSnapped, "eng", "nfs-b.example.test");
    w.Fault(lp::kFaultServerStart, "nfs-b.example.test");
    w.Batch(zrso_mapSnaps, "eng");
    w.ShowPlatform(51);
    w.Fault(lp::kFaultViewListWrite, "42");
    w.Batch(zrso_mapSnaps, "second");
    w.Fault(lp::kFaultViewListRead, "42");
    w.Batch(zrso_mapSnaps, "second");
    w.Fault(lp::kFaultLocalHostName);
    w.Batch(zrso_mapSnaps, "second");
  });
}

TEST(Transcript, CheckAndUnmap) {
  ExpectTranscript("check-and-unmap", [](World& w) {
    const std::string views = ViewRecord({"ok_1", World::MountPathOf("ok"), "nfs01"}) + ";" +
                              ViewRecord({"bare_1", World::MountPathOf("bare"), ""}) + ";garbage;" +
                              ViewRecord({"gone_1", World::MountPathOf("gone"), "gone"}) + ";";
    w.platform.PutViewList(42, views);
    w.platform.store().AddExport({"nfs-a.example.test", 42, World::MountPathOf("ok"), 2, 0});
    for (const char* name : {"ok", "bare", "gone", "unlisted"}) w.Record(name, kMapped);
    w.Record("never-mapped", kSnapped);
    w.Record("no-source", kMapped).sourceDevice.reset();
    w.Batch(zrso_isMapped, "ok unlisted never-mapped no-source");
    w.Batch(zrso_unmapSnaps, "ok bare gone unlisted never-mapped no-source");
    w.ShowPlatform(42);
    w.Record("eng", kMapped, "eng", "nfs-b.example.test");
    w.Batch(zrso_isMapped, "eng");
    w.Batch(zrso_unmapSnaps, "eng");
    w.platform.PutViewList(42, views);
    w.Fault(lp::kFaultViewListRead, "42");
    w.Batch(zrso_isMapped, "ok");
    w.Batch(zrso_unmapSnaps, "ok");
    w.Fault(lp::kFaultViewListWrite, "42");
    w.Batch(zrso_unmapSnaps, "ok eng");
    w.ShowPlatform(42);
  });
}

TEST(Transcript, FixedAnswersAndPrintSnapInfo) {
  ExpectTranscript("surface", [](World& w) {
    w.Record("a");
    w.Record("b");
    for (BatchEntry entry : {zrso_prepareDevices, zrso_unprepareDevices, zrso_deleteSnaps,
                             zrso_revertSnaps, zrso_reconcileSnaps}) {
      w.Batch(entry, "a b");
      w.Batch(entry, "", 4);
    }
    for (BatchEntry entry : {zrso_snapDevices, zrso_isMapped, zrso_mapSnaps, zrso_unmapSnaps})
      w.Batch(entry, "", 3);
    uint16_t major = 9, minor = 9, patch = 9;
    zrso_version(&major, &minor, &patch);
    w.Say("> zrso_version");
    w.Say("= " + std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch));
    minor = 9;
    zrso_version(nullptr, &minor, nullptr);
    w.Say("> zrso_version(minor only)");
    w.Say("= " + std::to_string(minor));
    int anything = 0;
    w.Say("> zrso_isSupported");
    w.Say("= " + std::to_string(zrso_isSupported(nullptr, 0, nullptr, nullptr, 0)) + " " +
          std::to_string(zrso_isSupported(&anything, -5, &anything, &anything, 32767)));

    FakeSnapInfo& full = w.Record("full");
    full.arrayInfo = "array-7";
    full.hostIdentifier = "host-id";
    full.snapDevice = "{lunuuid:\\/s1-u-1_1}";
    full.mountHostName = "mounter";
    w.Record("silent").arrayInfo.reset();
    for (const std::string name : {"full", "silent", "null"}) {
      FakeSnapInfo* const record = name == "null" ? nullptr : &w.Find(name);
      w.Say("> PrintSnapInfo(" + name + ")");
      PrintSnapInfo(record);
      if (record != nullptr)
        w.Say("  array info length offered " + std::to_string(record->arrayLengthSeen));
    }
  });
}

TEST(Transcript, HostNames) {
  ExpectTranscript("host-names", [](World& w) {
    for (const auto& [name, other] : std::vector<std::pair<std::string, std::string>>{
             {"nfs-a.example.test", "10.20.30.40"},
             {"nfs-b.example.test", "fd00::42"},
             {"nfs-a.example.test", "nfs-a.example.test"},
             {"nfs-a.example.test", "nfs-a"},
             {"nfs-a.example.test", "10.20.30.040"},
             {"nfs-b.example.test", "FD00::42"},
             {"10.20.30.41", "10.20.30.41"},
             {"no-such-host.invalid", "10.20.30.40"}}) {
      w.Say("> FindArrayUsingOtherNames(" + name + ", " + other + ")");
      w.Say("= " + std::to_string(FindArrayUsingOtherNames(name, other)));
    }
    for (const auto& [name, accepted] :
         std::vector<std::pair<std::string, std::string>>{{"nfs-b.example.test", ""},
                                                          {"nfs-b.example.test", "10.20.30.42"},
                                                          {"10.20.30.40", "nfs-a.example.test"},
                                                          {"fd00::42", ""},
                                                          {"10.99.99.99", ""},
                                                          {"no-such-host.invalid", ""}}) {
      FakeSnapInfo record;
      if (!accepted.empty()) record.acceptedArrays = {accepted};
      w.Say("> FindArrayUsingOtherNames(record accepting [" + accepted + "], " + name + ")");
      std::string offered;
      const int result = FindArrayUsingOtherNames(&record, name);
      for (const std::string& array : record.offeredArrays) offered += " " + array;
      w.Say("= " + std::to_string(result) + " offered:" + offered);
    }
    w.Say("> FindArrayUsingOtherNames(null record, nfs-a)");
    w.Say("= " + std::to_string(FindArrayUsingOtherNames(nullptr, "nfs-a")));
  });
}

TEST(Transcript, Extraction) {
  ExpectTranscript("extraction", [](World& w) {
    auto extract = [&w](const std::string& name) {
      std::string share = "share?", mount = "mount?", client, host = "host?", time = "time?",
                  copy = "copy?";
      int id = -7;
      w.Say("> ExtractSnapDetails(" + name + ")");
      const int result =
          ExtractSnapDetails(&w.Find(name), share, mount, client, host, id, time, copy);
      w.Say("= " + std::to_string(result) + " share [" + share + "] mount [" + mount +
            "] client [" + client + "] host [" + host + "] id " + std::to_string(id) + " time [" +
            time + "] copy [" + copy + "]");
    };
    lp::Store& store = w.platform.store();
    store.SetNumber(formats::kCopyIdSection, formats::CopyIdKey(-3), 0x1FFFFFFFFull);
    store.SetNumber(formats::kCopyIdSection, formats::CopyIdKey(8), 12);
    FakeSnapInfo& full = w.Record("full", kMapped);
    full.sourceDevice = testsupport::HostDescriptor("/share1/dir", "nfs-a.example.test");
    full.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "99";
    full.jobId = -3;
    extract("full");
    extract("full");
    for (const char* lunuuid : {"//share1/dir", "\\/share1/dir\\/x", "abc", "\\/\\/x"}) {
      const std::string name = std::string("lunuuid ") + lunuuid;
      w.Record(name).sourceDevice =
          std::string("{lunuuid:") + lunuuid + ",targethostname:nfs-a.example.test}";
      extract(name);
    }
    for (const char* snapDevice :
         {"{lunuuid:\\/share1\\/deeper}", "{type:nfs,targethostname:h}", "{lunuuid:,type:nfs}"}) {
      const std::string name = std::string("snap device ") + snapDevice;
      w.Record(name).snapDevice = snapDevice;
      extract(name);
    }
    for (const char* subclient : {"-5", "+7", "12abc", "abc", ""}) {
      const std::string name = std::string("subclient [") + subclient + "]";
      FakeSnapInfo& record = w.Record(name);
      record.sourceDevice = "{lunuuid:\\/share1}";
      record.metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = subclient;
      extract(name);
    }
    w.Record("unknown", kSnapped, "share9").metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
    extract("unknown");
    w.Fault(lp::kFaultStoredProcedure);
    w.Record("no-share-list").metadata[ZRSO::SM_MDT_NFS_SHARE_SUBCLIENT_ID] = "77";
    extract("no-share-list");
    w.Fault();

    // One text for outputs the caller does not need: the last write wins, and
    // the share lookup starts from the host name as the client name.
    FakeSnapInfo& shared = w.Record("shared", kMapped);
    shared.jobId = 8;
    std::string shareAndMount, server = "unused", timeAndCopy;
    int id = 0;
    w.Say("> ExtractSnapDetails(shared, one text per pair of outputs)");
    const int result = ExtractSnapDetails(&shared, shareAndMount, shareAndMount, server, server, id,
                                          timeAndCopy, timeAndCopy);
    w.Say("= " + std::to_string(result) + " share and mount [" + shareAndMount +
          "] client and host [" + server + "] id " + std::to_string(id) + " time and copy [" +
          timeAndCopy + "]");
  });
}

// A record is built from ten values, which are left as they were; a value is
// read by plain search, as text or as a number.
TEST(Transcript, ViewRecord) {
  ExpectTranscript("view-record", [](World& w) {
    std::string record = "earlier", a = "TIME", b = "PATH", c = "HOST", d = "*", e = "*",
                f = "NAME", g = "COPY", h = "SERVER", i = "0", j = "1";
    w.Say("> GetSnapXmlString(TIME, PATH, HOST, *, *, NAME, COPY, SERVER, 0, 1)");
    GetSnapXmlString(record, a, b, c, d, e, f, g, h, i, j);
    w.Say("= " + record + " " + a + b + c + d + e + f + g + h + i + j);
    for (const auto& [xml, tag] : std::vector<std::pair<std::string, std::string>>{
             {"<A><MntPath>/s-v</MntPath></A>", "MntPath"},
             {"<SnapName></SnapName>", "SnapName"},
             {"<T>1</T><T>2</T>", "T"},
             {"<ReadOnly>1", "ReadOnly"},
             {"<X>1</X>", "SnapName"},
             {"<mntpath>/a</mntpath>", "MntPath"},
             {"</ReadOnly><ReadOnly>0<WritablePIT>1", "ReadOnly"},
             {"<N>12abc</N>", "N"},
             {"<N>abc</N>", "N"},
             {"<N> -7</N>", "N"},
             {"<N>99999999999</N>", "N"},
             {"<N>-99999999999</N>", "N"}}) {
      w.Say("> GetValueFromXmlString(" + xml + ", " + tag + ")");
      std::string text = "before";
      int number = 55;
      const int result = GetValueFromXmlString(xml, tag, text);
      w.Say("= " + std::to_string(result) + " [" + text + "]");
      w.Say("> GetValueFromXmlString(" + xml + ", " + tag + ") as a number");
      const int numeric = GetValueFromXmlString(xml, tag, number);
      w.Say("= " + std::to_string(numeric) + " " + std::to_string(number));
    }
  });
}

TEST(Transcript, ViewCatalogue) {
  ExpectTranscript("catalogue", [](World& w) {
    std::string error = "untouched";
    auto answer = [&w, &error](int result, const std::string& more = "") {
      w.Say("= " + std::to_string(result) + more + " error [" + error + "]");
      w.ShowPlatform(7);
      error = "untouched";
    };
    auto check = [&](const std::string& mount) {
      w.Say("> CheckPITView(" + mount + ")");
      CheckPITViewArgs args{"share1", 7, mount};
      bool exists = true;
      const int result = CheckPITView(args, exists, error);
      answer(result, exists ? " exists" : " absent");
    };
    auto create = [&](const std::string& name, const std::string& mount, const std::string& server,
                      const std::string& copy = "3") {
      w.Say("> CreatePITView(" + name + ", " + mount + ", " + server + ", " + copy + ")");
      CreatePITViewArgs args{"share1", 7,    "100", "client1", "*",    "*",     name,
                             mount,    copy, "0",   "1",       server, "unused"};
      bool appended = true;
      const int result = CreatePITView(args, error, appended);
      answer(result, appended ? " appended" : " not appended");
    };
    auto remove = [&](const std::string& mount) {
      w.Say("> DeletePITView(" + mount + ")");
      DeletePITViewArgs args("share1", mount, 7);
      answer(DeletePITView(args, error));
    };
    w.platform.AddNfsServer("srvA", "hostA");
    w.platform.AddNfsServer("srvB", "hostB");
    w.platform.AddNfsServer("srvD", "hostD", false);
    check("/m1");
    remove("/m1");
    create("v_1", "/m1", "srvA");
    create("v_2", "/m1", "srvB");
    create("v_2", "/m2", "srvB");
    create("v_3", "/m3", "");
    check("/m1");
    check("/other");
    w.platform.store().AddExport({"hostA", 7, "/m1", 2, 0});
    w.platform.store().AddExport({"hostB", 7, "/m1", 2, 0});
    remove("/other");
    remove("/m1");
    remove("/m3");
    for (const std::string bad : {"a;b", "a<b"}) {
      create(bad, "/m4", "srvA");
      create("v_4", bad, "srvA");
      create("v_4", "/m4", "srvA", bad);
    }
    w.platform.PutViewList(7, ";" + ViewRecord({"v_5", "/m5", "srvD"}) + ";;no tags;" +
                                  ViewRecord({"v_6", "/m6", "srvA"}) + ";" +
                                  ViewRecord({"v_7", "/m7", "srvA"}));
    check("/m7");
    create("v_8", "/m8", "srvA");
    remove("/m5");
    w.Fault(lp::kFaultViewListWrite, "7");
    create("v_9", "/m9", "srvA");
    remove("/m8");
    w.Fault(lp::kFaultViewListRead, "7");
    check("/m8");
    create("v_9", "/m9", "srvA");
    remove("/m8");
  });
}

TEST(Transcript, NfsServerControl) {
  ExpectTranscript("nfs-server", [](World& w) {
    const int64_t created = lp::VeskClientsCreated(), destroyed = lp::VeskClientsDestroyed();
    auto send = [&](const std::string& client, int type, int operation, const std::string& mount) {
      std::string mountPath = mount, auxiliary;
      w.Say("> SendCommandToNfsServer(" + client + ", " + std::to_string(type) + ", " +
            std::to_string(operation) + ", 7, " + mount + ")");
      const bool sent = SendCommandToNfsServer(client, static_cast<ExportType>(type),
                                               static_cast<VeskOperationType>(operation), 7,
                                               mountPath, auxiliary);
      w.Say(std::string("= ") + (sent ? "true" : "false") + " clients made " +
            std::to_string(lp::VeskClientsCreated() - created) + " freed " +
            std::to_string(lp::VeskClientsDestroyed() - destroyed));
      w.ShowExports();
    };
    auto start = [&](const std::string& client) {
      // Not written at all when the client's host is not known.
      auto* const untouched = reinterpret_cast<Vesk::VeskConfigClient*>(0x1);
      Vesk::VeskConfigClient* started = untouched;
      w.Say("> StartVeskServer(" + client + ")");
      const bool ok = StartVeskServer(client, started);
      w.Say(std::string("= ") + (ok ? "true" : "false") + " client " +
            (started == untouched ? "untouched"
             : started == nullptr ? "null"
                                  : "given"));
      if (ok) delete started;
    };
    w.platform.AddNfsServer("srvB", "hostB");
    w.platform.AddNfsServer("srvD", "hostD", false);
    w.platform.store().PutClient({"plain", "hostP"});
    send("nfs01", EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "/s-v_1");
    send("nfs01", EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "/s-v_1");
    send("srvB", EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "/s-v_1");
    send("nfs01", EXPORT_TYPE_PIT_VIEW, OPERATION_DELETE, "/s-v_1");
    for (const char* client : {"nobody", "srvD", "plain"}) {
      start(client);
      send(client, EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "/s-v_2");
    }
    start("nfs01");
    send("nfs01", 1, OPERATION_ADD, "/s-v_2");
    send("nfs01", EXPORT_TYPE_PIT_VIEW, 2, "/s-v_2");

    std::string xml = "<Earlier>content</Earlier>";
    DeleteUserXMLString(xml);
    w.Say("> DeleteUserXMLString");
    w.Say("= " + xml);
  });
}

}  // namespace
