// snaphost as a person runs it: one session of command lines on a fresh
// home, each with its exit code (the README's table: 0, 1, 2 for batches,
// 3 for usage errors and named failures) and what it prints.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/Builders.h"
#include "support/SnaphostProcess.h"
#include "support/TempPlatform.h"

namespace {

// What standard error says of a usage error: `reason` and a hint.
std::string Usage(const std::string& reason) {
  return "^snaphost: " + reason + "\nRun with --help for more information\\.\n$";
}

struct Step {
  const char* command;  // space-separated arguments
  int exitCode;
  const char* out;         // a regular expression that standard output matches
  std::string err = "^$";  // and one for standard error
};

const Step kSession[] = {
    // Usage errors: code 3, the reason and a hint, nothing done.
    {"bogus", 3, "^$", Usage("A subcommand is required")},
    {"list --bogus", 3, "^$", Usage("The following argument was not expected: --bogus")},
    {"client add nfs01", 3, "^$", Usage("HOST is required")},
    {"share add share1 nfs01 -5", 3, "^$",
     Usage("SUBCLIENT_ID: \\[-5\\] is not a whole number from 1 to 9223372036854775807")},
    {"share add share1 nfs01 0", 3, "^$", Usage("SUBCLIENT_ID: \\[0\\] is not .*")},
    {"share add share1 nfs01 9223372036854775808", 3, "^$", Usage("SUBCLIENT_ID: .*")},
    {"share add share1 nfs01 4x", 3, "^$", Usage("SUBCLIENT_ID: \\[4x\\] is not .*")},
    {"copy-id set 7 -1", 3, "^$", Usage("COPY_ID: \\[-1\\] is not a whole number from 0 to .*")},
    {"snap --share /share1 --server h --count 0", 3, "^$",
     Usage("--count: \\[0\\] is not a whole number from 1 to 32767")},
    {"snap --share /share1 --server h --job x", 3, "^$", Usage("--job: \\[x\\] is not .*")},
    {"--log-level 0x1 list", 3, "^$", Usage("--log-level: \\[0x1\\] is not .*")},
    {"snap --share /share1", 3, "^$", Usage("--share requires --server")},
    {"snap --share /s --server h --source-device {}", 3, "^$",
     Usage("--share excludes --source-device")},
    // Failures that snaphost names: code 3 too.
    {"snap", 3, "^$", "^snaphost: snap needs --share and --server, or --source-device\n$"},
    {"unmap", 3, "^$", "^snaphost: unmap needs record ids or --share\n$"},
    {"map no-such-id", 3, "^$", "^snaphost: no record with id no-such-id\n$"},
    {"doctor --share /nowhere", 3, "^$", "no share /nowhere is configured, and no record names it"},
    {"server down nowhere", 3, "^$", "no NFS server machine \\[nowhere\\] is registered"},
    {"fault set no-such-fault", 3, "^$", "unknown fault \\[no-such-fault\\]"},
    {"fault set local-host-name --scope h", 3, "^$", "."},
    {"fault set throw --scope throw", 3, "^$", "."},
    {"fault set throw --scope nothing:1", 3, "^$", "."},
    {"--version", 0, "^snaphost [0-9]+\\.[0-9]+\\.[0-9]+\n$"},
    {"--help", 0, "Exit codes: 0 success"},
    {"demo", 0, "\nDemo finished as expected\\.\n$"},
    // A batch in which no record succeeds: 1.
    {"snap --share /share1 --server nfs01.example.test", 1,
     " 6 snap failed +83006 +- +- +- +NFS Share not found in KT DB\\.\n$"},
    {"snap --source-device {lunuuid:ab,targethostname:h} --json", 1,
     "\"errorCode\":83002,\"errorText\":\"objectStore name too short\\.\""},
    // What an administrator sets: added, changed, unchanged or refused.
    {"client add nfs01 old.example.test", 0, "^client nfs01 added: old\\.example\\.test\n$"},
    {"client add nfs01 nfs01.example.test", 0,
     "^client nfs01 changed: nfs01\\.example\\.test \\(was old\\.example\\.test\\)\n$"},
    {"share add share1 nfs01 42", 0, "^share share1 on nfs01 added: subclient 42\n$"},
    {"share add share1 nfs01 42", 0,
     "^share share1 on nfs01 is already configured, with subclient 42; nothing changed\n$"},
    {"share add share1 nfs01 43", 3, "^$",
     "^snaphost: share share1 on nfs01 is already configured, with subclient 42; nothing "
     "changed\n$"},
    {"share add share1 nfs02 9223372036854775807", 0, "added: subclient 9223372036854775807\n$",
     "^snaphost: note: client nfs02 is not configured"},
    {"server add nfs01.example.test", 0, "^server nfs01\\.example\\.test added: up\n$"},
    {"server down nfs01.example.test", 0,
     "^server nfs01\\.example\\.test changed: down \\(was up\\)\n$"},
    {"server add nfs01.example.test", 0,
     "^server nfs01\\.example\\.test changed: up \\(was down\\)\n$"},
    {"server up nfs01.example.test", 0, "^server nfs01\\.example\\.test unchanged: up\n$"},
    {"copy-id set 7 010", 0, "^copy id of job 7 added: 10\n$"},
    {"copy-id set 7 18446744073709551615", 0,
     "^copy id of job 7 changed: 18446744073709551615 \\(was 10\\)\n$"},
    {"copy-id set 12 5", 0, "^copy id of job 12 added: 5\n$"},
    {"fault set view-list-write --scope 1001", 0, "^view-list-write\tsubclient id 1001\n$"},
    {"fault set throw --scope view-list-read:1001", 0, "^throw\tservice view-list-read:1001\n$"},
    // Everything set can be listed, as a table or as JSON.
    {"client list", 0, "^CLIENT  HOST\nnfs01   nfs01\\.example\\.test\n$"},
    {"client list --json", 0,
     "^\\[\\{\"name\":\"nfs01\",\"hostName\":\"nfs01\\.example\\.test\"\\}\\]\n$"},
    {"share list", 0,
     "^SHARE   SERVER CLIENT  SUBCLIENT\nshare1  nfs01          42\nshare1  nfs02          "
     "9223372036854775807\n$"},
    {"share list --json", 0,
     "^\\[\\{\"share\":\"share1\",\"serverClient\":\"nfs01\",\"subclientId\":42\\},"
     "\\{\"share\":\"share1\",\"serverClient\":\"nfs02\",\"subclientId\":9223372036854775807\\}\\]"
     "\n$"},
    {"server list --json", 0,
     "^\\[\\{\"hostName\":\"nfs01\\.example\\.test\",\"state\":\"up\"\\}\\]\n$"},
    {"copy-id list", 0, "^JOB  COPY ID\n12   5\n7    18446744073709551615\n$"},
    {"copy-id list --json", 0,
     "^\\[\\{\"jobId\":12,\"copyId\":5\\},\\{\"jobId\":7,\"copyId\":18446744073709551615\\}\\]\n$"},
    {"fault list --json", 0,
     "^\\[\\{\"name\":\"throw\",\"scope\":\"view-list-read:1001\"\\},"
     "\\{\"name\":\"view-list-write\",\"scope\":\"1001\"\\}\\]\n$"},
    {"fault clear", 0, "^$"},
    {"fault list", 0, "^FAULT  SCOPE\n$"},
    // A batch in which some records succeed: 2. The first record, snapped
    // before the share was configured, has no snapshot time to map.
    {"snap --share /share1 --server nfs01.example.test", 0, " 5 snapped "},
    {"map --share /share1", 2, " 11 map failed .*\n.* 12 mapped "},
    {"exports list --json", 0,
     "^\\[\\{\"hostName\":\"nfs01\\.example\\.test\",\"subclientId\":42,\"mountPath\":"
     "\"/"
     "share1-[0-9a-f-]{36}_3\",\"exportType\":2,\"exportedAt\":\"20[0-9-]{8}T[0-9:]{8}Z\"\\}\\]"
     "\n$"},
};

class CommandLine : public testing::Test {
 protected:
  testsupport::SnaphostRun Run(const std::string& command) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    return testsupport::RunSnaphost(platform_.folder(), args);
  }

