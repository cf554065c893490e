// Hosts of several machines on one PostgreSQL platform, over a network that
// fails: a partition (support/FaultProxy.h) in the middle of a map batch,
// between a view-list UPDATE and its COMMIT, and at connect; the server
// restarted mid-batch; a standby promoted mid-batch. Every host is a snaphost
// process of its own, killed should it outlive kLimit; every platform call
// is bounded by ZRSO_CALL_DEADLINE. These tests restart, stop and replicate
// the server, so they run only on the throwaway cluster of the postgresql
// ctest entry (run-on-postgresql.sh); figures in NETWORK.md.

#include <gmock/gmock.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <string>
#include <vector>

#include "RecordCatalogue.h"
#include "SnapCodes.h"
#include "support/FaultProxy.h"
#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;
using ::testing::HasSubstr;
using testsupport::FaultProxy;
using testsupport::SnaphostRun;

// Every platform call's bound, in seconds, for the tests in which calls
// fail; where none may, it outlasts a server restart.
constexpr int kDeadline = 2;
constexpr char kPatientDeadline[] = "15";
constexpr auto kLimit = std::chrono::seconds(60);
constexpr int kRecords = 10;
// A map takes eight units of the store, six of them reads: the 12th unit
// (or read) of a batch of kRecords maps falls in its second (or third) record.
constexpr int kMidBatch = 12;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// `command` run by the shell from /, at most 60 s; true when it succeeded.
bool Shell(const std::string& command) {
  return std::system(("cd / && timeout 60 " + command + " >/dev/null").c_str()) == 0;
}

// pg_ctlcluster `action` (restart, stop, start) on the test server, the
// cluster that pg_virtualenv names regress.
bool Cluster(const std::string& action) {
  return Shell(std::string("pg_ctlcluster ") + Environment("PGVERSION") + " regress " + action);
}

// The records of `home` in their order, a letter each once mapping ended:
// m mapped, f failed with an error of its own, - untouched (the batch
// failed as a whole).
std::string RecordsOf(const std::string& home) {
  std::string letters;
  for (const snaphost::SnapRecord& record :
       snaphost::RecordCatalogue(home + "/records.db").List()) {
    letters += record.errorCode != 0 ? 'f' : record.status == ZRSO::STATUS_MAPPED ? 'm' : '-';
  }
  return letters;
}

// kRecords records, as RecordsOf gives them, that match `pattern`.
::testing::Matcher<std::string> AllRecords(const char* pattern) {
  return ::testing::AllOf(::testing::SizeIs(kRecords), ::testing::MatchesRegex(pattern));
}

class PostgreSQLNetwork : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform_.missing().empty()) GTEST_SKIP() << platform_.missing();
    if (*Environment("PGPORT") == '\0' || *Environment("PGVERSION") == '\0' ||
        *Environment("PG_CONFIG") == '\0') {
      GTEST_SKIP() << "the server is not a cluster of pg_virtualenv's (PGPORT, PGVERSION and "
                      "PG_CONFIG unset), which these tests may restart";
    }
    setenv("ZRSO_CALL_DEADLINE", std::to_string(kDeadline).c_str(), 1);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"server", "add", "nas1.test"},
                                               {"client", "add", "nas1", "nas1.test"},
                                               {"share", "add", "sales", "nas1", "1001"}}) {
      ASSERT_EQ(Snaphost(platform_.folder(), args).exitCode, 0) << args[0];
    }
  }
  void TearDown() override { unsetenv("ZRSO_CALL_DEADLINE"); }

  // The home of a host machine of its own, with `records` records of /sales.
  std::string Machine(const std::string& name, int records = kRecords) {
    const std::string home = platform_.folder() + "/" + name;
    std::filesystem::create_directories(home);
    const SnaphostRun snap = Snaphost(home, {"snap", "--share", "/sales", "--server", "nas1.test",
                                             "--count", std::to_string(records)});
    EXPECT_EQ(snap.exitCode, 0) << snap.err;
    return home;
  }
  // snaphost on the platform at `location` (the server itself by default).
  SnaphostRun Snaphost(const std::string& home, std::vector<std::string> args,
                       const std::string& location = "") {
    args.insert(args.begin(), {"--platform", location.empty() ? platform_.location() : location});
    SnaphostRun run = testsupport::RunSnaphost(home, args, kLimit);
    EXPECT_FALSE(run.killed) << args[2] << " still running after " << kLimit.count() << " s";
    return run;
  }
  // The platform by way of `proxy`; with a `standby` host as well, on
  // whichever of the two is writable.
  std::string Through(const FaultProxy& proxy, const std::string& standby = "") const {
    const std::string port = std::to_string(proxy.port());
    if (standby.empty()) return platform_.location() + " host=127.0.0.1 port=" + port;
    return platform_.location() + " host=127.0.0.1," + standby + " port=" + port + "," +
           Environment("PGPORT") + " target_session_attrs=read-write";
  }
  // Maps the records of `home` through `location` while the main thread
  // goes on; the time it ended is then in `end`.
  std::future<SnaphostRun> MapLater(const std::string& home, const std::string& location,
                                    Clock::time_point* end = nullptr) {
    return std::async(std::launch::async, [this, home, location, end] {
      SnaphostRun run = Snaphost(home, {"map", "--share", "/sales"}, location);
      if (end != nullptr) *end = Clock::now();
      return run;
    });
  }
  static int ServerPort() { return std::atoi(Environment("PGPORT")); }

  testsupport::TempPlatform platform_{testsupport::StoreKind::kPostgres};
};

