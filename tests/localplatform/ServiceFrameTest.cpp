// The frame every platform service call runs in, as callers meet it, on
// each store: a fault set by any connection is seen on the next call and
// confined to its scope, a throw leaves the call as an exception; a store
// that cannot be read fails every service with one code, one that never
// answers fails a batch of calls within seconds, and one whose connection
// was lost is connected to again; an argument whose value callers must fix,
// or a row no store keeps, is refused. Each failure is logged once, and kept
// for the host as its service's last.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "AppMgr.h"
#include "LuUtils.h"
#include "StoreSql.h"
#include "VeskConfigClient.h"
#include "XmlMessages.h"
#include "ZrLib.h"
#include "admin/InjectedFaults.h"
#include "admin/PlatformConfiguration.h"
#include "admin/PlatformCounters.h"
#include "admin/ServiceFailures.h"
#include "admin/StorableRows.h"
#include "frame/ServiceFrame.h"
#include "support/CapturingLogWriter.h"
#include "support/EachStore.h"

namespace {

using namespace localplatform;

constexpr int kThrown = 1;  // no service answers it

int ReadList(unsigned long subclient) {
  std::string list;
  try {
    return Subclient(subclient).getVeskViewConfiguration(list, nullptr);
  } catch (const InjectedThrow&) {
    return kThrown;
  }
}

std::string Request(bool pretty) {
  std::string text;
  App::GetNFSShareReq().serialize(text, pretty);
  return text;
}

int Execute(unsigned long procedure, const std::string& request, void* reserved = nullptr) {
  std::string response;
  return App_ExecuteSP().executeStoredProcedure(procedure, request, response, reserved);
}

int HostName(ZRClient client, void* reserved = nullptr) {
  std::string host;
  return client.getNetworkHostname(host, reserved);
}

int MangledHostName(ZRClient client) {
  std::string host;
  return client.getNetworkHostnameMangled(host, nullptr);
}

int Start(long long timeout, int flags, bool restart) {
  return Vesk::VeskConfigClient("nas1.test", timeout, nullptr, flags)
      .StartVeskServerWithWait(restart)
      .GetCode();
}

int Export(ExportType type, VeskOperationType operation, std::string auxiliary = "",
           std::string mountPath = "/s-v_1") {
  return Vesk::VeskConfigClient("nas1.test", 0, nullptr, 0)
      .BackupFSMExport(type, operation, 7, mountPath, auxiliary);
}

class ServiceFrame : public testsupport::OnEachStore {};

TEST_P(ServiceFrame, AFaultSetByAnotherConnectionIsSeenOnTheNextCallWithinItsScope) {
  std::unique_ptr<Store> administrator = ConnectStore(platform_.location());
  const struct {
    FaultRow fault;
    int onSeven, onEight;
  } cases[] = {
      {{"", ""}, kServiceDone, kServiceDone},
      {{kFaultViewListRead, ""}, kFaultInjected, kFaultInjected},
      {{kFaultViewListRead, "7"}, kFaultInjected, kServiceDone},
      {{kFaultViewListWrite, ""}, kServiceDone, kServiceDone},
      {{kFaultThrow, ""}, kThrown, kThrown},
      {{kFaultThrow, kFaultViewListRead}, kThrown, kThrown},
      {{kFaultThrow, "view-list-read:7"}, kThrown, kServiceDone},
      {{kFaultThrow, "view-list-write:7"}, kServiceDone, kServiceDone},
      // Counted calls: only those within the scope count.
      {{kFaultViewListRead, "", 2, false}, kServiceDone, kFaultInjected},
      {{kFaultViewListRead, "", 1, false}, kFaultInjected, kServiceDone},
      {{kFaultViewListRead, "8", 1, false}, kServiceDone, kFaultInjected},
      {{kFaultViewListRead, "7", 2, true}, kServiceDone, kServiceDone},
      {{kFaultViewListRead, "", 2, true}, kServiceDone, kFaultInjected},
      {{kFaultThrow, "", 2, false}, kServiceDone, kThrown},
      {{kFaultThrow, "view-list-read:8", 1, true}, kServiceDone, kThrown},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault.name + " " + c.fault.scope + " " + std::to_string(c.fault.nth));
    administrator->ClearFaults("");
    if (!c.fault.name.empty()) administrator->SetFault(c.fault);
    testsupport::ScopedCapture log(-1);
    EXPECT_EQ(ReadList(7), c.onSeven);
    EXPECT_EQ(ReadList(8), c.onEight);
    EXPECT_EQ(log->CountContaining("injected fault [view-list-read] for ["),
              (c.onSeven == kFaultInjected) + (c.onEight == kFaultInjected));
    EXPECT_EQ(log->lines().size(), static_cast<size_t>(log->CountContaining("injected fault")));
  }
}

