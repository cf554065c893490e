// snaphost fault: platform administration of injected faults, which make one
// platform service fail (for every subject, or for one; every call, one call
// by number, or every call from one on) until cleared.

#include <iostream>
#include <limits>
#include <memory>
#include <string>

#include "AdminOutput.h"
#include "Commands.h"
#include "WholeNumber.h"
#include "admin/InjectedFaults.h"
#include "admin/Store.h"

namespace snaphost {
namespace {

// Which calls the fault fails: empty for every call.
std::string CallsText(const localplatform::FaultRow& fault) {
  if (!fault.onward) return "call " + std::to_string(fault.nth);
  if (fault.nth > 1) return "calls from " + std::to_string(fault.nth) + " on";
  return "";
}

// "view-list-write\tsubclient id 1001", "...\tevery subclient id", or
// "local-host-name" for a fault without a scope; then, unless it fails every
// call, "\tcall 3" or "\tcalls from 3 on".
void PrintFault(const localplatform::FaultRow& fault) {
  const localplatform::FaultKind* kind = localplatform::FindFaultKind(fault.name);
  const char* subject = kind != nullptr ? kind->subject : "subject";
  std::cout << fault.name;
  if (subject != nullptr) {
    std::cout << "\t"
              << (fault.scope.empty() ? "every " + std::string(subject)
                                      : std::string(subject) + " " + fault.scope);
  }
  const std::string calls = CallsText(fault);
  if (!calls.empty()) std::cout << "\t" << calls;
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
  // Calls are counted in each process, from the first that finds the fault set.
  auto nth = std::make_shared<int64_t>(0);
  auto from = std::make_shared<int64_t>(0);
  const CLI::Validator callNumber = WholeNumber<int64_t>(1, std::numeric_limits<int64_t>::max());
  CLI::Option* nthOption =
      setCommand->add_option("--nth", *nth, "Fail only the Nth call within the scope")
          ->transform(callNumber);
  setCommand->add_option("--from", *from, "Fail every call within the scope from the Nth on")
      ->transform(callNumber)
      ->excludes(nthOption);
  setCommand->callback([set, nth, from, &result] {
    if (*nth != 0) {
      set->nth = *nth;
      set->onward = false;
    }
    if (*from != 0) set->nth = *from;
    const std::string refused = localplatform::FaultSettingError(*set);
    if (!refused.empty()) throw HostError(refused + "\n" + KnownFaults());
    localplatform::OpenStore()->SetFault(*set);
    PrintFault(*set);
    result.exitCode = 0;
  });

  auto clearName = std::make_shared<std::string>();
  CLI::App* clear =
      fault->add_subcommand("clear", "Clear fault NAME in every scope, or every fault");
  clear->add_option("NAME", *clearName, "Fault name");
  clear->callback([clearName, &result] {
    localplatform::OpenStore()->ClearFaults(*clearName);
    result.exitCode = 0;
  });

  // A fault without a scope fails for every subject; one without NTH and
  // FROM fails every call.
  AddListCommand(
      fault, "list", "List the faults that are set", result,
      {{"FAULT", "name"}, {"SCOPE", "scope"}, {"NTH", "nth", true}, {"FROM", "from", true}},
      [](Listing& listing) {
        for (const auto& row : localplatform::OpenStore()->ListFaults()) {
          const Cell call = std::to_string(row.nth);
          listing.Add({row.name, row.scope.empty() ? std::nullopt : Cell(row.scope),
                       row.onward ? std::nullopt : call,
                       row.onward && row.nth > 1 ? call : std::nullopt});
        }
      });
}

}  // namespace snaphost
