#pragma once
// A TCP proxy on 127.0.0.1 between hosts and a PostgreSQL server, which
// the network tests partition: it then stops forwarding in both directions
// without closing anything (no FIN, no RST), as a network that silently
// drops packets does, holding what either side sends until it heals.

#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class FaultProxy {
 public:
  using Clock = std::chrono::steady_clock;

  // Forwards each connection to 127.0.0.1:`serverPort`.
  explicit FaultProxy(int serverPort);
  ~FaultProxy();

  int port() const { return port_; }

  // From its return on nothing listens at port(), as on a machine that is
  // down: a connection is refused, and a host tries the next server it knows.
  void Refuse();
  // Forwards what was held, and everything after.
  void Heal();
  // Partitions once a host has sent `marker` the `nth` time after it sent
  // `after` (from the start when empty): the write holding it is held.
  // A host sends each protocol message in one write, and a Query message
  // holds its SQL text, so "COMMIT" marks the end of a unit; an empty
  // marker is in a host's first write, the first step of its connect.
  void PartitionAt(const std::string& marker, int nth, const std::string& after = "");
  // Waits until partitioned, at most `limit`; false if it was not.
  bool WaitPartitioned(std::chrono::seconds limit);
  Clock::time_point partitionedAt();

 private:
  struct Pair {
    int fds[2] = {-1, -1};  // to the host, to the server
    std::string held[2];    // what each sent, not yet forwarded
    bool ended = false;     // closed on one side, kept while partitioned
  };

  void Run();
  void Accept();
  // Reads what the sides of `pair` sent (`polled` for either), and sends it
  // and what was held unless partitioned; false once the pair is done with.
  bool Serve(Pair& pair, const pollfd* polled);
  // Looks for the partition marker in what a host sent; mutex_ held.
  void Inspect(const std::string& bytes);
  static void Close(Pair& pair);

  int serverPort_;
  int listener_ = -1;
  int port_ = 0;
  std::vector<Pair> pairs_;  // the proxy thread's own

  std::mutex mutex_;
  std::condition_variable changed_;
  bool stop_ = false;
  bool partitioned_ = false;
  bool refusing_ = false;
  Clock::time_point partitionedAt_;
  std::string after_;
  std::string marker_;
  int left_ = 0;  // occurrences of the marker still to come
  std::thread thread_;
};

}  // namespace testsupport