TEST_P(ServiceFrame, AStoreThatCannotBeReadFailsEveryServiceWithOneCode) {
  platform_.MakeStoreUnreadable();
  testsupport::ScopedCapture log(-1);
  MarkServiceFailures();
  std::string text;
  CLuString localHost;
  uint64_t number = 0;
  const std::function<int()> calls[] = {
      [&] { return Execute(SP_GET_NFS_SHARES, Request(false)); },
      [&] { return HostName(ZRClient("nas1", false, 0)); },
      [&] { return Subclient(7).getVeskNFSServers(text, nullptr); },
      [&] { return Subclient(7).getVeskViewConfiguration(text, nullptr); },
      [&] { return Subclient(7).setVeskViewConfiguration("A;", nullptr); },
      [&] { return ZRPlatformInfo().setNumber("Ferrynode", "k", 1); },
      [&] { return ZRPlatformInfo().deleteField("Ferrynode", "k"); },
      [&] { return Start(0, 0, false); },
      [&] { return Export(EXPORT_TYPE_PIT_VIEW, OPERATION_ADD); },
      [&] { return CLuIPAddr::GetLocalHost(localHost).GetCode(); },
  };
  for (const auto& call : calls) EXPECT_EQ(call(), kStoreUnavailable);
  // A read answers like an absent entry.
  EXPECT_EQ(ZRPlatformInfo().getNumber("Ferrynode", "k", number), 0);
  EXPECT_EQ(log->CountContaining("platform store: "), static_cast<int>(std::size(calls)) + 1);
  EXPECT_EQ(log->lines().size(), std::size(calls) + 1);
  const std::vector<ServiceFailure> failures = ServiceFailuresSinceMark();
  EXPECT_EQ(failures.size(), std::size(calls) + 1);
  for (const ServiceFailure& failure : failures) {
    EXPECT_EQ(failure.code, kStoreUnavailable) << failure.function;
  }
}

// A PostgreSQL server may end a session: the next call connects again.
class LostConnection : public testsupport::OnEachStore {};

TEST_P(LostConnection, IsMadeAgainOnTheNextCall) {
  const char kEndOtherSessions[] =
      "SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
      "WHERE datname = current_database() AND pid <> pg_backend_pid()";
  ASSERT_EQ(ReadList(7), kServiceDone);
  testsupport::ExecuteSql(platform_, kEndOtherSessions);
  EXPECT_EQ(ReadList(7), kServiceDone);
  EXPECT_EQ(Subclient(7).setVeskViewConfiguration("A;", nullptr), kServiceDone);
  testsupport::ExecuteSql(platform_, kEndOtherSessions);
  EXPECT_EQ(ReadList(7), kServiceDone);
}

// A server that takes the connection and never answers it: the first call
// waits out its deadline, the calls after it fail at once.
TEST(UnreachableStore, FailsABatchOfCallsWithinSeconds) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof(address);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
  testsupport::TempPlatform platform;
  PlatformConfiguration silent = platform.configuration();
  silent.storeLocation =
      "host=127.0.0.1 port=" + std::to_string(ntohs(address.sin_port)) + " dbname=platform";
  silent.callDeadline = std::chrono::seconds(1);
  InstallConfiguration(silent);
  testsupport::ScopedCapture log(-1);
  constexpr int kCalls = 400;
  const auto started = std::chrono::steady_clock::now();
  for (int call = 0; call < kCalls; ++call) EXPECT_EQ(ReadList(7), kStoreUnavailable);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  std::printf("%d calls against a store that never answers: %.1f s\n", kCalls, took.count());
  EXPECT_LT(took.count(), 60);
  EXPECT_EQ(log->CountContaining("timeout expired"), kCalls);
  close(listener);
}

