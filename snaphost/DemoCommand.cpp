// snaphost demo: the whole life of a snapshot on a fresh platform in a
// temporary home, or in an empty store given with --platform, told step by
// step as the commands a person would type.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Application.h"
#include "Commands.h"
#include "RecordCatalogue.h"
#include "admin/PlatformConfiguration.h"
#include "admin/PlatformCopy.h"

namespace snaphost {
namespace {

constexpr char kServerHost[] = "nas1.demo.local";
constexpr char kServerClient[] = "nas1";
constexpr char kShare[] = "sales";
constexpr char kSharePath[] = "/sales";
constexpr char kSubclientId[] = "1001";

class Demo {
 public:
  // Every command runs in `home` and logs to `logFile`, at `logLevel` when
  // that is given; the log shown afterwards is what they added to it.
  Demo(std::string home, std::string plugin, std::string platform, std::string logFile,
       std::string logLevel)
      : home_(std::move(home)),
        plugin_(std::move(plugin)),
        platform_(std::move(platform)),
        logFile_(std::move(logFile)),
        logLevel_(std::move(logLevel)),
        logStart_(std::filesystem::exists(logFile_) ? std::filesystem::file_size(logFile_) : 0) {}

  void Say(const std::string& text) { std::cout << "\n== " << text << "\n"; }

  // Runs one snaphost command line in the demo's home, echoing it first.
  int Run(const std::vector<std::string>& args) {
    std::cout << "$ snaphost";
    for (const std::string& arg : args) std::cout << " " << arg;
    std::cout << "\n" << std::flush;
    std::vector<std::string> full = {"--home", home_, "--plugin", plugin_, "--log-file", logFile_};
    if (!platform_.empty()) full.insert(full.end(), {"--platform", platform_});
    if (!logLevel_.empty()) full.insert(full.end(), {"--log-level", logLevel_});
    full.insert(full.end(), args.begin(), args.end());
    int code = RunCommandLine(full);
    std::cout << std::flush;
    if (code != 0) std::cout << "(exit code " << code << ")\n";
    return code;
  }

  // Ids of the stored records, oldest first.
  std::vector<std::string> RecordIds() {
    std::vector<std::string> ids;
    for (const SnapRecord& record : RecordCatalogue(home_ + "/records.db").List()) {
      ids.push_back(record.id);
    }
    return ids;
  }

  void ShowLog(const std::string& what) {
    std::ifstream log(logFile_);
    log.seekg(static_cast<std::streamoff>(logStart_));
    std::cout << "The plug-in's log (" << logFile_ << "), " << what << ":\n";
    for (std::string line; std::getline(log, line);) std::cout << "  " << line << "\n";
  }

 private:
  std::string home_;
  std::string plugin_;
  std::string platform_;
  std::string logFile_;
  std::string logLevel_;
  std::uintmax_t logStart_;
};

// The store given with --platform, which must hold nothing yet, by the name
// it may be shown under.
std::string EmptyStore(const std::string& location) {
  std::unique_ptr<localplatform::Store> store =
      localplatform::ConnectStore(location, localplatform::InstalledConfiguration().callDeadline);
  if (!localplatform::ReadPlatform(*store).empty()) {
    throw HostError(store->Where() + " already holds a platform: the demo needs an empty one");
  }
  return store->Where();
}

int RunDemo(HostContext& context, bool keep) {
  const std::string store = context.platform.empty() ? "" : EmptyStore(context.platform);
  // In $TMPDIR, else /tmp.
  std::string pattern = (std::filesystem::temp_directory_path() / "snaphost-demo-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw HostError("cannot create a temporary home for the demo in " + pattern);
  }
  const std::string home = pattern;
  // The log outlives a home that is removed: it lies beside it.
  const std::string logFile = !context.logFile.empty() ? context.logFile
                              : keep                   ? home + "/zrso.log"
                                                       : home + ".log";
  Demo demo(home, PluginPath(context.pluginOption), context.platform, logFile,
            context.logLevelGiven ? std::to_string(context.logLevel) : "");
  if (store.empty()) {
    std::cout << "A fresh platform in " << home << "\n";
  } else {
    std::cout << "A fresh platform in " << store << ", the host's own files in " << home << "\n";
  }

  demo.Say("Register an NFS server machine, its platform client and a share with its subclient");
  int failures = 0;
  failures += demo.Run({"server", "add", kServerHost}) != 0;
  failures += demo.Run({"client", "add", kServerClient, kServerHost}) != 0;
  failures += demo.Run({"share", "add", kShare, kServerClient, kSubclientId}) != 0;

  demo.Say("Take three snapshots of the share: each is checked and stamped with its time");
  failures +=
      demo.Run({"snap", "--share", kSharePath, "--server", kServerHost, "--count", "3"}) != 0;

  demo.Say("Map them: each gets a view in the share's view list and an export on the server");
  failures += demo.Run({"map", "--share", kSharePath}) != 0;

  demo.Say("Check them: a mapped snapshot whose view is listed gets status 9");
  failures += demo.Run({"is-mapped", "--share", kSharePath}) != 0;

  demo.Say("The share's view list and the server's exports");
  failures += demo.Run({"views", "show", kSubclientId}) != 0;
  failures += demo.Run({"exports", "list"}) != 0;

  std::vector<std::string> ids = demo.RecordIds();
  demo.Say("Unmap the first snapshot: its view is removed and its export withdrawn");
  failures += demo.Run({"unmap", ids.at(0)}) != 0;
  demo.Run({"views", "show", kSubclientId});
  demo.Run({"exports", "list"});

  demo.Say("Check again: the unmapped snapshot keeps its status 14, the others are found");
  failures += demo.Run({"is-mapped", "--share", kSharePath}) != 0;

  demo.Say("Mark the server down, take a fourth snapshot and try to map it");
  failures += demo.Run({"server", "down", kServerHost}) != 0;
  failures += demo.Run({"snap", "--share", kSharePath, "--server", kServerHost}) != 0;
  std::string fourth = demo.RecordIds().back();
  std::cout << "The errors that follow are expected: with its server down, the snapshot's export "
               "fails (status 11, error 61054)\n";
  failures += demo.Run({"map", fourth}) != 1;
  demo.Say("The failed mapping was rolled back: the view list holds only the two mapped views");
  demo.Run({"views", "show", kSubclientId});
  demo.ShowLog("whose errors are the expected answer to mapping on a server that is down");

  if (keep) {
    std::cout << "\nThe demo's home is kept: " << home << "\n";
  } else {
    std::filesystem::remove_all(home);
    std::cout << "\nThe demo's log is kept: " << logFile << "\n";
  }
  std::cout << (failures == 0 ? "\nDemo finished as expected.\n"
                              : "\nDemo finished with unexpected results.\n");
  return failures == 0 ? 0 : 1;
}

}  // namespace

void AddDemoCommand(CLI::App& app, HostContext& context, CommandResult& result) {
  auto keep = std::make_shared<bool>(false);
  CLI::App* command = app.add_subcommand(
      "demo",
      "Snap, map, check and unmap on a fresh platform in a temporary home, or in the empty store "
      "that --platform names");
  command->add_flag("--keep", *keep, "Keep the temporary home afterwards");
  command->callback([&context, &result, keep] { result.exitCode = RunDemo(context, *keep); });
}

}  // namespace snaphost
