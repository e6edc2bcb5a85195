#include "device/presence.h"

#include <algorithm>

#include "device/device_messages.h"
#include "device/hid_device.h"

namespace vz {

namespace {

constexpr PresenceTraits kTraits[kDeviceKindCount] = {
    // kind, products, count, pauses, tab, panel, profile list, timer, same-mode button
    {DeviceKind::kKeyboard, {0x6556, 0x0800, 0x7200}, 3, 100, 1000, "kb_tab", "kb_tab_panel",
     "kb_device_profile_combo", 7, 100, "kb_deng_same_mode"},
    {DeviceKind::kMouse, {0x1028, 0, 0}, 1, 1000, 1000, "ms_tab", "ms_tab_panel",
     "ms_device_profile_combo", 8, 500, "ms_deng_same_mode"},
    {DeviceKind::kMousepad, {0x5004, 0, 0}, 1, 100, 1000, "mp_tab", nullptr, "mp_deng_profile_combo", 7,
     100, "mp_deng_same_mode"},
};

const char* const kThreadEndText[kDeviceKindCount] = {
    "键盘设备侦测线程设定退出",
    "鼠标设备侦测线程设定退出",
    "鼠标垫设备侦测线程设定退出",
};

bool IsOpen(const PresenceContext& c, DeviceKind kind) {
  const DeviceChannel* channel = c.channels[Index(kind)];
  return channel != nullptr && channel->IsOpen();
}

// The device is gone: what the main window shows instead depends on who is left.
void OnGone(DeviceKind kind, const PresenceContext& c) {
  PresenceUi& ui = *c.ui;
  const bool keyboard = IsOpen(c, DeviceKind::kKeyboard);
  const bool mouse = IsOpen(c, DeviceKind::kMouse);
  const bool pad = IsOpen(c, DeviceKind::kMousepad);
  ui.ShowControl(TraitsOf(kind).tab, false);
  switch (kind) {
    case DeviceKind::kMouse:
      if (!keyboard && !pad) {
        ui.PostWindowMessage(WM_MS_GONE);
      } else if (keyboard) {
        ui.SelectOption("kb_tab");
        ui.FocusControl("kb_tab");
        ui.ShowControl("kb_tab", true);
      } else {
        ui.SelectOption("mp_tab");
        ui.FocusControl("mp_tab");
      }
      break;
    case DeviceKind::kMousepad:
      if (!keyboard && !mouse) {
        ui.ShowMainWindow(false);
      } else {
        ui.SelectOption(keyboard ? "kb_tab" : "ms_tab");
      }
      break;
    case DeviceKind::kKeyboard:
      if (!mouse && !pad) {
        ui.ShowMainWindow(false);
      } else {
        ui.SelectOption(mouse ? "ms_tab" : "mp_tab");
      }
      break;
  }
}

void OnAccepted(DeviceKind kind, const PresenceContext& c, DeviceChannel& channel, Event& stop) {
  PresenceUi& ui = *c.ui;
  const PresenceTraits& t = TraitsOf(kind);
  const int selection = c.storedSelection ? c.storedSelection(kind) : 0;
  switch (kind) {
    case DeviceKind::kMouse:
      channel.SetOpen(true);
      ui.SelectListItem(t.profileList, selection);
      ui.StartTimer(t.timerId, t.timerMs);
      // The mouse tab is shown, not hidden: with another device present it is the only
      // way back to the mouse pages.
      ui.ShowControl(t.tab, true);
      ui.SelectOption(t.tab);
      ui.ShowControl(t.tabPanel, true);
      break;
    case DeviceKind::kMousepad:
      channel.SetOpen(true);
      ui.ShowControl(t.tab, true);
      ui.SelectOption(t.tab);
      ui.SelectListItem(t.profileList, selection);
      ui.RelayoutControl(t.tab);
      ui.StartTimer(t.timerId, t.timerMs);
      break;
    case DeviceKind::kKeyboard:
      if (c.keyboardFound) c.keyboardFound(channel.Device().ProductId());
      ui.ShowControl(t.tab, true);
      ui.SelectOption(t.tab);
      // The keyboard settles before it takes commands; the stop event cuts the pause short.
      stop.Wait(100);
      channel.SetOpen(true);
      ui.ApplyKeyboardDeviceProfile(selection);
      ui.SelectListItem(t.profileList, selection);
      ui.StartTimer(t.timerId, t.timerMs);
      ui.ShowControl(t.tabPanel, true);
      ui.ShowMainWindow(true);
      break;
  }
}

bool Matches(const HidDevice& device, const DeviceIdentity& id, const PresenceTraits& t) {
  return device.VendorId() == id.vendorId && AcceptsProduct(t, device.ProductId()) &&
         device.UsagePage() == id.usagePage && device.Usage() == id.usage;
}

// Walks the interfaces for the kind's device. False when enumeration failed: the thread
// then ends, and the kind is no longer tracked.
bool Search(DeviceKind kind, const PresenceContext& c, DeviceChannel& channel, bool& firstPass,
            Event& stop) {
  HidDevice& device = channel.Device();
  if (!device.EnumeratePaths()) return false;
  const DeviceIdentity id = channel.Identity();
  const PresenceTraits& t = TraitsOf(kind);
  while (const std::string* path = device.NextPath()) {
    if (VendorIdFromPath(*path) != id.vendorId) continue;
    if (!device.OpenPath(*path, true, true, true, false)) continue;
    if (Matches(device, id, t)) {
      OnAccepted(kind, c, channel, stop);
      break;
    }
    device.Close();
  }
  if (firstPass) {
    // Every presence thread asks on its first pass whether the mouse is there; the
    // keyboard shows the window itself when it connects.
    if (IsOpen(c, DeviceKind::kMouse)) c.ui->PostShowMessage();
    firstPass = false;
  }
  device.FreePaths();
  return true;
}

}  // namespace

const PresenceTraits& TraitsOf(DeviceKind kind) { return kTraits[Index(kind)]; }

bool AcceptsProduct(const PresenceTraits& traits, std::uint16_t productId) {
  const auto begin = traits.productIds.begin();
  return std::find(begin, begin + static_cast<std::ptrdiff_t>(traits.productCount), productId) !=
         begin + static_cast<std::ptrdiff_t>(traits.productCount);
}

int PresenceThread(DeviceKind kind, const PresenceContext& c, Event& stop) {
  DeviceChannel& channel = *c.channels[Index(kind)];
  const PresenceTraits& t = TraitsOf(kind);
  const std::uint32_t pauseConnected = c.pauseConnectedMs ? c.pauseConnectedMs : t.pauseConnectedMs;
  const std::uint32_t pauseIdle = c.pauseIdleMs ? c.pauseIdleMs : t.pauseIdleMs;
  stop.Reset();
  bool firstPass = true;
  for (;;) {
    if (stop.Wait(1)) break;
    bool enumerationFailed = false;
    {
      std::lock_guard<IoLock> lock(channel.Lock());
      if (channel.IsOpen()) {
        if (!ProbePath(channel.Device().Path())) {
          channel.SetOpen(false);
          channel.SetSyncFlag(false);
          channel.Device().Close();
          OnGone(kind, c);
        } else {
          const bool othersOpen = std::any_of(kDeviceKinds.begin(), kDeviceKinds.end(), [&](const auto& row) {
            return row.kind != kind && IsOpen(c, row.kind);
          });
          c.ui->ShowControl(t.sameMode, othersOpen);
        }
      } else {
        enumerationFailed = !Search(kind, c, channel, firstPass, stop);
      }
    }
    if (enumerationFailed) {
      DebugOutput("device search failed; this device kind is no longer tracked");
      return 0;
    }
    if (stop.Wait(channel.IsOpen() ? pauseConnected : pauseIdle)) break;
  }
  DebugOutput(kThreadEndText[Index(kind)]);
  return 0;
}

namespace {

struct ListenerTraits {
  std::uint16_t vendorId;
  std::uint16_t productId;
  std::uint16_t usagePage;
  std::uint16_t usage;
  std::uint32_t onRefresh;  // event 0x401
  std::uint32_t onRead;     // event 0x402
  bool click;               // event 0x403 sets the lighting triggers
  const char* endText;
};

constexpr ListenerTraits kListeners[] = {
    {0x195D, 0x1028, 0x0C, 0x01, WM_DEV_MS_REFRESH, WM_DEV_MS_READ, true, "鼠标事件侦测线程设定退出"},
    {0x0C45, 0x6556, 0x0C, 0x01, WM_DEV_KB_REFRESH, WM_DEV_KB_READ, false, "键盘事件侦测线程设定退出"},
};

// The first usage of the first decoded element, 0 when the report held none.
std::uint32_t FirstUsage(HidDevice& device) {
  const auto& elements = device.Elements(hid::ReportType::kInput);
  if (elements.empty() || !elements.front().isDataSet) return 0;
  const hid::HidData& first = elements.front();
  if (first.isButtonData) {
    return first.button.maxUsageListLength > 0 && first.button.usages ? first.button.usages[0] : 0;
  }
  return first.value.value;
}

enum class ReadLoopEnd { kStop, kGone };

ReadLoopEnd ReadLoop(HidDevice& device, const ListenerTraits& t, const ListenerContext& c, Event& stop) {
  const std::uint32_t length = device.InputReportLength();
  for (;;) {
    if (stop.Wait(1)) return ReadLoopEnd::kStop;
    std::uint32_t got = 0;
    if (!device.ReadReport(length, &got, device.InputReportBuffer(), c.readTimeoutMs)) {
      if (!ProbePath(device.Path())) return ReadLoopEnd::kGone;
      continue;
    }
    if (!device.UnpackReport(hid::ReportType::kInput, device.InputReportBuffer(), got)) continue;
    switch (FirstUsage(device)) {
      case kEventRefresh:
        c.ui->SendWindowMessage(t.onRefresh);
        break;
      case kEventRead:
        c.ui->SendWindowMessage(t.onRead);
        break;
      case kEventClick:
        if (t.click && c.lightingTriggered) c.lightingTriggered();
        break;
      default:
        break;
    }
  }
}

}  // namespace

int ListenerThread(ListenerKind kind, const ListenerContext& c, Event& stop) {
  const ListenerTraits& t = kListeners[static_cast<int>(kind)];
  HidDevice device;
  stop.Reset();
  bool stopped = false;
  while (!stopped) {
    if (stop.Wait(1)) break;
    if (!device.EnumeratePaths()) break;
    bool connected = false;
    while (const std::string* path = device.NextPath()) {
      if (VendorIdFromPath(*path) != t.vendorId || ProductIdFromPath(*path) != t.productId) continue;
      if (!device.OpenPath(*path, true, false, true, false)) continue;
      if (device.VendorId() != t.vendorId || device.ProductId() != t.productId ||
          device.UsagePage() != t.usagePage || device.Usage() != t.usage) {
        device.Close();
        continue;
      }
      connected = true;
      stopped = ReadLoop(device, t, c, stop) == ReadLoopEnd::kStop;
      device.Close();
      break;
    }
    device.FreePaths();
    if (stopped) break;
    if (stop.Wait(connected ? 100 : 1000)) break;
  }
  DebugOutput(t.endText);
  return 0;
}

}  // namespace vz