// A host partitioned mid-batch ends the batch by itself, each remaining
// record failing; cut between its view-list UPDATE and the COMMIT, it
// leaves the row locked in a session the server keeps, and a host on the
// same share beside it is held up only about the bound; partitioned at
// connect, the whole batch fails, saying where the store is.
TEST_F(PostgreSQLNetwork, PartitionedHostEndsItsBatchAndHoldsNoOtherUp) {
  struct Cut {
    const char* name;
    const char* marker;  // of the write held
    int nth;
    const char* after;  // sent before it
    int exitCode;
    const char* records;  // AllRecords
    const char* says;     // on standard error
  };
  const std::string where = "PostgreSQL host 127.0.0.1 port ";
  for (const Cut& cut :
       {Cut{"mid-batch", "BEGIN ISOLATION", kMidBatch, "", 2, "m+f+", ""},
        Cut{"between UPDATE and COMMIT", "COMMIT", 1, "UPDATE view_lists", 1, "f+", ""},
        Cut{"at connect", "", 1, "", 1, "[^m]+", where.c_str()}}) {
    SCOPED_TRACE(cut.name);
    const std::string homeA = Machine(std::string("a ") + cut.name);
    const std::string homeB = Machine(std::string("b ") + cut.name, 3);
    FaultProxy proxy(ServerPort());
    proxy.PartitionAt(cut.marker, cut.nth, cut.after);
    Clock::time_point endA;
    std::future<SnaphostRun> a = MapLater(homeA, Through(proxy), &endA);
    ASSERT_TRUE(proxy.WaitPartitioned(kLimit));
    const Clock::time_point startB = Clock::now();
    const SnaphostRun b = Snaphost(homeB, {"map", "--share", "/sales"});
    const double heldUp = SecondsSince(startB);
    const SnaphostRun runA = a.get();
    const double ended = std::chrono::duration<double>(endA - proxy.partitionedAt()).count();
    const std::string records = RecordsOf(homeA);
    EXPECT_EQ(runA.exitCode, cut.exitCode) << runA.err;
    if (*cut.says != '\0') {
      EXPECT_THAT(runA.err, HasSubstr(cut.says + std::to_string(proxy.port())));
    }
    EXPECT_THAT(records, AllRecords(cut.records));
    EXPECT_LT(ended, 2 * kDeadline);
    EXPECT_LT(heldUp, 1.5 * kDeadline);
    EXPECT_EQ(b.exitCode, 0) << b.err;
    std::cout << "network: partitioned " << cut.name << ", the host ended its batch " << ended
              << " s after the partition (records " << records
              << "); the other host's batch of 3 took " << heldUp << " s\n";
  }
}

