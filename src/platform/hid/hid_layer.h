// The HID layer the rest of the program uses: every HID interface of the machine, one path
// per top-level collection, opened with the platform's four flags and talked to one report
// at a time.
//
// Reports cross this layer whole, byte 0 first: byte 0 is the report id, 0 for a
// collection without report ids (a node delivers such input reports without the id byte;
// the layer adds it). Lengths count that byte. A read delivers only the opened collection's report ids:
// reports of the node's other collections are dropped, and the time-out covers the whole
// wait, dropped reports included.
//
// The hidraw backend is always present; other backends (the emulated devices) register
// themselves. Nothing here throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/hid/hid_data.h"
#include "platform/hid/node_backend.h"
#include "platform/hid/report_decoding.h"
#include "platform/hid/report_descriptor.h"

namespace vz::hid {

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
};

struct HidCaps {
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
  std::uint16_t featureReportByteLength = 0;
  std::uint16_t numberLinkCollectionNodes = 0;
  std::uint16_t numberInputButtonCaps = 0;
  std::uint16_t numberInputValueCaps = 0;
  std::uint16_t numberOutputButtonCaps = 0;
  std::uint16_t numberOutputValueCaps = 0;
  std::uint16_t numberFeatureButtonCaps = 0;
  std::uint16_t numberFeatureValueCaps = 0;
};

HidCaps CapsOf(const TopCollection& collection);

// One path: one top-level collection of one node.
struct InterfaceInfo {
  std::string path;
  HidAttributes attributes;
  HidCaps caps;
  std::string product;   // the device's name as the kernel has it
  std::string serial;
  std::string backend;
  std::string nodeId;
  int interfaceNumber = -1;
  int collectionNumber = 0;  // 0 when the node has one collection, else 1-based
};

// A node left out of the listing because its report descriptor was refused.
struct RejectedNode {
  std::string backend;
  std::string nodeId;
  std::string reason;
};

struct Enumeration {
  std::vector<InterfaceInfo> interfaces;
  std::vector<RejectedNode> rejected;
};

// The hidraw backend first, then the registered ones in registration order. A backend
// with the name of one already present replaces it (so a test can stand a hidraw backend
// on a fake sysfs tree in for the real one); unregistering it brings the real one back.
void RegisterBackend(std::shared_ptr<NodeBackend> backend);
void UnregisterBackend(const std::shared_ptr<NodeBackend>& backend);

// Every present collection. False when a backend's listing failed; *out then holds what
// the other backends listed.
bool EnumerateInterfaces(Enumeration* out);

// An open collection.
class HidInterface {
 public:
  virtual ~HidInterface() = default;
  virtual const TopCollection& Collection() const = 0;
  virtual const HidAttributes& Attributes() const = 0;
  virtual const HidCaps& Caps() const = 0;

  // One input report of this collection into buf, which must hold the input report byte
  // length; shorter reports are padded with zeros and *got is always that length on kOk
  // (0 otherwise). Blocks at most timeoutMs in all. Nothing is written into buf after the
  // call has returned.
  virtual IoStatus Read(std::uint8_t* buf, std::size_t len, std::size_t* got, std::uint32_t timeoutMs) = 0;
  // One output report: buf[0] must be one of this collection's report ids (0 without ids)
  // and len at least that report's length; exactly that report goes to the device.
  // *put is len on kOk, 0 otherwise.
  virtual IoStatus Write(const std::uint8_t* buf, std::size_t len, std::size_t* put,
                         std::uint32_t timeoutMs) = 0;
  // Breaks off a Read or Write of another thread (kCancelled), or the next one to start.
  virtual void Cancel() = 0;
};

// Opens a path with the platform's flags: read and write access, and the exclusive flag,
// which shares read access only (see collection_sharing.h). Neither read nor write opens
// for presence only. Null with the reason in *error.
std::unique_ptr<HidInterface> OpenInterface(const std::string& path, bool read, bool write,
                                            bool exclusive, std::string* error);

// True while the device behind the path is present and is the very device the path was
// made for (a reused node number of another device answers false).
bool ProbeInterface(const std::string& path);

}  // namespace vz::hid
