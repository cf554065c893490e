#pragma once
// Each group of snaphost commands registers itself on the application.
//
// Administration (client, share, copy-id, server, views, exports, fault,
// platform, doctor) reads and writes the platform's store directly, around
// the services the plug-in calls: a fault injected into a service fails the
// plug-in's calls, never the administrator's reads or writes, so what an
// administrator sets can always be seen, mended and cleared. Only the
// plug-in's operations (snap, map, is-mapped, unmap, demo) go through the
// services.

#include <CLI/CLI.hpp>

#include "HostContext.h"

namespace snaphost {

// Every command callback stores its exit code here.
struct CommandResult {
  int exitCode = 0;
};

void AddVersionCommand(CLI::App& app, HostContext& context, CommandResult& result);
// client, share and copy-id: the platform's management database and store.
void AddManagementCommands(CLI::App& app, HostContext& context, CommandResult& result);
// server, views and exports: the NFS file-server machines and what they export.
void AddFileServerCommands(CLI::App& app, HostContext& context, CommandResult& result);
// snap: snapshots of a share through the plug-in.
void AddSnapCommand(CLI::App& app, HostContext& context, CommandResult& result);
// map, is-mapped and unmap: the plug-in's mapping on stored records.
void AddMapCommands(CLI::App& app, HostContext& context, CommandResult& result);
// list and show: the host's stored records.
void AddRecordCommands(CLI::App& app, HostContext& context, CommandResult& result);
// doctor: what the records, the view lists and the exports disagree on.
void AddDoctorCommand(CLI::App& app, HostContext& context, CommandResult& result);
// fault: failures injected into the platform's services.
void AddFaultCommands(CLI::App& app, HostContext& context, CommandResult& result);
// platform: the platform store as a whole.
void AddPlatformCommands(CLI::App& app, HostContext& context, CommandResult& result);
// demo: the whole life of a snapshot on a fresh platform.
void AddDemoCommand(CLI::App& app, HostContext& context, CommandResult& result);

}  // namespace snaphost
