// Device presence: one thread per device kind polls the HID interfaces, opens the kind's
// DeviceChannel on the interface that matches its identity and notices when the device
// leaves; two listener threads turn device-side events of the mouse and the keyboard into
// window messages.
//
// The threads never touch controls. Their user-interface steps go through PresenceUi,
// which hands each step to the user-interface thread in call order and returns at once:
// a presence thread holds its channel's I/O lock while it makes these calls, and the
// steps it asks for (a profile applied to the keyboard) write through that same channel.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "device/device_channel.h"
#include "platform/system/sync.h"
#include "settings/device_kind.h"

namespace vz {

class PresenceUi {
 public:
  virtual ~PresenceUi() = default;

  // --- posted: carried out later on the user-interface thread, in call order -----------
  virtual void ShowControl(const std::string& name, bool visible) = 0;
  // Selects an option (a device tab), raising its selection event.
  virtual void SelectOption(const std::string& name) = 0;
  virtual void FocusControl(const std::string& name) = 0;
  // Selects an entry of a profile list without taking the focus; selecting another entry
  // than the current one runs the list's item-select handling (the profile is applied).
  virtual void SelectListItem(const std::string& name, int index) = 0;
  virtual void RelayoutControl(const std::string& name) = 0;
  virtual void StartTimer(int id, std::uint32_t ms) = 0;
  virtual void ShowMainWindow(bool show) = 0;  // show with the focus, or hide
  // Applies the keyboard device profile at a list position to the images and the device.
  virtual void ApplyKeyboardDeviceProfile(int position) = 0;
  virtual void PostWindowMessage(std::uint32_t message) = 0;
  virtual void PostShowMessage() = 0;  // the single-instance show message

  // --- sent: returns once the user-interface thread has handled the message ------------
  virtual void SendWindowMessage(std::uint32_t message) = 0;
};

// What a presence thread needs besides its stop event.
struct PresenceContext {
  std::array<DeviceChannel*, kDeviceKindCount> channels{};  // indexed by DeviceKind
  PresenceUi* ui = nullptr;
  // The stored selection ("select") of the kind's profile index.
  std::function<int(DeviceKind)> storedSelection;
  // A keyboard with this product id was accepted (sets the keyboard variant).
  std::function<void(std::uint16_t productId)> keyboardFound;
  // Pauses between polls, connected and not; zero means the kind's own values.
  std::uint32_t pauseConnectedMs = 0;
  std::uint32_t pauseIdleMs = 0;
};

struct PresenceTraits {
  DeviceKind kind;
  std::array<std::uint16_t, 3> productIds;
  std::size_t productCount;
  std::uint32_t pauseConnectedMs;
  std::uint32_t pauseIdleMs;
  const char* tab;
  const char* tabPanel;      // nullptr: the kind has no panel to show
  const char* profileList;   // the list whose stored selection is restored on connection
  int timerId;
  std::uint32_t timerMs;
  const char* sameMode;      // synchronized-lighting button, shown while another device is open
};

const PresenceTraits& TraitsOf(DeviceKind kind);
bool AcceptsProduct(const PresenceTraits& traits, std::uint16_t productId);

// The thread bodies; each returns 0 once `stop` is set (within about one poll pause).
int PresenceThread(DeviceKind kind, const PresenceContext& context, Event& stop);

enum class ListenerKind { kMouse, kKeyboard };

struct ListenerContext {
  PresenceUi* ui = nullptr;
  // Event 0x403 of the mouse: sets the reactive lighting triggers of the mouse and the pad.
  std::function<void()> lightingTriggered;
  std::uint32_t readTimeoutMs = 500;
};

// Reads the consumer-control interface of the device with its own HidDevice and sends
// the event's message; ends within one read time-out of `stop`.
int ListenerThread(ListenerKind kind, const ListenerContext& context, Event& stop);

}  // namespace vz