  testsupport::TempPlatform platform_;
};

TEST_F(CommandLine, SessionKeepsItsPromises) {
  for (const Step& step : kSession) {
    testsupport::SnaphostRun run = Run(step.command);
    EXPECT_EQ(run.exitCode, step.exitCode) << step.command << "\n" << run.out << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex(step.out))) << step.command << "\n"
                                                                  << run.out;
    EXPECT_TRUE(std::regex_search(run.err, std::regex(step.err))) << step.command << "\n"
                                                                  << run.err;
  }
}

// Showing a list is administration: it never writes to the plug-in's log,
// not even for a piece that lacks tags.
TEST_F(CommandLine, ShowsAViewListAsStoredAndParsedWithoutLogging) {
  const std::string record = testsupport::ViewRecord({"v_1", "/s-v_1", "srvA", "3", "100", "c1"});
  platform_.PutViewList(7, ";" + record + ";;<MntPath>/x</MntPath>");
  EXPECT_EQ(Run("views show 7").out,
            "stored: ;" + record +
                ";;<MntPath>/x</MntPath>\n"
                "PIECE  ToTime  MntPath  NFSClient  UID  GID  SnapName  NFSServer  CopyPrecedence  "
                "ReadOnly  WritablePIT\n"
                "1      100     /s-v_1   c1         *    *    v_1       srvA       3               "
                "0         1\n"
                "2      -       /x       -          -    -    -         -          -               "
                "-         -\n");
  EXPECT_NE(Run("views show 7 --json")
                .out.find("},{\"piece\":2,\"ToTime\":null,\"MntPath\":\"/x\",\"NFSClient\":null,"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(platform_.folder() + "/zrso.log"));
}

}  // namespace
