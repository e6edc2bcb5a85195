#include "platform/hid/hid_layer.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/hid/collection_sharing.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/hid/interface_path.h"

namespace vz::hid {
namespace {

using Clock = std::chrono::steady_clock;

struct Backends {
  std::mutex mutex;
  std::shared_ptr<NodeBackend> hidraw;          // the real one, made on first use
  std::shared_ptr<NodeBackend> hidrawStandIn;   // registered in its place
  std::vector<std::shared_ptr<NodeBackend>> others;
};

Backends& TheBackends() {
  static Backends b;
  return b;
}

std::vector<std::shared_ptr<NodeBackend>> Snapshot() {
  Backends& b = TheBackends();
  std::lock_guard<std::mutex> lock(b.mutex);
  std::vector<std::shared_ptr<NodeBackend>> all;
  if (b.hidrawStandIn) {
    all.push_back(b.hidrawStandIn);
  } else {
    if (!b.hidraw) b.hidraw = std::make_shared<HidrawBackend>();
    all.push_back(b.hidraw);
  }
  all.insert(all.end(), b.others.begin(), b.others.end());
  return all;
}

std::shared_ptr<NodeBackend> FindBackend(const std::string& name) {
  for (auto& backend : Snapshot()) {
    if (name == backend->Name()) return backend;
  }
  return nullptr;
}

std::uint16_t Narrow(std::size_t n) { return static_cast<std::uint16_t>(std::min<std::size_t>(n, 0xFFFF)); }

class OpenCollection : public HidInterface {
 public:
  OpenCollection(std::shared_ptr<NodeBackend> backend, std::unique_ptr<NodeConnection> connection,
                 std::unique_ptr<ShareLease> lease, const ReportDescriptor& descriptor, std::size_t index,
                 const NodeInfo& node)
      : backend_(std::move(backend)),
        connection_(std::move(connection)),
        lease_(std::move(lease)),
        reportBits_(descriptor.reportBits),
        usesIds_(descriptor.usesReportIds),
        collection_(descriptor.collections[index]),
        caps_(CapsOf(collection_)) {
    attributes_ = {node.vendorId, node.productId, node.version};
    for (const TopCollection& c : descriptor.collections) {
      nodeInputLength_ = std::max<std::size_t>(nodeInputLength_, c.reportByteLength[Index(ReportType::kInput)]);
    }
  }

  const TopCollection& Collection() const override { return collection_; }
  const HidAttributes& Attributes() const override { return attributes_; }
  const HidCaps& Caps() const override { return caps_; }

  IoStatus Read(std::uint8_t* buf, std::size_t len, std::size_t* got, std::uint32_t timeoutMs) override {
    *got = 0;
    const std::size_t want = caps_.inputReportByteLength;
    if (want == 0 || len < want) return IoStatus::kFailed;
    // One byte more than the longest report of the node, so a longer one shows as such.
    std::vector<std::uint8_t> report(nodeInputLength_ + 1, 0);
    std::uint8_t* const into = usesIds_ ? report.data() : report.data() + 1;
    const std::size_t room = usesIds_ ? report.size() : report.size() - 1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      std::size_t n = 0;
      const IoStatus status = connection_->Read(into, room, &n, static_cast<std::uint32_t>(std::max<long long>(left, 0)));
      if (status != IoStatus::kOk) return status;
      if (usesIds_ && !collection_.HasReportId(report[0])) continue;  // another collection's report
      const std::size_t total = usesIds_ ? n : n + 1;
      std::memcpy(buf, report.data(), std::min(total, want));
      if (total < want) std::memset(buf + total, 0, want - total);
      *got = want;
      return IoStatus::kOk;
    }
  }

  IoStatus Write(const std::uint8_t* buf, std::size_t len, std::size_t* put, std::uint32_t timeoutMs) override {
    *put = 0;
    if (len == 0 || caps_.outputReportByteLength == 0) return IoStatus::kFailed;
    const std::uint8_t id = buf[0];
    if (usesIds_ ? !collection_.HasReportId(id) : id != 0) return IoStatus::kFailed;
    const std::size_t data = (reportBits_[Index(ReportType::kOutput)][id] + 7) / 8;
    if (data == 0 || len < data + 1) return IoStatus::kFailed;
    // Unlike reads, writes carry byte 0 to the node even without report ids (hidraw
    // expects the 0 there).
    std::size_t n = 0;
    const IoStatus status = connection_->Write(buf, data + 1, &n, timeoutMs);
    if (status == IoStatus::kOk) *put = len;
    return status;
  }

  void Cancel() override { connection_->Cancel(); }

 private:
  std::shared_ptr<NodeBackend> backend_;  // outlives the connection it made
  std::unique_ptr<NodeConnection> connection_;
  std::unique_ptr<ShareLease> lease_;
  std::array<std::array<std::uint32_t, 256>, kReportTypeCount> reportBits_;
  bool usesIds_;
  TopCollection collection_;
  HidCaps caps_;
  HidAttributes attributes_;
  std::size_t nodeInputLength_ = 0;
};

bool FindNode(NodeBackend& backend, const InterfacePath& p, NodeInfo* node) {
  std::vector<NodeInfo> nodes;
  if (!backend.Enumerate(&nodes)) return false;
  for (NodeInfo& n : nodes) {
    if (n.nodeId == p.nodeId && n.identity == p.identity) {
      *node = std::move(n);
      return true;
    }
  }
  return false;
}

}  // namespace

