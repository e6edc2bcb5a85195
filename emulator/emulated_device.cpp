#include "emulator/emulated_device.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vz::emulator {
namespace {

constexpr std::size_t kCommandByte = 3;
constexpr std::size_t kLengthByte = 4;
constexpr std::size_t kOffsetLow = 5;
constexpr std::size_t kOffsetHigh = 6;
constexpr std::size_t kStatusByte = 7;
constexpr std::size_t kPayloadByte = 8;
constexpr std::uint8_t kRestoreDefaults = 13;  // sent without a checksum
static_assert(kPayloadByte + kPayloadMax == kCommandReportSize);

std::uint16_t SumOfBody(const std::uint8_t* report) {
  unsigned sum = 0;
  for (std::size_t i = kCommandByte; i < kCommandReportSize; ++i) sum += report[i];
  return static_cast<std::uint16_t>(sum);
}

void StampSum(std::uint8_t* report) {
  const std::uint16_t sum = SumOfBody(report);
  report[1] = static_cast<std::uint8_t>(sum & 0xFF);
  report[2] = static_cast<std::uint8_t>(sum >> 8);
}

bool SumMatches(const std::uint8_t* report) {
  const std::uint16_t sum = SumOfBody(report);
  return report[1] == (sum & 0xFF) && report[2] == (sum >> 8);
}

}  // namespace

const std::array<EmulatedDevice::CommandEntry, 12> EmulatedDevice::kCommands = {{
    {1, &EmulatedDevice::OnBeginTransfer},
    {2, &EmulatedDevice::OnEndTransfer},
    {3, &EmulatedDevice::OnReadDeviceInfo},
    {5, &EmulatedDevice::OnReadSettings},
    {6, &EmulatedDevice::OnWriteSettings},
    {7, &EmulatedDevice::OnReadDefaultKeyMap},
    {8, &EmulatedDevice::OnReadKeyBlock},
    {9, &EmulatedDevice::OnWriteKeyBlock},
    {13, &EmulatedDevice::OnRestoreDefaults},
    {18, &EmulatedDevice::OnWriteLightFrame},
    {21, &EmulatedDevice::OnWriteMacroData},
    {23, &EmulatedDevice::OnWriteCursorData},
}};

std::shared_ptr<EmulatedDevice> EmulatedDevice::Create(
    std::shared_ptr<hid::VirtualBackend> backend, Model model, std::shared_ptr<Trace> trace,
    const DeviceOptions& options) {
  std::shared_ptr<EmulatedDevice> device(
      new EmulatedDevice(std::move(backend), MakeModelSpec(model, options), std::move(trace)));
  device->Attach();
  return device;
}

EmulatedDevice::EmulatedDevice(std::shared_ptr<hid::VirtualBackend> backend, ModelSpec spec,
                               std::shared_ptr<Trace> trace)
    : backend_(std::move(backend)),
      spec_(std::move(spec)),
      trace_(std::move(trace)),
      deviceInfo_(spec_.deviceInfo),
      settings_(spec_.settingsArea),
      keys_(spec_.keyArea),
      defaultKeyMap_(spec_.defaultKeyMap),
      macro_(spec_.macroAreaSize, 0),
      cursor_(spec_.cursorAreaSize, 0),
      lightFrame_(kLightFrameMax, 0) {}

void EmulatedDevice::Attach() {
  for (const auto& itf : spec_.interfaces) {
    hid::NodeInfo info;
    info.vendorId = spec_.vendorId;
    info.productId = spec_.productId;
    info.version = 0x0100;
    info.product = spec_.product;
    info.interfaceNumber = itf.number;
    info.reportDescriptor = itf.reportDescriptor;
    auto node = backend_->AddNode(std::move(info));
    if (itf.carriesCommands) {
      commandNode_ = node;
      std::weak_ptr<EmulatedDevice> self = weak_from_this();
      node->SetOutputHandler([self](const std::uint8_t* report, std::size_t length) {
        if (auto device = self.lock()) device->OnOutput(report, length);
      });
    }
    if (itf.carriesEvents) eventNode_ = node;
    nodes_.push_back(std::move(node));
  }
}

EmulatedDevice::~EmulatedDevice() {
  for (const auto& node : nodes_) {
    node->SetOutputHandler(nullptr);
    backend_->RemoveNode(node);
  }
}

void EmulatedDevice::Plug() {
  for (const auto& node : nodes_) node->Plug();
}

void EmulatedDevice::Unplug() {
  for (const auto& node : nodes_) node->Unplug();
}

bool EmulatedDevice::Plugged() const { return commandNode_->Plugged(); }

void EmulatedDevice::InjectFault(const Fault& fault) {
  std::lock_guard lock(mutex_);
  faults_.push_back({fault, 0});
}

void EmulatedDevice::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

void EmulatedDevice::SetAnswerDelayMs(std::uint32_t ms) {
  std::lock_guard lock(mutex_);
  answerDelayMs_ = ms;
}

void EmulatedDevice::SetWriteStall(bool stall) { commandNode_->SetWriteStall(stall); }

