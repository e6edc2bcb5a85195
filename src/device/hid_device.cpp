#include "device/hid_device.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>

#include "platform/hid/interface_path.h"

namespace vz {
namespace {

constexpr std::size_t kPathCapacityStart = 4;  // doubled before every allocation
constexpr std::size_t kMaxPathChars = 260;     // the record's inline path, terminator included
// A cancelled transfer returns within microseconds; this only bounds a Close that races
// a transfer stuck in the kernel.
constexpr auto kTransferDrainLimit = std::chrono::seconds(2);

}  // namespace

struct HidDevice::Impl {
  // The path list.
  std::vector<std::string> paths;
  std::size_t capacity = 0;
  std::size_t cursor = 0;
  bool listPresent = false;

  // The open interface; transfers hold a reference of their own while they run, so Close
  // never pulls the connection out from under them.
  mutable std::mutex mutex;
  std::condition_variable idle;
  std::shared_ptr<hid::HidInterface> open;
  int pending = 0;
  std::string lastError;

  // Capability data, from a successful open until Close.
  hid::HidCaps caps;
  hid::HidAttributes attributes;
  std::array<hid::HidDataList, hid::kReportTypeCount> lists;
  std::vector<std::uint8_t> inputBuffer;

  std::shared_ptr<hid::HidInterface> BeginTransfer() {
    std::lock_guard<std::mutex> lock(mutex);
    if (!open) return nullptr;
    ++pending;
    return open;
  }

  // Notifies under the lock: a Close in the destructor may free this record as soon as it
  // sees the count drop, so nothing of it may be touched after the unlock.
  void EndTransfer(const std::string& error) {
    std::lock_guard<std::mutex> lock(mutex);
    --pending;
    if (!error.empty()) lastError = error;
    idle.notify_all();
  }

  void SetError(const std::string& error) {
    std::lock_guard<std::mutex> lock(mutex);
    lastError = error;
  }

  void FreeCapabilities() {
    caps = {};
    attributes = {};
    for (auto& list : lists) list.Clear();
    inputBuffer.clear();
  }
};

namespace {

const char* StatusText(hid::IoStatus status) {
  struct Row {
    hid::IoStatus status;
    const char* text;
  };
  static constexpr Row kRows[] = {
      {hid::IoStatus::kOk, ""},
      {hid::IoStatus::kTimeout, "timed out"},
      {hid::IoStatus::kCancelled, "cancelled"},
      {hid::IoStatus::kGone, "device gone"},
      {hid::IoStatus::kFailed, "transfer failed"},
  };
  for (const Row& r : kRows) {
    if (r.status == status) return r.text;
  }
  return "transfer failed";
}

}  // namespace

HidDevice::HidDevice() : impl_(std::make_unique<Impl>()) {}

HidDevice::~HidDevice() {
  Close();
  FreePaths();
}

int HidDevice::EnumeratePaths() {
  FreePaths();
  hid::Enumeration found;
  if (!hid::EnumerateInterfaces(&found)) {
    impl_->SetError("the HID interfaces could not be listed");
    return 0;
  }
  try {
    std::size_t capacity = kPathCapacityStart * 2;
    std::vector<std::string> paths;
    paths.reserve(capacity);
    for (hid::InterfaceInfo& info : found.interfaces) {
      if (paths.size() == capacity) {
        capacity *= 2;
        paths.reserve(capacity);
      }
      paths.push_back(std::move(info.path));
    }
    impl_->paths = std::move(paths);
    impl_->capacity = capacity;
  } catch (const std::bad_alloc&) {
    FreePaths();
    impl_->SetError("out of memory while listing HID interfaces");
    return 0;
  }
  impl_->listPresent = true;
  impl_->cursor = 0;
  return 1;
}

const std::string* HidDevice::NextPath() {
  if (!impl_->listPresent || impl_->cursor >= impl_->paths.size()) return nullptr;
  return &impl_->paths[impl_->cursor++];
}

void HidDevice::FreePaths() {
  impl_->paths.clear();
  impl_->paths.shrink_to_fit();
  impl_->capacity = 0;
  impl_->cursor = 0;
  impl_->listPresent = false;
}

std::size_t HidDevice::PathCount() const { return impl_->paths.size(); }
std::size_t HidDevice::PathCapacity() const { return impl_->capacity; }

int HidDevice::OpenPath(const std::string& path, bool read, bool write, bool overlapped, bool exclusive) {
  read_ = read;
  write_ = write;
  overlapped_ = overlapped;
  exclusive_ = exclusive;
  if (path.size() >= kMaxPathChars) {
    Close();
    path_.clear();
    impl_->SetError("device path longer than the record holds");
    return 0;
  }
  path_ = path;
  return Reopen();
}

int HidDevice::Reopen() {
  Close();
  std::string error;
  std::shared_ptr<hid::HidInterface> open = hid::OpenInterface(path_, read_, write_, exclusive_, &error);
  if (!open) {
    impl_->SetError(error);
    return 0;
  }
  impl_->caps = open->Caps();
  impl_->attributes = open->Attributes();
  for (std::size_t t = 0; t < hid::kReportTypeCount; ++t) {
    impl_->lists[t].Build(open->Collection(), static_cast<hid::ReportType>(t));
  }
  impl_->inputBuffer.assign(impl_->caps.inputReportByteLength, 0);
  interfaceNumber_ = InterfaceNumberFromPath(path_);
  collectionNumber_ = CollectionNumberFromPath(path_);
  std::lock_guard<std::mutex> lock(impl_->mutex);
  impl_->open = std::move(open);
  return 1;
}

void HidDevice::Close() {
  std::shared_ptr<hid::HidInterface> closing;
  {
    std::unique_lock<std::mutex> lock(impl_->mutex);
    closing = std::move(impl_->open);
    impl_->open.reset();
    if (closing && impl_->pending > 0) {
      closing->Cancel();
      impl_->idle.wait_for(lock, kTransferDrainLimit, [&] { return impl_->pending == 0; });
    }
  }
  impl_->FreeCapabilities();
}

bool HidDevice::IsOpen() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->open != nullptr;
}

