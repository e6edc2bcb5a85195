// The operating-system side of HID access: backends that list and open HID *nodes*.
//
// A node is one HID interface of a USB device as the kernel presents it (a hidraw node
// on Linux, an emulated interface of the virtual backend). A node may hold several
// top-level collections; the HID layer above (hid_layer.h) splits nodes into one path per
// collection, filters reads by the collection's report ids and enforces exclusive opens.
// Backends know nothing of collections.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vz::hid {

struct NodeInfo {
  std::string nodeId;              // unique among the nodes of its backend, e.g. "hidraw3"
  std::string identity;            // differs between two devices that reuse one node id
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t version = 0;
  std::string product;             // HID_NAME
  std::string serial;              // HID_UNIQ
  int interfaceNumber = -1;        // bInterfaceNumber of the USB interface, -1 when unknown
  std::vector<std::uint8_t> reportDescriptor;
};

enum class IoStatus {
  kOk,         // the whole report was transferred
  kTimeout,    // nothing arrived / could not be written within the time-out
  kCancelled,  // Cancel() broke the wait off
  kGone,       // the device disappeared (POLLHUP, POLLERR, EIO, ENODEV): fails at once from now on
  kFailed,     // any other error
};

class NodeConnection {
 public:
  virtual ~NodeConnection() = default;

  // Reads one input report as the node delivers it (report id in byte 0 when the node
  // uses report ids). *got is the number of bytes stored, at most len. Blocks at most
  // timeoutMs. Nothing is written into buf after the call has returned.
  virtual IoStatus Read(std::uint8_t* buf, std::size_t len, std::size_t* got,
                        std::uint32_t timeoutMs) = 0;

  // Writes one output report: byte 0 is the report id, 0 when the node uses none (as
  // hidraw has it: reads drop a 0 id byte, writes keep it). Blocks at most timeoutMs.
  virtual IoStatus Write(const std::uint8_t* buf, std::size_t len, std::size_t* put,
                         std::uint32_t timeoutMs) = 0;

  // Breaks off a Read or Write waiting on another thread; it returns kCancelled at once.
  // A Cancel with no transfer waiting is remembered until the next transfer starts waiting
  // (like the platform's auto-reset cancel event).
  virtual void Cancel() = 0;
};

class NodeBackend {
 public:
  virtual ~NodeBackend() = default;
  virtual const char* Name() const = 0;  // "hidraw", "virtual"

  // Every present node. False when the listing itself failed.
  virtual bool Enumerate(std::vector<NodeInfo>* out) = 0;

  // Opens a node for reading and/or writing. Null on failure, with the reason in *error.
  virtual std::unique_ptr<NodeConnection> Open(const std::string& nodeId, bool read, bool write,
                                               std::string* error) = 0;

  // True while the node is present and still the device that had `identity`.
  virtual bool Probe(const std::string& nodeId, const std::string& identity) = 0;

  // True when other processes can open the same nodes (the kernel's hidraw nodes), so
  // exclusive opens must be enforced across processes too, not only within this one.
  virtual bool SharedBetweenProcesses() const { return false; }
};

}  // namespace vz::hid