void EmulatedDevice::SetUsbLatency(bool on) {
  std::lock_guard lock(mutex_);
  usbLatency_ = on;
  commandNode_->SetWriteLatencyMs(on ? kUsbFrameMs : 0);
}

bool EmulatedDevice::TakeFault(std::uint8_t command, Fault* hit) {
  bool found = false;
  for (auto& armed : faults_) {
    if (armed.fault.command != kAnyCommand && armed.fault.command != command) continue;
    const int index = armed.seen++;
    if (!found && index >= armed.fault.chunk && index < armed.fault.chunk + armed.fault.times) {
      *hit = armed.fault;
      found = true;
    }
  }
  std::erase_if(faults_, [](const ArmedFault& a) { return a.seen >= a.fault.chunk + a.fault.times; });
  return found;
}

void EmulatedDevice::SendLocked(const std::shared_ptr<hid::VirtualNode>& node,
                                const std::uint8_t* report, std::size_t length,
                                std::uint32_t extraDelayMs) {
  if (trace_) trace_->Report(spec_.name, '<', report, length);
  const std::uint32_t delay = answerDelayMs_ + extraDelayMs + (usbLatency_ ? kUsbFrameMs : 0);
  node->SendInput(report, length, delay);
}

void EmulatedDevice::OnOutput(const std::uint8_t* report, std::size_t length) {
  std::uint8_t request[kCommandReportSize] = {};
  std::memcpy(request, report, std::min(length, kCommandReportSize));
  std::lock_guard lock(mutex_);
  if (trace_) trace_->Report(spec_.name, '>', report, length);
  if (request[0] != kCommandReportId) return;
  const std::uint8_t command = request[kCommandByte];
  ++requestCounts_[command];

  std::uint8_t answer[kCommandReportSize] = {};
  answer[0] = kCommandReportId;
  std::memcpy(answer + kCommandByte, request + kCommandByte, kStatusByte - kCommandByte);

  Fault fault;
  std::uint32_t extraDelay = 0;
  std::uint8_t status = kStatusOk;
  bool carryOut = true;
  if (TakeFault(command, &fault)) {
    switch (fault.kind) {
      case FaultKind::kSilent: return;
      case FaultKind::kUnplug:
        for (const auto& node : nodes_) node->Unplug();
        return;
      case FaultKind::kStatusFF: status = 0xFF; carryOut = false; break;
      case FaultKind::kStatusFE: status = 0xFE; carryOut = false; break;
      case FaultKind::kSlow: extraDelay = fault.delayMs; break;
    }
  }
  if (carryOut) {
    const Request r{command, request[kLengthByte],
                    static_cast<std::uint16_t>(request[kOffsetLow] | request[kOffsetHigh] << 8),
                    request + kPayloadByte};
    const auto entry = std::find_if(kCommands.begin(), kCommands.end(),
                                    [&](const CommandEntry& e) { return e.command == command; });
    if (entry == kCommands.end() || (command != kRestoreDefaults && !SumMatches(request))) {
      status = kStatusRefused;
    } else {
      status = (this->*(entry->handler))(r, answer + kPayloadByte);
    }
  }
  answer[kStatusByte] = status;
  StampSum(answer);
  SendLocked(commandNode_, answer, sizeof answer, extraDelay);
}

std::uint8_t EmulatedDevice::ReadFrom(const std::vector<std::uint8_t>& area, const Request& r,
                                      std::uint8_t* answer) {
  if (area.empty()) return kStatusRefused;
  if (r.length > kPayloadMax || r.offset + std::size_t{r.length} > area.size()) {
    return kStatusOutOfRange;
  }
  std::memcpy(answer, area.data() + r.offset, r.length);
  return kStatusOk;
}

std::uint8_t EmulatedDevice::WriteTo(std::vector<std::uint8_t>& area, const Request& r) {
  if (area.empty()) return kStatusRefused;
  if (r.length > kPayloadMax || r.offset + std::size_t{r.length} > area.size()) {
    return kStatusOutOfRange;
  }
  std::memcpy(area.data() + r.offset, r.payload, r.length);
  return kStatusOk;
}

std::uint8_t EmulatedDevice::OnBeginTransfer(const Request&, std::uint8_t*) {
  inTransfer_ = true;
  return kStatusOk;
}

std::uint8_t EmulatedDevice::OnEndTransfer(const Request&, std::uint8_t*) {
  inTransfer_ = false;
  return kStatusOk;
}

std::uint8_t EmulatedDevice::OnReadDeviceInfo(const Request& r, std::uint8_t* answer) {
  return ReadFrom(deviceInfo_, r, answer);
}

std::uint8_t EmulatedDevice::OnReadSettings(const Request& r, std::uint8_t* answer) {
  return ReadFrom(settings_, r, answer);
}

std::uint8_t EmulatedDevice::OnWriteSettings(const Request& r, std::uint8_t*) {
  return WriteTo(settings_, r);
}

std::uint8_t EmulatedDevice::OnReadDefaultKeyMap(const Request& r, std::uint8_t* answer) {
  return ReadFrom(defaultKeyMap_, r, answer);
}

std::uint8_t EmulatedDevice::OnReadKeyBlock(const Request& r, std::uint8_t* answer) {
  return ReadFrom(keys_, r, answer);
}

