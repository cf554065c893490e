#include "support/FaultProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {
namespace {

constexpr int kPollMilliseconds = 20;
// The longest the proxy thread takes to do what it was told: it looks at
// least every kPollMilliseconds.
constexpr auto kLimit = std::chrono::seconds(5);

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool SendAll(int fd, const std::string& bytes) {
  for (size_t sent = 0; sent < bytes.size();) {
    const ssize_t size = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (size <= 0) return false;
    sent += static_cast<size_t>(size);
  }
  return true;
}

}  // namespace

FaultProxy::FaultProxy(int serverPort) : serverPort_(serverPort) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof(address);
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("the fault proxy cannot listen on 127.0.0.1");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

FaultProxy::~FaultProxy() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  thread_.join();
  for (Pair& pair : pairs_) Close(pair);
  if (listener_ >= 0) close(listener_);
}

void FaultProxy::Refuse() {
  std::unique_lock<std::mutex> lock(mutex_);
  refusing_ = true;
  // Waits for the proxy thread to close the listener, lest a host that
  // connects right after, once healed, still reaches it.
  changed_.wait_for(lock, kLimit, [this] { return listener_ < 0; });
}

void FaultProxy::Heal() {
  std::lock_guard<std::mutex> lock(mutex_);
  partitioned_ = false;
}

void FaultProxy::PartitionAt(const std::string& marker, int nth, const std::string& after) {
  std::lock_guard<std::mutex> lock(mutex_);
  marker_ = marker;
  left_ = nth;
  after_ = after;
}

bool FaultProxy::WaitPartitioned(std::chrono::seconds limit) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return partitioned_; });
}

FaultProxy::Clock::time_point FaultProxy::partitionedAt() {
  std::lock_guard<std::mutex> lock(mutex_);
  return partitionedAt_;
}

void FaultProxy::Run() {
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      if (refusing_ && listener_ >= 0) {
        close(listener_);
        listener_ = -1;
        changed_.notify_all();
      }
    }
    // poll leaves out negative descriptors: a closed listener, the sides of
    // a pair that ended while partitioned.
    std::vector<pollfd> polled = {{listener_, POLLIN, 0}};
    for (const Pair& pair : pairs_) {
      for (int fd : pair.fds) polled.push_back({pair.ended ? -1 : fd, POLLIN, 0});
    }
    poll(polled.data(), polled.size(), kPollMilliseconds);
    for (size_t i = pairs_.size(); i-- > 0;) {
      if (!Serve(pairs_[i], &polled[1 + 2 * i])) {
        Close(pairs_[i]);
        pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if (polled[0].revents != 0) Accept();
  }
}

void FaultProxy::Accept() {
  Pair pair;
  pair.fds[0] = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (pair.fds[0] < 0) return;
  pair.fds[1] = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in server = Loopback(serverPort_);
  // A server that is not there closes the host's connection.
  if (connect(pair.fds[1], reinterpret_cast<const sockaddr*>(&server), sizeof(server)) != 0) {
    Close(pair);
    return;
  }
  pairs_.push_back(pair);
}

bool FaultProxy::Serve(Pair& pair, const pollfd* polled) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (int side : {0, 1}) {
    if (polled[side].revents == 0) continue;
    char buffer[16384];
    const ssize_t size = read(pair.fds[side], buffer, sizeof(buffer));
    const std::string bytes(buffer, size > 0 ? static_cast<size_t>(size) : 0);
    if (side == 0) Inspect(bytes);
    pair.held[side] += bytes;
    pair.ended = pair.ended || size <= 0;
  }
  if (partitioned_) return true;
  const bool sent = SendAll(pair.fds[0], pair.held[1]) && SendAll(pair.fds[1], pair.held[0]);
  pair.held[0].clear();
  pair.held[1].clear();
  return sent && !pair.ended;
}

void FaultProxy::Inspect(const std::string& bytes) {
  if (left_ == 0 || (!after_.empty() && bytes.find(after_) == std::string::npos)) return;
  after_.clear();
  for (size_t at = bytes.find(marker_); at != std::string::npos; at = bytes.find(marker_, at + 1)) {
    if (--left_ == 0) {
      partitioned_ = true;
      partitionedAt_ = Clock::now();
      changed_.notify_all();
      return;
    }
  }
}

void FaultProxy::Close(Pair& pair) {
  for (int fd : pair.fds) close(fd);
}

}  // namespace testsupport
