#pragma once
// How long one call of the platform may wait for its store. On PostgreSQL
// every connect and every round trip (PgConnection.h), COMMIT included,
// gets the whole deadline, and the session's server-side timeouts are derived from it
// (PgParameters.h).

#include <chrono>

namespace localplatform {

constexpr std::chrono::seconds kDefaultCallDeadline{10};
constexpr std::chrono::seconds kLongestCallDeadline{30};

// `deadline` within [1 s, kLongestCallDeadline]: a longer one counts as the
// longest.
constexpr std::chrono::seconds BoundedCallDeadline(std::chrono::seconds deadline) {
  return deadline < std::chrono::seconds(1) ? std::chrono::seconds(1)
         : deadline > kLongestCallDeadline  ? kLongestCallDeadline
                                            : deadline;
}

}  // namespace localplatform
