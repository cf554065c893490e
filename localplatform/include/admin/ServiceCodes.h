#pragma once
// What the local platform's services answer: 0 when they did what was
// asked, otherwise the code of the cause, the same code for one cause
// whichever service answers it. Failures are negative, so that a CLuError
// carrying one is an error.
//
//   code  cause                                                   logged
//    0    done                                                    -
//   -1    the platform store cannot be opened, read or written    yes
//   -2    an injected fault (admin/InjectedFaults.h)             yes
//   -3    an argument whose value the caller must fix is wrong,   yes
//         or a row no store keeps (admin/StorableRows.h)
//   -4    the client or file-server machine asked for is unknown  no
//   -5    the file-server machine is down                         no
//   -6    the view list changed since the caller read it          yes
//   -7    the operating system refused                            yes
//
// The platform logs each failure of its own once, at the error level. What
// it answers about the clients and machines it was asked after (-4, -5) is
// not a failure of its own: the caller reports it in its own words, with the
// text the answer carries where it has one.

namespace localplatform {

constexpr int kServiceDone = 0;
constexpr int kStoreUnavailable = -1;
constexpr int kFaultInjected = -2;
constexpr int kWrongArgument = -3;
constexpr int kNotKnown = -4;
constexpr int kServerDown = -5;
constexpr int kListChanged = -6;
constexpr int kSystemRefused = -7;

// Whether the platform logs a failure with `code` (see the table).
constexpr bool IsLogged(int code) {
  return code != kServiceDone && code != kNotKnown && code != kServerDown;
}

}  // namespace localplatform