// A fixed argument passed otherwise, or a row no store keeps.
TEST_P(ServiceFrame, AWrongArgumentIsRefusedBeforeAnyWork) {
  platform_.AddNfsServer("nas1", "nas1.test");
  testsupport::ScopedCapture log(-1);
  int reserved = 0;
  const char* const fixed = "wrong argument: ";
  const std::string longPath(kMountPathLimit + 1, 'm'), longList(kViewListLimit + 1, ';');
  const struct {
    std::function<int()> call;
    const char* logged;
  } cases[] = {
      {[&] { return Execute(SP_GET_NFS_SHARES + 1, Request(false)); }, fixed},
      {[&] { return Execute(SP_GET_NFS_SHARES, Request(true)); }, fixed},
      {[&] { return Execute(SP_GET_NFS_SHARES, Request(false), &reserved); }, fixed},
      {[&] { return HostName(ZRClient("nas1", true, 0)); }, fixed},
      {[&] { return HostName(ZRClient("nas1", false, 1)); }, fixed},
      {[&] { return HostName(ZRClient("nas1", false, 0), &reserved); }, fixed},
      {[&] { return MangledHostName(ZRClient("nas1", ZRNameType(2), 0, nullptr)); }, fixed},
      {[&] { return MangledHostName(ZRClient("nas1", ZR_NAME_TYPE_CLIENT_NAME, 1, nullptr)); },
       fixed},
      {[&] { return Start(1, 0, false); }, fixed},
      {[&] { return Start(0, 1, false); }, fixed},
      {[&] { return Start(0, 0, true); }, fixed},
      {[&] { return Export(ExportType(1), OPERATION_ADD); }, fixed},
      {[&] { return Export(EXPORT_TYPE_PIT_VIEW, VeskOperationType(2)); }, fixed},
      {[&] { return Export(EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "x"); }, fixed},
      {[&] { return Subclient(7).setVeskViewConfiguration("A;", &reserved); }, fixed},
      {[&] { return Export(EXPORT_TYPE_PIT_VIEW, OPERATION_ADD, "", longPath); },
       "platform store refused: the mount path is 1089 bytes long"},
      {[&] { return Subclient(7).setVeskViewConfiguration(longList, nullptr); },
       "platform store refused: the view list is 67108865 bytes"},
  };
  for (size_t index = 0; index < std::size(cases); ++index) {
    log->clear();
    EXPECT_EQ(cases[index].call(), kWrongArgument) << index;
    EXPECT_EQ(log->CountContaining(cases[index].logged), 1) << index;
    EXPECT_EQ(log->lines().size(), 1u) << index;
  }
  EXPECT_TRUE(platform_.store().ListExports().empty());
  EXPECT_EQ(platform_.store().ReadViewList(7).version, 0);
  EXPECT_EQ(Export(EXPORT_TYPE_PIT_VIEW, OPERATION_ADD), kServiceDone);
}

// On PostgreSQL a call crosses to the server once, its fault check and
// first statement together, and a call that writes once more, to commit
// or, when an injected fault fails it, to roll back its first statement.
class RoundTrips : public testsupport::OnEachStore {};

TEST_P(RoundTrips, AreOneACallAndOneMoreToCommit) {
  CLuString localHost;
  const struct {
    const char* fault;
    std::function<int()> call;
    int code;
    int64_t trips;
  } cases[] = {
      {"", [] { return ReadList(7); }, kServiceDone, 1},
      {"", [] { return ZRPlatformInfo().setNumber("Ferrynode", "k", 1); }, kServiceDone, 2},
      {"", [&] { return CLuIPAddr::GetLocalHost(localHost).GetCode(); }, kServiceDone, 1},
      {kFaultInformationStore, [] { return ZRPlatformInfo().deleteField("Ferrynode", "k"); },
       kFaultInjected, 2},
  };
  for (const auto& c : cases) {
    if (*c.fault != '\0') platform_.store().SetFault({c.fault, ""});
    c.call();  // the faults read, the statements prepared
    const int64_t before = StoreRoundTrips();
    EXPECT_EQ(c.call(), c.code) << c.trips;
    EXPECT_EQ(StoreRoundTrips() - before, c.trips) << c.code;
  }
  uint64_t number = 0;
  EXPECT_TRUE(platform_.store().GetNumber("Ferrynode", "k", number));
}

INSTANTIATE_ON_EACH_STORE(ServiceFrame);
INSTANTIATE_TEST_SUITE_P(PostgreSQL, LostConnection,
                         ::testing::Values(testsupport::StoreKind::kPostgres));
INSTANTIATE_TEST_SUITE_P(PostgreSQL, RoundTrips,
                         ::testing::Values(testsupport::StoreKind::kPostgres));

}  // namespace
