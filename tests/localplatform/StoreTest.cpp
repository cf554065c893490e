// The platform store on each database: a database from a newer build is
// refused, processes meeting a new database at once all open it, a whole
// platform moves into PostgreSQL; a PostgreSQL location is never shown with
// its password, no session holds another past the bounds of the call
// deadline, and of several hosts the one reached is named. What it stores
// is tested through the platform classes that use it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "SqliteDatabase.h"
#include "StoreSql.h"
#include "admin/PlatformConfiguration.h"
#include "admin/PlatformCopy.h"
#include "admin/StorableRows.h"
#include "store/PgConnection.h"
#include "store/Schema.h"
#include "store/SqlStore.h"
#include "store/SqliteStore.h"
#include "store/StoreContents.h"
#include "support/EachStore.h"
#include "support/SnaphostProcess.h"

namespace {

using namespace localplatform;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;
using namespace std::string_literals;

// What `work` threw as an `Error`, or empty when it threw nothing.
template <typename Error = std::exception, typename Work>
std::string Failure(Work work) {
  try {
    work();
  } catch (const Error& error) {
    return error.what();
  }
  return "";
}

class PlatformStore : public testsupport::OnEachStore {};

TEST_P(PlatformStore, ADatabaseFromANewerBuildIsRefused) {
  testsupport::ExecuteSql(platform_, GetParam() == testsupport::StoreKind::kSqlite
                                         ? "PRAGMA user_version=999"
                                         : "UPDATE schema_version SET version = 999");
  EXPECT_THAT(Failure<StoreError>([&] { ConnectStore(platform_.location()); }),
              HasSubstr("has schema version 999, newer than this build"));
}

TEST_P(PlatformStore, ProcessesMeetingANewDatabaseAtOnceAllOpenIt) {
  int gate[2];
  ASSERT_EQ(pipe(gate), 0);
  std::vector<pid_t> children;
  for (int child = 0; child < 4; ++child) {
    children.push_back(fork());
    if (children.back() == 0) {
      close(gate[1]);
      char nothing;
      (void)!read(gate[0], &nothing, 1);  // until the parent closes the gate
      const std::string failure =
          Failure<StoreError>([&] { ConnectStore(platform_.location())->ListShares(); });
      std::fprintf(stderr, "%s\n", failure.c_str());
      _exit(failure.empty() ? 0 : 1);
    }
  }
  close(gate[0]);
  close(gate[1]);
  for (pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
}

TEST(SqlitePlatformStore, ANewDatabaseGetsItsFolders) {
  testsupport::TempPlatform platform;
  const std::string path = platform.folder() + "/nested/folder/platform.db";
  SqliteStore store(path);
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST(SqlitePlatformStore, AShareIsConfiguredOncePerServer) {
  testsupport::TempPlatform platform;
  {
    const auto& steps = SqliteSchema();
    storage::SqliteDatabase before(platform.location(), {steps.begin(), steps.begin() + 3});
    before.Exec(
        "INSERT INTO nfs_shares (share, server_client_name, subclient_id) VALUES "
        "('s', 'nas1', 1), ('s', 'nas2', 2), ('s', 'nas1', 3)");
  }
  SqliteStore store(platform.location());
  // The repeated row, which the lookup never reached, is gone.
  EXPECT_THAT(store.ListShares(), testing::ElementsAre(testing::Field(&ShareRow::subclientId, 1),
                                                       testing::Field(&ShareRow::subclientId, 2)));
  EXPECT_THROW(store.AddShare({"s", "nas2", 4}), StoreError);
}

// A value of a row in Described: a text with its length.
void Describe(std::ostream& out, const std::string& s) { out << s.size() << ":" << s << " "; }
template <typename Number>
void Describe(std::ostream& out, Number number) {
  out << number << " ";
}

// Everything a store holds, in one text: each row's values, then ";".
std::string Described(const PlatformContents& contents) {
  std::ostringstream out;
  const auto row = [&out](const auto&... values) {
    (Describe(out, values), ...);
    out << ";";
  };
  for (const auto& r : contents.clients) row(r.name, r.hostName);
  for (const auto& r : contents.shares) row(r.share, r.serverClientName, r.subclientId);
  for (const auto& [id, list] : contents.viewLists) row(list.text, id, list.version);
  for (const auto& r : contents.nfsServers) row(r.hostName, r.up);
  for (const auto& r : contents.exports) {
    row(r.hostName, r.mountPath, r.subclientId, r.exportType, r.exportedAt);
  }
  for (const auto& [section, key, value] : contents.numbers) row(section, key, value);
  for (const auto& r : contents.faults) row(r.name, r.scope, r.nth, r.onward);
  return out.str();
}

// What either store keeps, byte for byte, and what both refuse with one text.

const std::string kNotUtf8 = "caf\xe9-\xff\xfe";
const std::string kNulInside = "A\0B;\xc3\x28;"s;

// A name at the limit, of bytes that do not repeat soon (PostgreSQL would
// compress a run), none of them NUL.
std::string Longest(size_t limit) {
  std::string name;
  for (size_t at = 0; name.size() < limit; ++at) name += static_cast<char>(at * 7 % 255 + 1);
  return name;
}

TEST_P(PlatformStore, AwkwardRowsAreKeptByteForByteAndCopiedIntoEitherStore) {
  const std::string longest = Longest(kNameLimit);
  std::string megabyteList;
  while (megabyteList.size() < (size_t{1} << 20)) megabyteList += "<SnapName>v\xe9\0x</SnapName>;"s;
  testsupport::TempPlatform source;
  Store& store = source.store();
  store.PutClient({kNotUtf8, longest});
  store.PutClient({longest, "h\x80st"});
  store.AddShare({longest, longest, 7});
  store.WriteViewList(7, megabyteList, 0);
  store.RestoreViewList(8, {kNulInside, 5});
  store.PutNfsServer({longest, false});
  store.AddExport({longest, 7, Longest(kMountPathLimit), 2, 1700000000});
  store.SetNumber(Longest(kKeyLimit), Longest(kKeyLimit), 1);
  store.SetFault({Longest(kKeyLimit), Longest(kKeyLimit)});
  const PlatformContents kept = ReadPlatform(store);
  for (const ContentKind& kind : ContentKinds()) EXPECT_NE(kind.count(kept), 0u) << kind.shown;
  ASSERT_EQ(kept.viewLists.size(), 2u);
  EXPECT_EQ(kept.viewLists[0].second.text, megabyteList);
  EXPECT_EQ(kept.viewLists[1].second.text, kNulInside);
  ASSERT_EQ(kept.clients.size(), 2u);
  EXPECT_EQ(kept.clients[1].name + kept.clients[1].hostName, kNotUtf8 + longest);

  std::unique_ptr<Store> target = ConnectStore(platform_.location());
  PlatformContents copied;
  ASSERT_TRUE(CopyPlatform(store, *target, false, copied));
  EXPECT_EQ(Described(ReadPlatform(*target)), Described(kept));
}

// Lists written one over the other, as maps, unmaps and edits make them,
// and lists this system never writes: each reads back as written, on the
// connection that wrote it and on a new one, which keeps nothing.
TEST_P(PlatformStore, EveryViewListReadsBackAsWritten) {
  std::string views;
  for (int view = 0; view < 2000; ++view) views += "<V>" + std::to_string(view) + "</V>;";
  std::vector<std::string> lists = {"A;",     "A;B;",   "A;B;C;",   "A;C;",
                                    "X;A;C;", "A;C",    "A;C;D",    ";;",
                                    "",       "no end", kNulInside, kNotUtf8 + ";"};
  for (std::string edited : {views, views + "<V>new</V>;", "<V>first</V>;" + views,
                             views.substr(0, 9000) + views.substr(9030), views.substr(500)}) {
    lists.push_back(edited);
  }
  // Records put again and again at one place, until there is no room left
  // there, between records long enough to be pieces of their own.
  const std::string first(3000, 'a');
  lists.push_back(first + ";" + std::string(3000, 'z') + ";");
  for (int view = 0; view < 24; ++view) {
    lists.push_back(first + ";" + std::to_string(view) + ";" + lists.back().substr(3001));
  }
  Store& writer = platform_.store();
  int64_t version = writer.ReadViewList(7).version;
  for (const std::string& list : lists) {
    SCOPED_TRACE(list.substr(0, 40));
    ASSERT_TRUE(writer.WriteViewList(7, list, version++));
    EXPECT_EQ(writer.ReadViewList(7).text, list);
    const VersionedViewList read = ConnectStore(platform_.location())->ReadViewList(7);
    EXPECT_EQ(read.text, list);
    EXPECT_EQ(read.version, version);
  }
  // A list another connection wrote is read as it wrote it, and a write over
  // the version before it loses.
  ASSERT_TRUE(ConnectStore(platform_.location())->WriteViewList(7, "other;", version));
  EXPECT_EQ(writer.ReadViewList(7).text, "other;");
  EXPECT_FALSE(writer.WriteViewList(7, "late;", version));
}

// Lists the schema stored whole, before it kept them as pieces, read the same
// after the step that splits them, at their versions, and take writes.
TEST_P(PlatformStore, ListsStoredWholeReadTheSameOnceKeptAsPieces) {
  const char* kWholeLists =
      "INSERT INTO view_lists (subclient_id, list_text, version) "
      "VALUES (7, 'A;B;C;', 3), (8, '', 1), (9, 'no end', 2)";
  const bool sqlite = GetParam() == testsupport::StoreKind::kSqlite;
  std::vector<storage::Migration> before = sqlite ? SqliteSchema() : PostgresSchema();
  before.pop_back();
  if (sqlite) {
    storage::SqliteDatabase(platform_.location(), before).Exec(kWholeLists);
  } else {
    PgConnection connection(platform_.location(), kDefaultCallDeadline);
    connection.Migrate(before);
    connection.Exec(kWholeLists);
  }
  PlatformContents whole;
  whole.viewLists = {{7, {"A;B;C;", 3}}, {8, {"", 1}}, {9, {"no end", 2}}};
  Store& store = platform_.store();
  EXPECT_EQ(Described(ReadPlatform(store)), Described(whole));
  for (const auto& [subclient, list] : whole.viewLists) {
    EXPECT_EQ(store.ReadViewList(subclient).text, list.text);
    ASSERT_TRUE(store.WriteViewList(subclient, "A;" + list.text + "Z;", list.version));
    EXPECT_EQ(ConnectStore(platform_.location())->ReadViewList(subclient).text,
              "A;" + list.text + "Z;");
  }
}

TEST_P(PlatformStore, BothStoresRefuseTheSameRowsWithTheSameText) {
  const std::string overlong(kNameLimit + 1, 'n');
  const struct {
    std::function<void(Store&)> write;
    const char* said;
  } cases[] = {
      {[](Store& s) {
         s.PutClient({"", "h"});
       },
       "the client name is empty"},
      {[&](Store& s) {
         s.PutClient({"c", overlong});
       },
       "the host name is 1025 bytes long, over the limit of 1024 bytes"},
      {[](Store& s) {
         s.AddShare({"s\0t"s, "c", 1});
       },
       "the share name holds a NUL byte"},
      {[&](Store& s) {
         s.AddShare({"s", overlong, 1});
       },
       "the server client name is 1025 bytes long, over the limit of 1024 bytes"},
      {[](Store& s) {
         s.PutNfsServer({"", true});
       },
       "the host name is empty"},
      {[](Store& s) {
         s.AddExport({"h", 1, std::string(kMountPathLimit + 1, 'm'), 2, 0});
       },
       "the mount path is 1089 bytes long, over the limit of 1088 bytes"},
      {[](Store& s) { s.WriteViewList(1, std::string(kViewListLimit + 1, ';'), 0); },
       "the view list is 67108865 bytes long, over the limit of 67108864 bytes"},
      {[](Store& s) { s.SetNumber("jobs", std::string(kKeyLimit + 1, 'k'), 1); },
       "the information store key is 1025 bytes long, over the limit of 1024 bytes"},
      {[](Store& s) {
         s.SetFault({"throw", std::string(kKeyLimit + 1, 's')});
       },
       "the fault scope is 1025 bytes long, over the limit of 1024 bytes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Failure<StoreRefusal>([&] { c.write(platform_.store()); }), "refused: "s + c.said);
  }
  EXPECT_TRUE(ReadPlatform(platform_.store()).empty());
}

// A store written before names were refused at the door.
TEST_P(PlatformStore, ACopyNamesTheRowItCouldNotCopyAndCopiesNothing) {
  testsupport::TempPlatform source;
  source.store().PutNfsServer({"nas1.test", true});
  testsupport::ExecuteSql(source, "INSERT INTO clients (name, host_name) VALUES ('', 'nas1.test')");
  std::unique_ptr<Store> target = ConnectStore(platform_.location());
  PlatformContents copied;
  EXPECT_EQ(Failure<StoreError>([&] { CopyPlatform(source.store(), *target, false, copied); }),
            "cannot copy the row of clients []: refused: the client name is empty");
  EXPECT_TRUE(ReadPlatform(*target).empty());
}

// Of the tables a database really has, but those it keeps for itself, each
// is copied as content of a kind or listed as derived, and none is missing.
TEST_P(PlatformStore, EveryTableIsCopiedOrDerived) {
  platform_.store();
  std::set<std::string> found;
  const auto collect = [&found](auto query) {
    while (query.Step()) found.insert(query.ColumnText(0));
  };
  if (GetParam() == testsupport::StoreKind::kSqlite) {
    storage::SqliteDatabase db(platform_.location(), SqliteSchema());
    collect(db.Prepare("SELECT name FROM sqlite_master WHERE type = 'table'"));
  } else {
    PgConnection db(platform_.location(), kDefaultCallDeadline);
    collect(db.Reuse("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()"));
  }
  for (const char* table : BookkeepingTables()) found.erase(table);
  std::set<std::string> listed(DerivedTables().begin(), DerivedTables().end());
  for (const ContentKind& kind : ContentKinds()) {
    listed.insert(kind.tables.begin(), kind.tables.end());
  }
  EXPECT_EQ(found, listed);
}

INSTANTIATE_ON_EACH_STORE(PlatformStore);

TEST(PostgreSQLSchema, TextsStoredBeforeTheyWereKeptAsBytesReadTheSame) {
  testsupport::TempPlatform platform(testsupport::StoreKind::kPostgres);
  if (!platform.missing().empty()) GTEST_SKIP() << platform.missing();
  {
    PgConnection before(platform.location(), kDefaultCallDeadline);
    before.Migrate({PostgresSchema().front()});
    before.Exec(
        "INSERT INTO clients (name, host_name) VALUES ('caf\u00e9', 'h1'), ('b', 'h2');"
        "INSERT INTO view_lists (subclient_id, list_text, version) VALUES (7, 'A;\u00e9;', 3)");
  }
  PlatformContents converted;
  converted.clients = {{"b", "h2"}, {"caf\xc3\xa9", "h1"}};
  converted.viewLists = {{7, {"A;\xc3\xa9;", 3}}};
  Store& store = platform.store();
  EXPECT_EQ(Described(ReadPlatform(store)), Described(converted));
  EXPECT_THROW(store.PutClient({"", "h"}), StoreRefusal);
  store.PutClient({kNotUtf8, "h3"});
  std::string host;
  EXPECT_TRUE(store.FindClientHost(kNotUtf8, host) && host == "h3");
}

// The store that the hosts of several machines share.
class SharedStore : public testsupport::OnEachStore {};

// A platform one machine kept moves into PostgreSQL whole, through snaphost,
// and only into a database that holds none unless told to replace it.
TEST_P(SharedStore, MovesAOneMachinePlatformIntoPostgreSql) {
  testsupport::TempPlatform source;
  Store& store = source.store();
  source.AddNfsServer("nas1", "nas1.test");
  store.PutNfsServer({"nas2.test", false});
  store.AddShare({"zeta", "nas1", 7});
  store.AddShare({"alpha", "nas2", 3});
  for (const char* list : {"A;", "A;B;", "B;"}) source.PutViewList(7, list);  // at version 3
  store.AddExport({"nas1.test", 7, "/zeta-B", 2, 1700000000});
  store.SetNumber("jobs", "7", 42);
  store.SetNumber("other", "k", 1);
  store.SetFault({"view-list-write", "7", 3, false});
  const std::string kept = Described(ReadPlatform(store));

  auto copy = [&](std::vector<std::string> options) {
    options.insert(options.begin(), {"platform", "copy", "--to", platform_.location()});
    return testsupport::RunSnaphost(source.folder(), options);
  };
  const auto copied = [&] { return Described(ReadPlatform(*ConnectStore(platform_.location()))); };
  const testsupport::SnaphostRun first = copy({});
  EXPECT_EQ(first.exitCode, 0) << first.err;
  EXPECT_THAT(first.out, HasSubstr("clients 1, shares 2, view lists 1, file-server machines 2, "
                                   "exports 1, information store entries 2, faults 1"));
  EXPECT_EQ(copied(), kept);

  store.AddShare({"later", "nas1", 9});
  const testsupport::SnaphostRun again = copy({});
  EXPECT_EQ(again.exitCode, 3);
  EXPECT_THAT(again.err, HasSubstr("already holds a platform: nothing copied"));
  EXPECT_EQ(copied(), kept);
  EXPECT_EQ(copy({"--replace"}).exitCode, 0);
  EXPECT_EQ(copied(), Described(ReadPlatform(store)));
}

// Nothing listens on port 1; the password is in each location and must be
// in no text.
constexpr char kNamed[] = "PostgreSQL host 127.0.0.1 port 1 database platform";
constexpr char kUnreadable[] = "cannot read the PostgreSQL connection string";

TEST(PostgresLocation, NoPasswordIsShownInAnyTextOrLogLine) {
  const std::string password = "pw-Secret-42";
  const struct {
    std::string location;
    const char* said;
  } cases[] = {
      {"postgresql://zrso:" + password + "@127.0.0.1:1/platform", kNamed},
      {"host=127.0.0.1 port=1 dbname=platform user=zrso password=" + password, kNamed},
      {"postgresql://zrso:" + password + "@[::1/platform", kUnreadable},
      {"host=127.0.0.1 password='" + password + "' dbname", kUnreadable},
      {"host=127.0.0.1 password=" + password + " x" + password, kUnreadable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.location);
    ASSERT_TRUE(IsPostgresLocation(c.location));
    testsupport::TempPlatform platform;
    const auto namedWithoutPassword = testing::AllOf(HasSubstr(c.said), Not(HasSubstr(password)));
    EXPECT_THAT(Failure<StoreError>([&] { ConnectStore(c.location); }), namedWithoutPassword);
    // snaphost's own error, and the platform's log lines in its log file.
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"client", "list"}, {"snap", "--share", "/sales", "--server", "nas1.test"}}) {
      args.insert(args.begin(), {"--platform", c.location});
      const testsupport::SnaphostRun run = testsupport::RunSnaphost(platform.folder(), args);
      EXPECT_NE(run.exitCode, 0);
      EXPECT_THAT(run.out + run.err, Not(HasSubstr(password)));
    }
    std::ostringstream logFile;
    logFile << std::ifstream(platform.folder() + "/zrso.log").rdbuf();
    EXPECT_THAT(logFile.str(), namedWithoutPassword);
  }
}

// ZRSO_CALL_DEADLINE in whole seconds, never above the longest.
TEST(CallDeadline, IsReadFromTheEnvironmentAndBounded) {
  const struct {
    const char* text;
    int seconds;
  } cases[] = {{"", 10}, {"7", 7}, {"30", 30}, {"45", 30}, {"0", 10}, {"-2", 10}, {"5s", 10}};
  for (const auto& c : cases) {
    setenv("ZRSO_CALL_DEADLINE", c.text, 1);
    const PlatformConfiguration configuration = PlatformConfiguration::ForStore("platform.db");
    EXPECT_EQ(BoundedCallDeadline(configuration.callDeadline).count(), c.seconds) << c.text;
  }
  unsetenv("ZRSO_CALL_DEADLINE");
}

// A session that holds a row lock and idles, and another that wants the
// row, each with timeouts from its deadline unless its location sets them.
TEST_P(SharedStore, NoSessionHoldsAnotherPastItsBounds) {
  const std::string keptIdle = " options='-c idle_in_transaction_session_timeout=0'";
  const std::string neverTimedOut = " options='-c lock_timeout=0 -c statement_timeout=0'";
  const struct {
    std::string holder, waiter;
    const char* holderSettings;
    testing::Matcher<const std::string&> waiterFails, holderCommitFails;
  } cases[] = {
      // The idle holder is ended, and the waiter gets the row, before its lock wait ends.
      {"", "", "2s 1s 500ms", IsEmpty(), HasSubstr("whether the unit was kept is unknown")},
      {keptIdle, "", "2s 1s 0", HasSubstr("canceling statement due to lock timeout"), IsEmpty()},
      {keptIdle, neverTimedOut, "2s 1s 0", HasSubstr("within the call deadline of 4 s"), IsEmpty()},
  };
  platform_.PutViewList(7, "A;");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holder + " /" + c.waiter);
    PgConnection holder(platform_.location() + c.holder, std::chrono::seconds(2));
    auto settings = holder.Reuse(
        "SELECT current_setting('statement_timeout') || ' ' || current_setting('lock_timeout') || "
        "' ' || current_setting('idle_in_transaction_session_timeout')");
    ASSERT_TRUE(settings.Step());
    EXPECT_EQ(settings.ColumnText(0), c.holderSettings);
    const int64_t version = platform_.store().ReadViewList(7).version;
    holder.BeginUnit(true);
    holder.Reuse(kUpdateViewList).Bind(1, 7).Bind(2, version).Bind(3, int64_t{0}).Run();
    const std::string waiter = platform_.location() + c.waiter;
    const auto write = [&] {
      EXPECT_TRUE(ConnectStore(waiter, std::chrono::seconds(4))->WriteViewList(7, "B;", version));
    };
    EXPECT_THAT(Failure(write), c.waiterFails);
    EXPECT_THAT(Failure([&] { holder.EndUnit("COMMIT"); }), c.holderCommitFails);
  }
  // The waiter whose deadline passed found the store unreachable: it is
  // not connected to again for a while.
  EXPECT_THAT(Failure([&] { ConnectStore(platform_.location() + neverTimedOut); }),
              HasSubstr("within the call deadline of 4 s"));
}

// Of a multi-host location the host the connection reached is named.
TEST_P(SharedStore, AMultiHostLocationIsNamedByTheHostItReached) {
  const char* host = std::getenv("PGHOST");
  const char* port = std::getenv("PGPORT");
  if (host == nullptr || port == nullptr) GTEST_SKIP() << "PGHOST and PGPORT name no server";
  const std::string location = platform_.location() + " host=127.0.0.1," + host + " port=1," +
                               port + " target_session_attrs=read-write";
  std::unique_ptr<Store> store = ConnectStore(location);
  EXPECT_THAT(store->Where(), HasSubstr("PostgreSQL host " + std::string(host) + " port " + port));
  EXPECT_TRUE(store->ListShares().empty());
}

INSTANTIATE_TEST_SUITE_P(PostgreSQL, SharedStore,
                         ::testing::Values(testsupport::StoreKind::kPostgres));

}  // namespace
