#include "platform/hid/virtual_backend.h"

#include <sys/prctl.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace vz::hid {

class VirtualConnection : public NodeConnection {
 public:
  VirtualConnection(std::shared_ptr<VirtualNode> node,
                    std::shared_ptr<VirtualNode::ConnectionState> state, bool read, bool write)
      : node_(std::move(node)), state_(std::move(state)), read_(read), write_(write) {}
  ~VirtualConnection() override { node_->Disconnect(state_); }

  IoStatus Read(std::uint8_t* buf, std::size_t len, std::size_t* got,
                std::uint32_t timeoutMs) override {
    *got = 0;
    if (!read_) return IoStatus::kFailed;
    return node_->Read(*state_, buf, len, got, timeoutMs);
  }

  IoStatus Write(const std::uint8_t* buf, std::size_t len, std::size_t* put,
                 std::uint32_t timeoutMs) override {
    *put = 0;
    if (!write_) return IoStatus::kFailed;
    return node_->Write(*state_, buf, len, put, timeoutMs);
  }

  void Cancel() override { node_->Cancel(*state_); }

 private:
  std::shared_ptr<VirtualNode> node_;
  std::shared_ptr<VirtualNode::ConnectionState> state_;
  bool read_;
  bool write_;
};

VirtualNode::VirtualNode(NodeInfo info) : info_(std::move(info)) {}

NodeInfo VirtualNode::Info() const {
  std::lock_guard lock(mutex_);
  return info_;
}

bool VirtualNode::Plugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

void VirtualNode::Plug() {
  std::lock_guard lock(mutex_);
  if (plugged_) return;
  plugged_ = true;
  ++plugCount_;
  info_.identity = info_.nodeId + "#" + std::to_string(plugCount_);
}

void VirtualNode::Unplug() {
  std::lock_guard lock(mutex_);
  plugged_ = false;
  for (auto& c : connections_) {
    c->gone = true;
    c->queue.clear();
  }
  connections_.clear();
  changed_.notify_all();
}

void VirtualNode::SetOutputHandler(OutputHandler handler) {
  std::lock_guard lock(mutex_);
  handler_ = handler ? std::make_shared<OutputHandler>(std::move(handler)) : nullptr;
}

void VirtualNode::SendInput(const std::uint8_t* report, std::size_t length,
                            std::uint32_t delayMs) {
  const auto deliverAt = Clock::now() + std::chrono::milliseconds(delayMs);
  std::lock_guard lock(mutex_);
  if (!plugged_) return;
  for (auto& c : connections_) {
    Pending p{deliverAt, std::vector<std::uint8_t>(report, report + length)};
    // A later report with a shorter delay overtakes a slow one, as on the wire.
    auto at = std::upper_bound(c->queue.begin(), c->queue.end(), deliverAt,
                               [](Clock::time_point t, const Pending& q) { return t < q.deliverAt; });
    c->queue.insert(at, std::move(p));
    if (c->queue.size() > kQueueDepth) c->queue.pop_front();
  }
  changed_.notify_all();
}

void VirtualNode::SetWriteStall(bool stall) {
  std::lock_guard lock(mutex_);
  stallWrites_ = stall;
  changed_.notify_all();
}

void VirtualNode::SetWriteLatencyMs(std::uint32_t ms) {
  std::lock_guard lock(mutex_);
  writeLatencyMs_ = ms;
}

std::size_t VirtualNode::OpenConnectionCount() const {
  std::lock_guard lock(mutex_);
  return connections_.size();
}

std::shared_ptr<VirtualNode::ConnectionState> VirtualNode::Connect() {
  std::lock_guard lock(mutex_);
  if (!plugged_) return nullptr;
  auto state = std::make_shared<ConnectionState>();
  connections_.push_back(state);
  return state;
}

void VirtualNode::Disconnect(const std::shared_ptr<ConnectionState>& state) {
  std::lock_guard lock(mutex_);
  std::erase(connections_, state);
}

void VirtualNode::WaitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until) {
  // The kernel may wake a sleeping thread up to its timer slack late (50 us by default);
  // threads that wait on emulated devices are woken on time instead.
  thread_local const bool preciseWakeUps = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
  (void)preciseWakeUps;
  changed_.wait_until(lock, until);
}

IoStatus VirtualNode::WaitInterruptible(std::unique_lock<std::mutex>& lock,
                                        ConnectionState& state, Clock::time_point until) {
  for (;;) {
    if (state.gone) return IoStatus::kGone;
    if (state.cancel) {
      state.cancel = false;
      return IoStatus::kCancelled;
    }
    if (Clock::now() >= until) return IoStatus::kOk;
    WaitUntil(lock, until);
  }
}

