// The kernel's hidraw nodes as a NodeBackend.
//
// Enumeration reads sysfs: <sysfs>/class/hidraw/hidrawN/device is the HID device folder
// (named like "0003:195D:1028.000A"), whose uevent gives HID_ID (bus:vendor:product),
// HID_NAME and HID_UNIQ and whose report_descriptor holds the descriptor bytes; the USB
// interface folder above it has bInterfaceNumber and the USB device folder above that
// bcdDevice. The HID device folder's name is the node's identity: the kernel numbers HID
// devices afresh on every plug, so a reused hidrawN of another device has another name.
//
// Transfers open <dev>/hidrawN non-blocking and wait in poll() on the node and on an
// eventfd that Cancel() signals, so every wait is bounded by the time-out and a cancel
// ends it at once. POLLHUP, POLLERR, EIO and ENODEV mean the device was unplugged: the
// transfer answers kGone at once, and so does every later one on that connection.
//
// A node path that is a UNIX socket instead of a character device is taken as a stand-in
// node served over SOCK_SEQPACKET (one report per packet, hang-up on unplug): device
// models outside this process, and the tests, provide nodes that way.
#pragma once

#include <string>

#include "platform/hid/node_backend.h"

namespace vz::hid {

class HidrawBackend : public NodeBackend {
 public:
  // Roots from VZ_SYSFS_ROOT and VZ_DEV_ROOT in the environment, else "/sys" and "/dev".
  HidrawBackend();
  HidrawBackend(std::string sysfsRoot, std::string devRoot);

  const char* Name() const override { return "hidraw"; }
  // Nodes in ascending number. A missing hidraw class folder means no nodes (true); nodes
  // that vanish while they are read are left out.
  bool Enumerate(std::vector<NodeInfo>* out) override;
  // nodeId must be "hidraw" and digits. Neither read nor write opens the node for
  // nothing but presence.
  std::unique_ptr<NodeConnection> Open(const std::string& nodeId, bool read, bool write,
                                       std::string* error) override;
  bool Probe(const std::string& nodeId, const std::string& identity) override;
  bool SharedBetweenProcesses() const override { return true; }

  const std::string& SysfsRoot() const { return sysfsRoot_; }
  const std::string& DevRoot() const { return devRoot_; }

 private:
  bool ReadNode(const std::string& nodeId, NodeInfo* info) const;
  std::string IdentityOf(const std::string& nodeId) const;

  std::string sysfsRoot_;
  std::string devRoot_;
};

}  // namespace vz::hid