// A connection the server dropped is made again before the next unit, so
// the batch goes on across a server restart: whole if the restart fell
// between two units (the host held at a BEGIN while the server restarts),
// but for the record whose unit it cut otherwise.
TEST_F(PostgreSQLNetwork, BatchGoesOnAcrossAServerRestart) {
  setenv("ZRSO_CALL_DEADLINE", kPatientDeadline, 1);
  struct Restart {
    const char* name;
    const char* marker;  // of the write held
    int nth;
    const char* records;  // AllRecords
  };
  for (const Restart& restart : {Restart{"between units", "BEGIN", kMidBatch, "m+"},
                                 Restart{"inside a unit", "UPDATE view_lists", 1, "m*f?m*"}}) {
    SCOPED_TRACE(restart.name);
    const std::string home = Machine(std::string("a ") + restart.name);
    FaultProxy proxy(ServerPort());
    proxy.PartitionAt(restart.marker, restart.nth);
    std::future<SnaphostRun> map = MapLater(home, Through(proxy));
    ASSERT_TRUE(proxy.WaitPartitioned(kLimit));
    EXPECT_TRUE(Cluster("restart"));
    proxy.Heal();
    const SnaphostRun run = map.get();
    EXPECT_THAT(RecordsOf(home), AllRecords(restart.records)) << run.err;
  }
}

// A streaming standby of the test server, in a folder of its own where it
// listens on a socket only, open to local users; at the end the standby is
// gone and the test server up again.
class Standby {
 public:
  Standby() {
    const std::string data = testsupport::OnTestServer("SHOW data_directory");
    struct stat owner {};
    stat(data.c_str(), &owner);
    const std::string asOwner =
        owner.st_uid == geteuid()
            ? ""
            : std::string("runuser -u ") + getpwuid(owner.st_uid)->pw_name + " -- ";
    char pattern[] = "/tmp/zrso-standby-XXXXXX";
    folder_ = mkdtemp(pattern);
    EXPECT_EQ(chown(folder_.c_str(), owner.st_uid, owner.st_gid), 0);
    const std::string bin = std::filesystem::path(Environment("PG_CONFIG")).parent_path();
    pgCtl_ = asOwner + bin + "/pg_ctl -D " + folder_ + "/data ";
    EXPECT_TRUE(Shell(asOwner + bin + "/pg_basebackup -h 127.0.0.1 -p " + Environment("PGPORT") +
                      " -D " + folder_ + "/data -R -X stream -c fast -N"));
    std::ofstream(folder_ + "/data/postgresql.conf")
        << "fsync = off\nlisten_addresses = ''\nunix_socket_directories = '" << folder_ << "'\n";
    std::ofstream(folder_ + "/data/pg_hba.conf") << "local all all trust\n";
    EXPECT_TRUE(Shell(pgCtl_ + "-l " + folder_ + "/log -w start"));
  }
  ~Standby() {
    Shell(pgCtl_ + "-m immediate stop");
    Cluster("start");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Its socket's folder, the libpq host of the standby (on the test server's port).
  const std::string& host() const { return folder_; }
  bool Promote() const { return Shell(pgCtl_ + "-w promote"); }

 private:
  std::string folder_;
  std::string pgCtl_;
};

// A primary with a streaming standby, the primary stopped mid-batch and the
// standby promoted: the host goes on on the new primary, nothing done is
// lost, every record is mapped, and doctor --repair leaves records, views
// and exports agreeing. The host is held at a unit's BEGIN, which goes with
// the unit's first statement: nothing of that unit was done, and it is all
// sent again on the new primary.
TEST_F(PostgreSQLNetwork, BatchGoesOnOnAPromotedStandby) {
  setenv("ZRSO_CALL_DEADLINE", kPatientDeadline, 1);
  const std::string home = Machine("a");
  Standby standby;
  FaultProxy proxy(ServerPort());
  const std::string location = Through(proxy, standby.host());
  proxy.PartitionAt("BEGIN", kMidBatch);
  std::future<SnaphostRun> map = MapLater(home, location);
  ASSERT_TRUE(proxy.WaitPartitioned(kLimit));
  const Clock::time_point failover = Clock::now();
  // Shut down fast, a primary first sends its standbys all it wrote.
  EXPECT_TRUE(Cluster("stop"));
  EXPECT_TRUE(standby.Promote());
  proxy.Refuse();
  proxy.Heal();
  const SnaphostRun run = map.get();
  const double took = SecondsSince(failover);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(RecordsOf(home), AllRecords("m+"));

  const SnaphostRun found = Snaphost(home, {"doctor", "--json"}, location);
  EXPECT_THAT(found.out, ::testing::Not(HasSubstr("mapped-view-gone")));
  const SnaphostRun repair = Snaphost(home, {"doctor", "--repair"}, location);
  EXPECT_EQ(repair.exitCode, 0) << repair.err;
  EXPECT_EQ(Snaphost(home, {"doctor"}, location).exitCode, 0);
  std::cout << "network: failover mid-batch, the batch went on " << took
            << " s after it was held\n";
}

}  // namespace