IoStatus VirtualNode::Read(ConnectionState& state, std::uint8_t* buf, std::size_t len,
                           std::size_t* got, std::uint32_t timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock lock(mutex_);
  for (;;) {
    if (state.gone) return IoStatus::kGone;
    if (state.cancel) {
      state.cancel = false;
      return IoStatus::kCancelled;
    }
    const auto now = Clock::now();
    if (!state.queue.empty() && state.queue.front().deliverAt <= now) {
      const auto& bytes = state.queue.front().bytes;
      const std::size_t n = std::min(len, bytes.size());
      std::memcpy(buf, bytes.data(), n);
      *got = n;
      state.queue.pop_front();
      return IoStatus::kOk;
    }
    if (now >= deadline) return IoStatus::kTimeout;
    auto wake = deadline;
    if (!state.queue.empty()) wake = std::min(wake, state.queue.front().deliverAt);
    WaitUntil(lock, wake);
  }
}

IoStatus VirtualNode::Write(ConnectionState& state, const std::uint8_t* buf, std::size_t len,
                            std::size_t* put, std::uint32_t timeoutMs) {
  const auto start = Clock::now();
  std::shared_ptr<OutputHandler> handler;
  {
    std::unique_lock lock(mutex_);
    if (stallWrites_) {
      const IoStatus s =
          WaitInterruptible(lock, state, start + std::chrono::milliseconds(timeoutMs));
      return s == IoStatus::kOk ? IoStatus::kTimeout : s;
    }
    const IoStatus s =
        WaitInterruptible(lock, state, start + std::chrono::milliseconds(writeLatencyMs_));
    if (s != IoStatus::kOk) return s;
    handler = handler_;
  }
  if (handler) (*handler)(buf, len);
  *put = len;
  return IoStatus::kOk;
}

void VirtualNode::Cancel(ConnectionState& state) {
  std::lock_guard lock(mutex_);
  state.cancel = true;
  changed_.notify_all();
}

std::shared_ptr<VirtualNode> VirtualBackend::AddNode(NodeInfo info) {
  std::lock_guard lock(mutex_);
  if (info.nodeId.empty()) {
    do {
      info.nodeId = "virtual" + std::to_string(nextNumber_++);
    } while (std::any_of(nodes_.begin(), nodes_.end(),
                         [&](const auto& n) { return n->info_.nodeId == info.nodeId; }));
  } else if (std::any_of(nodes_.begin(), nodes_.end(),
                         [&](const auto& n) { return n->info_.nodeId == info.nodeId; })) {
    return nullptr;
  }
  auto node = std::make_shared<VirtualNode>(std::move(info));
  nodes_.push_back(node);
  return node;
}

void VirtualBackend::RemoveNode(const std::shared_ptr<VirtualNode>& node) {
  if (!node) return;
  node->Unplug();
  std::lock_guard lock(mutex_);
  std::erase(nodes_, node);
}

std::shared_ptr<VirtualNode> VirtualBackend::Find(const std::string& nodeId) const {
  std::lock_guard lock(mutex_);
  for (const auto& n : nodes_) {
    if (n->info_.nodeId == nodeId) return n;  // nodeId never changes after AddNode
  }
  return nullptr;
}

bool VirtualBackend::Enumerate(std::vector<NodeInfo>* out) {
  out->clear();
  std::vector<std::shared_ptr<VirtualNode>> nodes;
  {
    std::lock_guard lock(mutex_);
    nodes = nodes_;
  }
  for (const auto& n : nodes) {
    std::lock_guard lock(n->mutex_);
    if (n->plugged_) out->push_back(n->info_);
  }
  return true;
}

std::unique_ptr<NodeConnection> VirtualBackend::Open(const std::string& nodeId, bool read,
                                                     bool write, std::string* error) {
  auto node = Find(nodeId);
  auto state = node ? node->Connect() : nullptr;
  if (!state) {
    if (error) *error = "no such device: " + nodeId;
    return nullptr;
  }
  return std::make_unique<VirtualConnection>(std::move(node), std::move(state), read, write);
}

bool VirtualBackend::Probe(const std::string& nodeId, const std::string& identity) {
  auto node = Find(nodeId);
  if (!node) return false;
  std::lock_guard lock(node->mutex_);
  return node->plugged_ && node->info_.identity == identity;
}

}  // namespace vz::hid
