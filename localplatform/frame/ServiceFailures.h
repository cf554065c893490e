#pragma once
// The last failure of each platform service since a mark, kept in the
// process for the host. A host marks before a batch; when every record of it
// failed, what the services answered tells whether one cause of the
// platform's own failed them all. The plug-in never asks: it reads each
// service's answer as it comes.

#include <string>
#include <vector>

namespace localplatform {

struct Service;
struct Answer;

struct ServiceFailure {
  std::string function;  // Service::function
  std::string fault;     // Service::fault, which tells the service apart
  int code = 0;          // frame/ServiceCodes.h
  std::string why;
};

// Forgets the failures noted so far.
void MarkServiceFailures();

// The last failure of each service that failed since the mark, by function
// name. Only failures of the platform's own are kept (IsLogged).
std::vector<ServiceFailure> ServiceFailuresSinceMark();

// Keeps `answer` as the last failure of `service`; the frame calls it for
// every logged failure.
void NoteServiceFailure(const Service& service, const Answer& answer);

}  // namespace localplatform
