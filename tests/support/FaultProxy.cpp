#include "support/FaultProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testsupport {
namespace {

constexpr int kPollMilliseconds = 20;

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

void FaultProxy::Partition() {
  std::lock_guard<std::mutex> lock(mutex_);
  partitioned_ = true;
  partitionedAt_ = Clock::now();
  changed_.notify_all();
}

void FaultProxy::Refuse() {
  std::lock_guard<std::mutex> lock(mutex_);
  refusing_ = true;
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
    bool partitioned = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      partitioned = partitioned_;
      if (refusing_ && listener_ >= 0) {
        close(listener_);
        listener_ = -1;
      }
    }
    for (size_t i = 0; i < pairs_.size(); ++i) {
      if (!partitioned && !Flush(pairs_[i])) {
        Close(pairs_[i]);
        pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(i--));
      }
    }
    // A negative descriptor is left out of the poll.
    std::vector<pollfd> polled = {{listener_, POLLIN, 0}};
    std::vector<std::pair<size_t, int>> sides;  // pair and side of each polled socket but the first
    for (size_t i = 0; i < pairs_.size(); ++i) {
      if (pairs_[i].ended) continue;
      for (int side : {0, 1}) {
        const int fd = side == 0 ? pairs_[i].client : pairs_[i].server;
        if (fd < 0) continue;
        polled.push_back({fd, POLLIN, 0});
        sides.emplace_back(i, side);
      }
    }
    if (poll(polled.data(), polled.size(), kPollMilliseconds) <= 0) continue;
    std::vector<size_t> done;
    for (size_t at = 1; at < polled.size(); ++at) {
      const auto [pair, side] = sides[at - 1];
      if (polled[at].revents != 0 && !Forward(pairs_[pair], side)) done.push_back(pair);
    }
    for (auto pair = done.rbegin(); pair != done.rend(); ++pair) {
      Close(pairs_[*pair]);
      pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(*pair));
    }
    if (polled[0].revents != 0) Accept();
  }
}

void FaultProxy::Accept() {
  const int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
  if (client < 0) return;
  pairs_.emplace_back();
  pairs_.back().client = client;
}

bool FaultProxy::Forward(Pair& pair, int from) {
  char buffer[16384];
  const ssize_t size = read(from == 0 ? pair.client : pair.server, buffer, sizeof(buffer));
  const std::string bytes(buffer, size > 0 ? static_cast<size_t>(size) : 0);
  if (from == 0) Inspect(bytes);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!partitioned_ && pair.server >= 0) {
    return size > 0 && SendAll(from == 0 ? pair.server : pair.client, bytes);
  }
  pair.held[from] += bytes;
  if (size <= 0) pair.ended = true;
  return true;
}

bool FaultProxy::Flush(Pair& pair) {
  if (pair.server < 0) {
    pair.server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = Loopback(serverPort_);
    // A server that is not there closes the host's connection.
    if (connect(pair.server, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
      return false;
    }
  }
  const bool sent = SendAll(pair.client, pair.held[1]) && SendAll(pair.server, pair.held[0]);
  pair.held[0].clear();
  pair.held[1].clear();
  return sent && !pair.ended;
}

void FaultProxy::Inspect(const std::string& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (left_ == 0) return;
  if (!after_.empty()) {
    if (bytes.find(after_) == std::string::npos) return;
    after_.clear();
  }
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
  close(pair.client);
  if (pair.server >= 0) close(pair.server);
}

}  // namespace testsupport