HidCaps CapsOf(const TopCollection& c) {
  HidCaps caps;
  caps.usage = c.usage;
  caps.usagePage = c.usagePage;
  caps.inputReportByteLength = c.reportByteLength[Index(ReportType::kInput)];
  caps.outputReportByteLength = c.reportByteLength[Index(ReportType::kOutput)];
  caps.featureReportByteLength = c.reportByteLength[Index(ReportType::kFeature)];
  caps.numberLinkCollectionNodes = c.linkCollectionCount;
  caps.numberInputButtonCaps = Narrow(c.buttonCaps[Index(ReportType::kInput)].size());
  caps.numberInputValueCaps = Narrow(c.valueCaps[Index(ReportType::kInput)].size());
  caps.numberOutputButtonCaps = Narrow(c.buttonCaps[Index(ReportType::kOutput)].size());
  caps.numberOutputValueCaps = Narrow(c.valueCaps[Index(ReportType::kOutput)].size());
  caps.numberFeatureButtonCaps = Narrow(c.buttonCaps[Index(ReportType::kFeature)].size());
  caps.numberFeatureValueCaps = Narrow(c.valueCaps[Index(ReportType::kFeature)].size());
  return caps;
}

void RegisterBackend(std::shared_ptr<NodeBackend> backend) {
  if (!backend) return;
  Backends& b = TheBackends();
  std::lock_guard<std::mutex> lock(b.mutex);
  if (std::strcmp(backend->Name(), "hidraw") == 0) {
    b.hidrawStandIn = std::move(backend);
    return;
  }
  auto same = std::find_if(b.others.begin(), b.others.end(),
                           [&](const auto& o) { return std::strcmp(o->Name(), backend->Name()) == 0; });
  if (same != b.others.end()) *same = std::move(backend);
  else b.others.push_back(std::move(backend));
}

void UnregisterBackend(const std::shared_ptr<NodeBackend>& backend) {
  Backends& b = TheBackends();
  std::lock_guard<std::mutex> lock(b.mutex);
  if (b.hidrawStandIn == backend) b.hidrawStandIn.reset();
  b.others.erase(std::remove(b.others.begin(), b.others.end(), backend), b.others.end());
}

bool EnumerateInterfaces(Enumeration* out) {
  out->interfaces.clear();
  out->rejected.clear();
  bool ok = true;
  for (const auto& backend : Snapshot()) {
    std::vector<NodeInfo> nodes;
    if (!backend->Enumerate(&nodes)) {
      ok = false;
      continue;
    }
    for (const NodeInfo& node : nodes) {
      ReportDescriptor d;
      std::string error;
      if (!ParseReportDescriptor(node.reportDescriptor.data(), node.reportDescriptor.size(), &d, &error)) {
        out->rejected.push_back({backend->Name(), node.nodeId, error});
        continue;
      }
      const bool several = d.collections.size() > 1;
      for (std::size_t i = 0; i < d.collections.size(); ++i) {
        InterfacePath p{node.vendorId, node.productId, node.interfaceNumber, several ? static_cast<int>(i + 1) : 0,
                        node.nodeId, node.identity, backend->Name()};
        InterfaceInfo info;
        info.path = FormatInterfacePath(p);
        info.attributes = {node.vendorId, node.productId, node.version};
        info.caps = CapsOf(d.collections[i]);
        info.product = node.product;
        info.serial = node.serial;
        info.backend = backend->Name();
        info.nodeId = node.nodeId;
        info.interfaceNumber = node.interfaceNumber;
        info.collectionNumber = p.collection;
        out->interfaces.push_back(std::move(info));
      }
    }
  }
  return ok;
}

std::unique_ptr<HidInterface> OpenInterface(const std::string& path, bool read, bool write, bool exclusive,
                                            std::string* error) {
  InterfacePath p;
  if (!ParseInterfacePath(path, &p)) {
    *error = "not a HID interface path";
    return nullptr;
  }
  std::shared_ptr<NodeBackend> backend = FindBackend(p.backend);
  if (!backend) {
    *error = "no HID backend \"" + p.backend + "\"";
    return nullptr;
  }
  NodeInfo node;
  if (!FindNode(*backend, p, &node)) {
    *error = "the device is not present";
    return nullptr;
  }
  ReportDescriptor d;
  if (!ParseReportDescriptor(node.reportDescriptor.data(), node.reportDescriptor.size(), &d, error)) return nullptr;
  // A path names its collection with "&col" exactly when the node has several.
  const std::size_t count = d.collections.size();
  const bool named = p.collection == 0 ? count == 1 : count > 1 && static_cast<std::size_t>(p.collection) <= count;
  if (!named) {
    *error = "the device has no such collection";
    return nullptr;
  }
  const std::size_t index = p.collection == 0 ? 0 : static_cast<std::size_t>(p.collection - 1);
  const std::string key = p.backend + "#" + p.identity + "#" + std::to_string(index);
  auto lease = AcquireShare(key, backend->SharedBetweenProcesses(), write, exclusive, error);
  if (!lease) return nullptr;
  auto connection = backend->Open(p.nodeId, read, write, error);
  if (!connection) return nullptr;
  return std::make_unique<OpenCollection>(backend, std::move(connection), std::move(lease), d, index, node);
}

bool ProbeInterface(const std::string& path) {
  InterfacePath p;
  if (!ParseInterfacePath(path, &p)) return false;
  std::shared_ptr<NodeBackend> backend = FindBackend(p.backend);
  return backend && backend->Probe(p.nodeId, p.identity);
}

}  // namespace vz::hid
