#pragma once
// The last failure of each platform service since a mark, kept in the
// process for the host. A host marks before a batch; when every record of it
// failed, what the services answered tells whether one cause of the
// platform's own failed them all. The plug-in never asks: it reads each
// service's answer as it comes.

#include <string>
#include <vector>

#include "admin/AdminApi.h"

namespace localplatform {

struct ServiceFailure {
  std::string function;  // Service::function
  std::string fault;     // Service::fault, which tells the service apart
  int code = 0;          // admin/ServiceCodes.h
  std::string why;
};

// Forgets the failures noted so far.
ZRPLATFORM_ADMIN void MarkServiceFailures();

// The last failure of each service that failed since the mark, by function
// name. Only failures of the platform's own are kept (IsLogged).
ZRPLATFORM_ADMIN std::vector<ServiceFailure> ServiceFailuresSinceMark();

}  // namespace localplatform