std::uint8_t EmulatedDevice::OnWriteKeyBlock(const Request& r, std::uint8_t*) {
  return WriteTo(keys_, r);
}

std::uint8_t EmulatedDevice::OnRestoreDefaults(const Request&, std::uint8_t*) {
  settings_ = spec_.settingsArea;
  keys_ = spec_.keyArea;
  return kStatusOk;
}

std::uint8_t EmulatedDevice::OnWriteLightFrame(const Request& r, std::uint8_t*) {
  const std::uint8_t status = WriteTo(lightFrame_, r);
  if (status != kStatusOk) return status;
  if (r.offset == 0) {
    lightFrameLength_ = 0;
    ++lightFrameCount_;
  }
  lightFrameLength_ = std::max(lightFrameLength_, r.offset + std::size_t{r.length});
  return status;
}

std::uint8_t EmulatedDevice::OnWriteMacroData(const Request& r, std::uint8_t*) {
  return WriteTo(macro_, r);
}

std::uint8_t EmulatedDevice::OnWriteCursorData(const Request& r, std::uint8_t*) {
  return WriteTo(cursor_, r);
}

void EmulatedDevice::SendEventLocked(std::uint16_t usage) {
  const std::uint8_t press[kEventReportSize] = {kEventReportId,
                                                static_cast<std::uint8_t>(usage & 0xFF),
                                                static_cast<std::uint8_t>(usage >> 8)};
  const std::uint8_t release[kEventReportSize] = {kEventReportId, 0, 0};
  SendLocked(eventNode_, press, sizeof press, 0);
  SendLocked(eventNode_, release, sizeof release, 0);
}

bool EmulatedDevice::Press(Action action) {
  if (!eventNode_ || !Plugged()) return false;
  if (action == Action::kDpiButton && !spec_.hasDpiButton) return false;
  std::lock_guard lock(mutex_);
  const std::size_t slot = settings_[0] < kSlotCount ? settings_[0] : 0;
  std::uint8_t* record = settings_.data() + slot * kRecordSize;
  constexpr std::uint8_t kCurrentDpiStage = 19;
  constexpr std::uint8_t kDpiStages = 5;
  constexpr std::uint8_t kLightingMode = 1;
  switch (action) {
    case Action::kDpiButton:
      record[kCurrentDpiStage] = static_cast<std::uint8_t>((record[kCurrentDpiStage] + 1) % kDpiStages);
      SendEventLocked(kEventSettingChanged);
      break;
    case Action::kProfileButton:
      settings_[0] = static_cast<std::uint8_t>((slot + 1) % kSlotCount);
      SendEventLocked(kEventReloadAll);
      break;
    case Action::kLightingButton:
      record[kLightingMode] = static_cast<std::uint8_t>((record[kLightingMode] + 1) % spec_.lightingModes);
      SendEventLocked(kEventReloadAll);
      break;
    case Action::kClick:
      SendEventLocked(kEventClick);
      break;
  }
  return true;
}

std::vector<std::uint8_t>* EmulatedDevice::AreaBytes(Area area) {
  return const_cast<std::vector<std::uint8_t>*>(std::as_const(*this).AreaBytes(area));
}

const std::vector<std::uint8_t>* EmulatedDevice::AreaBytes(Area area) const {
  switch (area) {
    case Area::kDeviceInfo: return &deviceInfo_;
    case Area::kSettings: return &settings_;
    case Area::kKeys: return &keys_;
    case Area::kDefaultKeyMap: return &defaultKeyMap_;
    case Area::kMacro: return &macro_;
    case Area::kCursor: return &cursor_;
    case Area::kLightFrame: return &lightFrame_;
  }
  return nullptr;
}

std::vector<std::uint8_t> EmulatedDevice::Read(Area area, std::size_t offset,
                                               std::size_t length) const {
  std::lock_guard lock(mutex_);
  const auto& bytes = *AreaBytes(area);
  if (offset >= bytes.size()) return {};
  const std::size_t n = std::min(length, bytes.size() - offset);
  return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
          bytes.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

bool EmulatedDevice::Write(Area area, std::size_t offset, const std::vector<std::uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  auto& target = *AreaBytes(area);
  if (offset > target.size() || bytes.size() > target.size() - offset) return false;
  std::copy(bytes.begin(), bytes.end(), target.begin() + static_cast<std::ptrdiff_t>(offset));
  return true;
}

std::vector<std::uint8_t> EmulatedDevice::LightFrame() const {
  std::lock_guard lock(mutex_);
  return {lightFrame_.begin(), lightFrame_.begin() + static_cast<std::ptrdiff_t>(lightFrameLength_)};
}

std::size_t EmulatedDevice::LightFrameCount() const {
  std::lock_guard lock(mutex_);
  return lightFrameCount_;
}

std::size_t EmulatedDevice::RequestCount(std::uint8_t command) const {
  std::lock_guard lock(mutex_);
  return requestCounts_[command];
}

bool EmulatedDevice::InTransfer() const {
  std::lock_guard lock(mutex_);
  return inTransfer_;
}

}  // namespace vz::emulator