int HidDevice::ReadReport(std::uint32_t length, std::uint32_t* bytesRead, std::uint8_t* buffer,
                          std::uint32_t timeoutMs) {
  if (bytesRead != nullptr) *bytesRead = 0;
  std::shared_ptr<hid::HidInterface> open = impl_->BeginTransfer();
  if (!open) return 0;
  std::size_t got = 0;
  const hid::IoStatus status =
      buffer == nullptr ? hid::IoStatus::kFailed : open->Read(buffer, length, &got, timeoutMs);
  // A Close during the transfer left this the last reference: the connection and its share
  // must be gone before that Close returns, or a Reopen right after it would meet them.
  open.reset();
  impl_->EndTransfer(StatusText(status));
  if (status != hid::IoStatus::kOk) return 0;
  if (bytesRead != nullptr) *bytesRead = static_cast<std::uint32_t>(got);
  return 1;
}

int HidDevice::WriteReport(std::uint32_t length, std::uint32_t* bytesWritten, const std::uint8_t* buffer,
                           std::uint32_t timeoutMs) {
  if (bytesWritten != nullptr) *bytesWritten = 0;
  std::shared_ptr<hid::HidInterface> open = impl_->BeginTransfer();
  if (!open) return 0;
  std::size_t put = 0;
  const hid::IoStatus status =
      buffer == nullptr ? hid::IoStatus::kFailed : open->Write(buffer, length, &put, timeoutMs);
  open.reset();
  impl_->EndTransfer(StatusText(status));
  if (status != hid::IoStatus::kOk) return 0;
  if (bytesWritten != nullptr) *bytesWritten = static_cast<std::uint32_t>(put);
  return 1;
}

void HidDevice::SignalCancel() {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  if (impl_->open) impl_->open->Cancel();
}

std::string HidDevice::LastError() const {
  std::lock_guard<std::mutex> lock(impl_->mutex);
  return impl_->lastError;
}

std::uint16_t HidDevice::VendorId() const { return impl_->attributes.vendorId; }
std::uint16_t HidDevice::ProductId() const { return impl_->attributes.productId; }
std::uint16_t HidDevice::VersionNumber() const { return impl_->attributes.versionNumber; }
std::uint16_t HidDevice::UsagePage() const { return impl_->caps.usagePage; }
std::uint16_t HidDevice::Usage() const { return impl_->caps.usage; }
std::uint16_t HidDevice::InputReportLength() const { return impl_->caps.inputReportByteLength; }
std::uint16_t HidDevice::OutputReportLength() const { return impl_->caps.outputReportByteLength; }
std::uint16_t HidDevice::FeatureReportLength() const { return impl_->caps.featureReportByteLength; }

std::vector<hid::HidData>& HidDevice::Elements(hid::ReportType type) {
  return impl_->lists[hid::Index(type)].Elements();
}

std::uint8_t* HidDevice::InputReportBuffer() {
  return impl_->inputBuffer.empty() ? nullptr : impl_->inputBuffer.data();
}

bool HidDevice::UnpackReport(hid::ReportType type, const std::uint8_t* report, std::size_t length) {
  std::shared_ptr<hid::HidInterface> open;
  {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    open = impl_->open;
  }
  if (!open) return false;
  auto& elements = Elements(type);
  return hid::UnpackReport(type, report, length, elements.data(), elements.size(), open->Collection());
}

std::uint16_t VendorIdFromPath(const std::string& path) {
  return static_cast<std::uint16_t>(hid::HexAfterMarker(path, "vid_") & 0xFFFF);
}

std::uint16_t ProductIdFromPath(const std::string& path) {
  return static_cast<std::uint16_t>(hid::HexAfterMarker(path, "pid_") & 0xFFFF);
}

int InterfaceNumberFromPath(const std::string& path) {
  return static_cast<int>(hid::HexAfterMarker(path, "&mi_") & 0xFF);
}

int CollectionNumberFromPath(const std::string& path) {
  return static_cast<int>(hid::HexAfterMarker(path, "&col") & 0xFF);
}

bool ProbePath(const std::string& path) { return hid::ProbeInterface(path); }

}  // namespace vz
