#pragma once
// The plug-in's only contact with the NFS file-server service: start it on
// the machine of a platform client and send it one export command. Every
// command pays a fresh host-name lookup, a new configuration client and a
// service start; no client is kept.

#include <string>

#include "PluginExport.h"
#include "VeskConfigClient.h"

// Resolves `clientName` to its host and starts the service there.
// true: `configClient` holds the client the service was started through,
// and the caller owns it. false: the service did not start (`configClient`
// set to null) or the host is unknown (`configClient` not written).
ZRSO_EXPORT bool StartVeskServer(const std::string& clientName,
                                 Vesk::VeskConfigClient*& configClient);

// Starts the service on `clientName`'s machine and sends it one command for
// `mountPath`. true when the service ran and accepted the command. The
// configuration client is freed before returning, on every path.
ZRSO_EXPORT bool SendCommandToNfsServer(const std::string& clientName, ExportType exportType,
                                        VeskOperationType operation, unsigned long shareSubclientId,
                                        std::string& mountPath, std::string& auxiliaryText);
