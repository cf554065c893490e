// snaphost fault: platform administration of injected faults, which make one
// platform service fail (for every subject, or for one) until cleared.

#include <iostream>
#include <memory>
#include <string>

#include "AdminOutput.h"
#include "Commands.h"
#include "faults/InjectedFaults.h"
#include "store/Store.h"

namespace snaphost {
namespace {

// "view-list-write	subclient id 1001", "...	every subclient id", or
// "local-host-name" for a fault without a scope.
void PrintFault(const localplatform::FaultRow& fault) {
  const localplatform::FaultKind* kind = localplatform::FindFaultKind(fault.name);
  const char* subject = kind != nullptr ? kind->subject : "subject";
  std::cout << fault.name;
  if (subject != nullptr) {
    std::cout << "\t"
              << (fault.scope.empty() ? "every " + std::string(subject)
                                      : std::string(subject) + " " + fault.scope);
  }
  std::cout << "\n";
}

std::string KnownFaults() {
  std::string text = "Faults, and what a scope names:\n";
  for (const localplatform::FaultKind& kind : localplatform::FaultKinds()) {
    text += "  " + std::string(kind.name) + ": " + kind.fails + " (" +
            (kind.subject != nullptr ? kind.subject : "no scope") + ")\n";
  }
  return text;
}

}  // namespace

void AddFaultCommands(CLI::App& app, HostContext&, CommandResult& result) {
  CLI::App* fault = app.add_subcommand("fault", "Make platform services fail on purpose");
  fault->require_subcommand(1);
  fault->footer(KnownFaults());

  auto set = std::make_shared<localplatform::FaultRow>();
  CLI::App* setCommand =
      fault->add_subcommand("set", "Make the service NAME fail, for every subject or one");
  setCommand->add_option("NAME", set->name, "Fault name (see fault --help)")->required();
  setCommand->add_option("--scope", set->scope, "The one subject to fail for");
  setCommand->callback([set, &result] {
    const std::string refused = localplatform::FaultSettingError(*set);
    if (!refused.empty()) throw HostError(refused + "\n" + KnownFaults());
    localplatform::OpenStore()->SetFault(*set);
    PrintFault(*set);
    result.exitCode = 0;
  });

  auto clearName = std::make_shared<std::string>();
  CLI::App* clear = fault->add_subcommand("clear", "Clear fault NAME in every scope, or every fault");
  clear->add_option("NAME", *clearName, "Fault name");
  clear->callback([clearName, &result] {
    localplatform::OpenStore()->ClearFaults(*clearName);
    result.exitCode = 0;
  });

  // A fault without a scope fails for every subject.
  AddListCommand(fault, "list", "List the faults that are set", result,
                 {{"FAULT", "name"}, {"SCOPE", "scope"}}, [](Listing& listing) {
                   for (const auto& row : localplatform::OpenStore()->ListFaults()) {
                     listing.Add({row.name, row.scope.empty() ? std::nullopt : Cell(row.scope)});
                   }
                 });
}

}  // namespace snaphost
