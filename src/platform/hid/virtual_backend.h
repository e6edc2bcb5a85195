// The in-process node backend: emulated HID interfaces that behave towards the layer above
// exactly like hidraw nodes, so that nothing above the platform layer can tell them apart.
//
// A VirtualNode is one emulated interface. Its device side (the firmware model) receives
// every output report on the writer's own thread, and sends input reports that every open
// connection receives a copy of, in order of delivery time, as hidraw does. A node can be
// unplugged and plugged again at run time; each plug gives it a new identity, so a stored
// path of the previous device no longer probes as present.
//
// Timing: a report sent with a delay is invisible to readers until the delay has passed
// (slow devices, the USB latency model). A write takes the node's write latency before it
// reaches the device side. A node set to stall its writes lets every write wait out its
// whole time-out and fail with kTimeout, the way a device that stopped taking reports does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/node_backend.h"

namespace vz::hid {

class VirtualConnection;

class VirtualNode : public std::enable_shared_from_this<VirtualNode> {
 public:
  // Called on the writer's thread with the whole output report (report id in byte 0).
  using OutputHandler = std::function<void(const std::uint8_t* report, std::size_t length)>;

  // Reports older than this are dropped from a connection's queue, like hidraw's ring buffer.
  static constexpr std::size_t kQueueDepth = 64;

  explicit VirtualNode(NodeInfo info);  // made by VirtualBackend::AddNode; starts unplugged

  // The node as Enumerate lists it; identity is the one of the current (or last) plug.
  NodeInfo Info() const;
  bool Plugged() const;

  // Plug gives the node a new identity. Unplug makes every open connection fail with kGone
  // at once, waking the transfers waiting on it; those connections stay dead after a replug.
  void Plug();
  void Unplug();

  void SetOutputHandler(OutputHandler handler);

  // Queues a copy of the report for every open connection, readable delayMs from now.
  // Ignored while unplugged.
  void SendInput(const std::uint8_t* report, std::size_t length, std::uint32_t delayMs = 0);

  void SetWriteStall(bool stall);
  void SetWriteLatencyMs(std::uint32_t ms);

  std::size_t OpenConnectionCount() const;

 private:
  friend class VirtualBackend;
  friend class VirtualConnection;
  using Clock = std::chrono::steady_clock;
  struct Pending {
    Clock::time_point deliverAt;
    std::vector<std::uint8_t> bytes;
  };
  struct ConnectionState {
    std::deque<Pending> queue;  // sorted by deliverAt
    bool gone = false;
    bool cancel = false;
  };

  std::shared_ptr<ConnectionState> Connect();
  void Disconnect(const std::shared_ptr<ConnectionState>& state);
  IoStatus Read(ConnectionState& state, std::uint8_t* buf, std::size_t len, std::size_t* got,
                std::uint32_t timeoutMs);
  IoStatus Write(ConnectionState& state, const std::uint8_t* buf, std::size_t len,
                 std::size_t* put, std::uint32_t timeoutMs);
  void Cancel(ConnectionState& state);
  // Sleeps until `until` or a change of the node, whichever is first. It sleeps all the way,
  // as a thread waiting on a real device does, never spinning; the waiting thread's timer
  // slack is made small so that the 1 ms frames are kept to.
  void WaitUntil(std::unique_lock<std::mutex>& lock, Clock::time_point until);
  // Waits until `until` or until the transfer is broken off; kOk when the time ran out.
  IoStatus WaitInterruptible(std::unique_lock<std::mutex>& lock, ConnectionState& state,
                             Clock::time_point until);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  NodeInfo info_;
  unsigned plugCount_ = 0;
  bool plugged_ = false;
  bool stallWrites_ = false;
  std::uint32_t writeLatencyMs_ = 0;
  std::shared_ptr<OutputHandler> handler_;
  std::vector<std::shared_ptr<ConnectionState>> connections_;
};

class VirtualBackend : public NodeBackend {
 public:
  const char* Name() const override { return "virtual"; }

  // Creates an unplugged node. Its nodeId is made unique ("virtual0", "virtual1", ...) when
  // info.nodeId is empty; a given nodeId must not be in use yet (null otherwise).
  std::shared_ptr<VirtualNode> AddNode(NodeInfo info);
  // Unplugs the node and forgets it.
  void RemoveNode(const std::shared_ptr<VirtualNode>& node);

  bool Enumerate(std::vector<NodeInfo>* out) override;
  std::unique_ptr<NodeConnection> Open(const std::string& nodeId, bool read, bool write,
                                       std::string* error) override;
  bool Probe(const std::string& nodeId, const std::string& identity) override;

 private:
  std::shared_ptr<VirtualNode> Find(const std::string& nodeId) const;

  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualNode>> nodes_;
  unsigned nextNumber_ = 0;
};

}  // namespace vz::hid
