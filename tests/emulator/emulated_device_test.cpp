#include "emulator/emulated_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>

namespace vz::emulator {
namespace {

using Bytes = std::vector<std::uint8_t>;
using hid::IoStatus;

// A command report built the way the host builds it, independent of the host's code.
Bytes Request(std::uint8_t command, std::uint8_t length, std::uint16_t offset,
              const Bytes& payload = {}, bool withChecksum = true) {
  Bytes r(64, 0);
  r[0] = 4;
  r[3] = command;
  r[4] = length;
  r[5] = static_cast<std::uint8_t>(offset & 0xFF);
  r[6] = static_cast<std::uint8_t>(offset >> 8);
  std::copy(payload.begin(), payload.end(), r.begin() + 8);
  if (withChecksum) {
    const unsigned sum = std::accumulate(r.begin() + 3, r.end(), 0u);
    r[1] = static_cast<std::uint8_t>(sum & 0xFF);
    r[2] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
  }
  return r;
}

class DeviceFixture {
 public:
  explicit DeviceFixture(Model model, DeviceOptions options = {},
                         std::shared_ptr<Trace> trace = nullptr)
      : backend(std::make_shared<hid::VirtualBackend>()),
        device(EmulatedDevice::Create(backend, model, std::move(trace), options)) {
    device->Plug();
    std::string error;
    link = backend->Open(device->CommandNode()->Info().nodeId, true, true, &error);
  }

  // Writes one request and returns the first command answer (report id 4) within the
  // time-out, or an empty vector.
  Bytes Exchange(const Bytes& request, std::uint32_t timeoutMs = 200) {
    std::size_t put = 0;
    if (link->Write(request.data(), request.size(), &put, 1000) != IoStatus::kOk) return {};
    return Answer(timeoutMs);
  }

  Bytes Answer(std::uint32_t timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      Bytes a(64, 0);
      std::size_t got = 0;
      const auto status = link->Read(a.data(), a.size(), &got,
                                     left.count() > 0 ? static_cast<std::uint32_t>(left.count()) : 0);
      if (status != IoStatus::kOk) return {};
      if (got == 64 && a[0] == 4) return a;
    }
  }

  std::shared_ptr<hid::VirtualBackend> backend;
  std::shared_ptr<EmulatedDevice> device;
  std::unique_ptr<hid::NodeConnection> link;
};

Bytes Payload(const Bytes& answer, std::size_t n) {
  return {answer.begin() + 8, answer.begin() + 8 + static_cast<std::ptrdiff_t>(n)};
}

TEST(EmulatedDevice, AnswersEchoTheRequestHeaderAndCarryAChecksum) {
  DeviceFixture f(Model::kMouse);
  const Bytes a = f.Exchange(Request(5, 3, 64));
  ASSERT_EQ(a.size(), 64u);
  EXPECT_EQ(a[3], 5);
  EXPECT_EQ(a[4], 3);
  EXPECT_EQ(a[5], 64);
  EXPECT_EQ(a[6], 0);
  EXPECT_EQ(a[7], kStatusOk);
  const unsigned sum = std::accumulate(a.begin() + 3, a.end(), 0u);
  EXPECT_EQ(a[1], sum & 0xFF);
  EXPECT_EQ(a[2], (sum >> 8) & 0xFF);
  EXPECT_EQ(Payload(a, 3), (Bytes{1, 0, 4})) << "slot 1's record: its number, mode, brightness";
}

struct InfoRow {
  Model model;
  DeviceOptions options;
  std::size_t offset;
  Bytes expected;
  const char* what;
};

class DeviceInfoTest : public ::testing::TestWithParam<InfoRow> {};

TEST_P(DeviceInfoTest, ReadDeviceInfoReportsTheModelsFields) {
  const auto& row = GetParam();
  DeviceFixture f(row.model, row.options);
  const Bytes a = f.Exchange(Request(3, 33, 0));
  ASSERT_EQ(a.size(), 64u);
  EXPECT_EQ(a[7], kStatusOk);
  const Bytes info = Payload(a, 33);
  EXPECT_EQ(Bytes(info.begin() + static_cast<std::ptrdiff_t>(row.offset),
                  info.begin() + static_cast<std::ptrdiff_t>(row.offset + row.expected.size())),
            row.expected)
      << row.what;
}

INSTANTIATE_TEST_SUITE_P(
    Models, DeviceInfoTest,
    ::testing::Values(
        InfoRow{Model::kMouse, {}, 9, {0x60, 0x33, 100, 119}, "sensor 0x3360, step 100, top 119"},
        InfoRow{Model::kMouse, {}, 6, {32}, "32 macro units"},
        InfoRow{Model::kKeyboard, {}, 5, {104, 32}, "104 keys, 32 macro units"},
        InfoRow{Model::kKeyboardRgb, {171, 8}, 5, {171, 8}, "configured 171 keys, 8 units"}));

TEST(EmulatedDevice, IdentitiesAndInterfacesFollowTheModel) {
  struct Row {
    Model model;
    std::uint16_t vendor, product;
    std::vector<int> interfaces;
  };
  const Row rows[] = {{Model::kMouse, 0x195D, 0x1028, {0, 1, 2}},
                      {Model::kKeyboard, 0x0C45, 0x6556, {0, 1}},
                      {Model::kKeyboardRgb, 0x0C45, 0x0800, {0, 1}},
                      {Model::kKeyboard7200, 0x0C45, 0x7200, {0, 1}},
                      {Model::kMousepad, 0x0C45, 0x5004, {0}}};
  for (const auto& row : rows) {
    DeviceFixture f(row.model);
    std::vector<hid::NodeInfo> nodes;
    ASSERT_TRUE(f.backend->Enumerate(&nodes));
    std::vector<int> numbers;
    for (const auto& n : nodes) {
      EXPECT_EQ(n.vendorId, row.vendor);
      EXPECT_EQ(n.productId, row.product);
      numbers.push_back(n.interfaceNumber);
    }
    EXPECT_EQ(numbers, row.interfaces) << f.device->Name();
    const auto& d = f.device->CommandNode()->Info().reportDescriptor;
    const Bytes vendorPage = {0x06, 0x1C, 0xFF, 0x09, 0x92};
    EXPECT_NE(std::search(d.begin(), d.end(), vendorPage.begin(), vendorPage.end()), d.end());
  }
}

TEST(EmulatedDevice, SettingsWritesLandInTheRecordsAndReadBack) {
  DeviceFixture f(Model::kMouse);
  // Slot 2's record starts at 128; the active slot shares byte 0 with slot 0's record.
  ASSERT_EQ(f.Exchange(Request(6, 3, 128 + 19, {4, 9, 0x20}))[7], kStatusOk);
  ASSERT_EQ(f.Exchange(Request(6, 1, 0, {2}))[7], kStatusOk);
  EXPECT_EQ(f.device->Read(Area::kSettings, 128 + 19, 3), (Bytes{4, 9, 0x20}));
  EXPECT_EQ(Payload(f.Exchange(Request(5, 1, 0)), 1), (Bytes{2}));
  const Bytes record = Payload(f.Exchange(Request(5, 56, 128)), 56);
  EXPECT_EQ(record[19], 4);
  EXPECT_EQ(record[0], 2);
}

TEST(EmulatedDevice, KeyBlocksShareOneFlatAreaAddressedByOffset) {
  DeviceFixture f(Model::kMouse);
  // Block 1, position 0 is offset 126: with a 512-byte data size it is also block 0's
  // bytes 126.. as the device sees it.
  const Bytes assignment = {0x20, 0x00, 0x04};
  ASSERT_EQ(f.Exchange(Request(9, 3, 126, assignment))[7], kStatusOk);
  EXPECT_EQ(f.device->Read(Area::kKeys, 126, 3), assignment);
  const Bytes block0Chunk3 = Payload(f.Exchange(Request(8, 56, 112)), 56);
  EXPECT_EQ(Bytes(block0Chunk3.begin() + 14, block0Chunk3.begin() + 17), assignment);
  // The last chunk of block 4 at data size 512 ends exactly at the end of the area.
  EXPECT_EQ(f.Exchange(Request(8, 8, 4 * 126 + 504))[7], kStatusOk);
}

TEST(EmulatedDevice, FactoryKeyMapsFollowTheModel) {
  DeviceFixture mouse(Model::kMouse);
  const Bytes mouseMap = Payload(mouse.Exchange(Request(7, 56, 0)), 56);
  const Bytes mouseDefaults = {0x10, 0x01, 0, 0x10, 0x04, 0, 0x10, 0x02, 0, 0x10, 0x10, 0,
                               0x10, 0x08, 0, 0x13, 0x03, 0, 0x13, 0x01, 0};
  EXPECT_EQ(Bytes(mouseMap.begin(), mouseMap.begin() + 21), mouseDefaults);
  EXPECT_EQ(mouseMap[21], 0x05) << "filler after the seven buttons";
  EXPECT_EQ(mouse.device->Read(Area::kDefaultKeyMap, 508, 4), (Bytes{0x05, 0x05, 0, 0}));
  for (int block = 0; block < 5; ++block) {
    EXPECT_EQ(mouse.device->Read(Area::kKeys, 126 * static_cast<std::size_t>(block), 21),
              mouseDefaults)
        << "block " << block;
  }

  DeviceFixture keyboard(Model::kKeyboard);
  const Bytes map = keyboard.device->Read(Area::kDefaultKeyMap, 0, 512);
  struct Key {
    int index;
    Bytes assignment;
  };
  const Key keys[] = {{0, {0x20, 0, 0x29}},      // Escape
                      {1, {0x20, 0, 0x3A}},      // F1
                      {37, {0x20, 0, 0x2B}},     // Tab
                      {74, {0x20, 0x02, 0}},     // left Shift
                      {91, {0x20, 0x01, 0}},     // left Ctrl
                      {96, {0x20, 0x80, 0}},     // right Win
                      {103, {0x20, 0, 0x63}}};   // keypad full stop, the last key
  for (const auto& k : keys) {
    const auto at = map.begin() + 3 * k.index;
    EXPECT_EQ(Bytes(at, at + 3), k.assignment) << "key " << k.index;
  }
  EXPECT_EQ(map[312], 0x05) << "nothing after the 104th key";
}

TEST(EmulatedDevice, RefusesBadRequestsWithoutChangingMemory) {
  struct Row {
    Model model;
    Bytes request;
    std::uint8_t status;
    const char* what;
  };
  Bytes badSum = Request(6, 1, 0, {3});
  badSum[1] ^= 1;
  const Row rows[] = {
      {Model::kMouse, badSum, kStatusRefused, "wrong checksum"},
      {Model::kMouse, Request(6, 1, 0, {3}, false), kStatusRefused, "checksum missing"},
      {Model::kMouse, Request(4, 0, 0), kStatusRefused, "unknown command"},
      {Model::kMouse, Request(6, 57, 0), kStatusOutOfRange, "longer than a payload"},
      {Model::kMouse, Request(6, 8, 316, {3}), kStatusOutOfRange, "beyond the settings area"},
      {Model::kMouse, Request(21, 8, 4092, {3}), kStatusOutOfRange, "beyond the macro area"},
      {Model::kMousepad, Request(9, 3, 0, {3}), kStatusRefused, "no key blocks"},
      {Model::kKeyboard, Request(23, 3, 0, {3}), kStatusRefused, "no cursor area"},
  };
  for (const auto& row : rows) {
    DeviceFixture f(row.model);
    const Bytes settingsBefore = f.device->Read(Area::kSettings, 0, kSettingsAreaSize);
    const Bytes a = f.Exchange(row.request);
    ASSERT_EQ(a.size(), 64u) << row.what;
    EXPECT_EQ(a[7], row.status) << row.what;
    EXPECT_EQ(f.device->Read(Area::kSettings, 0, kSettingsAreaSize), settingsBefore) << row.what;
  }
}

TEST(EmulatedDevice, RestoreDefaultsWithoutChecksumBringsBackTheFactorySettings) {
  DeviceFixture f(Model::kMouse);
  const Bytes factorySettings = f.device->Read(Area::kSettings, 0, kSettingsAreaSize);
  const Bytes factoryKeys = f.device->Read(Area::kKeys, 0, kKeyAreaSize);
  ASSERT_EQ(f.Exchange(Request(6, 2, 0, {3, 6}))[7], kStatusOk);
  ASSERT_EQ(f.Exchange(Request(9, 3, 0, {0x20, 0, 4}))[7], kStatusOk);
  ASSERT_EQ(f.Exchange(Request(21, 2, 0, {0xAA, 0x55}))[7], kStatusOk);

  const Bytes a = f.Exchange(Request(13, 0, 0, {}, false));
  ASSERT_EQ(a.size(), 64u);
  EXPECT_EQ(a[7], kStatusOk);
  EXPECT_EQ(f.device->Read(Area::kSettings, 0, kSettingsAreaSize), factorySettings);
  EXPECT_EQ(f.device->Read(Area::kKeys, 0, kKeyAreaSize), factoryKeys);
  EXPECT_EQ(f.device->Read(Area::kMacro, 0, 2), (Bytes{0xAA, 0x55})) << "macros are kept";
}

TEST(EmulatedDevice, StoresTheChunksOfFramesMacrosAndCursorSequences) {
  struct Row {
    std::uint8_t command;
    Area area;
    std::size_t total;
  };
  const Row rows[] = {{18, Area::kLightFrame, 60}, {18, Area::kLightFrame, 378},
                      {21, Area::kMacro, 120}, {23, Area::kCursor, 2920}};
  for (const auto& row : rows) {
    DeviceFixture f(Model::kMouse);
    Bytes data(row.total);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (std::size_t pos = 0; pos < row.total; pos += 56) {
      const std::size_t n = std::min<std::size_t>(56, row.total - pos);
      const Bytes chunk(data.begin() + static_cast<std::ptrdiff_t>(pos),
                        data.begin() + static_cast<std::ptrdiff_t>(pos + n));
      ASSERT_EQ(f.Exchange(Request(row.command, static_cast<std::uint8_t>(n),
                                   static_cast<std::uint16_t>(pos), chunk))[7],
                kStatusOk);
    }
    EXPECT_EQ(f.device->Read(row.area, 0, row.total), data) << int{row.command};
    if (row.area == Area::kLightFrame) {
      EXPECT_EQ(f.device->LightFrame(), data);
      EXPECT_EQ(f.device->LightFrameCount(), 1u);
    }
  }
}

TEST(EmulatedDevice, TransfersAreBracketedByBeginAndEnd) {
  DeviceFixture f(Model::kMouse);
  EXPECT_FALSE(f.device->InTransfer());
  EXPECT_EQ(f.Exchange(Request(1, 0, 0))[7], kStatusOk);
  EXPECT_TRUE(f.device->InTransfer());
  EXPECT_EQ(f.Exchange(Request(2, 0, 0))[7], kStatusOk);
  EXPECT_FALSE(f.device->InTransfer());
}

TEST(EmulatedDevice, FaultsHitTheChosenChunkOfTheChosenCommand) {
  struct Row {
    FaultKind kind;
    bool answered;
    std::uint8_t status;
    bool stored;
  };
  const Row rows[] = {{FaultKind::kSilent, false, 0, false},
                      {FaultKind::kStatusFF, true, 0xFF, false},
                      {FaultKind::kStatusFE, true, 0xFE, false}};
  for (const auto& row : rows) {
    DeviceFixture f(Model::kMouse);
    f.device->InjectFault({21, 1, row.kind});
    EXPECT_EQ(f.Exchange(Request(6, 1, 1, {6}))[7], kStatusOk) << "other commands unaffected";
    EXPECT_EQ(f.Exchange(Request(21, 1, 0, {1}))[7], kStatusOk) << "chunk 0 passes";
    const Bytes hit = f.Exchange(Request(21, 1, 56, {2}), 100);
    EXPECT_EQ(!hit.empty(), row.answered);
    if (row.answered) {
      EXPECT_EQ(hit[7], row.status);
    }
    EXPECT_EQ(f.device->Read(Area::kMacro, 56, 1)[0], row.stored ? 2 : 0);
    EXPECT_EQ(f.Exchange(Request(21, 1, 56, {2}))[7], kStatusOk) << "a retry passes";
    EXPECT_EQ(f.device->Read(Area::kMacro, 56, 1)[0], 2);
  }
}

TEST(EmulatedDevice, SlowAnswersArriveLateAndUnplugFaultsDropTheDevice) {
  DeviceFixture f(Model::kMouse);
  f.device->InjectFault({kAnyCommand, 0, FaultKind::kSlow, 1, 120});
  EXPECT_TRUE(f.Exchange(Request(5, 1, 0), 60).empty()) << "not within 60 ms";
  const Bytes late = f.Answer(500);
  ASSERT_EQ(late.size(), 64u);
  EXPECT_EQ(late[3], 5);

  f.device->InjectFault({3, 0, FaultKind::kUnplug});
  EXPECT_TRUE(f.Exchange(Request(3, 33, 0)).empty());
  EXPECT_FALSE(f.device->Plugged());
  Bytes buf(64);
  std::size_t got = 0;
  EXPECT_EQ(f.link->Read(buf.data(), buf.size(), &got, 0), IoStatus::kGone);
}

TEST(EmulatedDevice, UsbLatencyCostsAFrameEachWay) {
  DeviceFixture f(Model::kMouse);
  f.device->SetUsbLatency(true);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 10; ++i) ASSERT_EQ(f.Exchange(Request(5, 1, 0)).size(), 64u);
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
  EXPECT_GE(us, 10 * 2 * 1000);
}

// The event listener reads the consumer-control collection: a press and a release.
Bytes ReadEvent(hid::NodeConnection& c) {
  for (;;) {
    Bytes e(64, 0);
    std::size_t got = 0;
    if (c.Read(e.data(), e.size(), &got, 200) != IoStatus::kOk) return {};
    if (e[0] == kEventReportId) return Bytes(e.begin(), e.begin() + static_cast<std::ptrdiff_t>(got));
  }
}

TEST(EmulatedDevice, DeviceButtonsChangeTheActiveRecordAndSendEvents) {
  struct Row {
    Model model;
    Action action;
    std::size_t changedOffset;  // within the settings area, with slot 1 active
    std::uint8_t before, after;
    std::uint16_t event;
  };
  const Row rows[] = {
      {Model::kMouse, Action::kDpiButton, 64 + 19, 1, 2, 0x401},
      {Model::kMouse, Action::kProfileButton, 0, 1, 2, 0x402},
      {Model::kMouse, Action::kLightingButton, 64 + 1, 0, 1, 0x402},
      {Model::kKeyboard, Action::kLightingButton, 64 + 1, 0, 1, 0x402},
      {Model::kKeyboard, Action::kClick, 0, 1, 1, 0x403},
  };
  for (const auto& row : rows) {
    DeviceFixture f(row.model);
    ASSERT_TRUE(f.device->Write(Area::kSettings, 0, {1}));
    std::vector<hid::NodeInfo> nodes;
    f.backend->Enumerate(&nodes);
    std::unique_ptr<hid::NodeConnection> listener;
    std::string error;
    for (const auto& node : f.device->Nodes()) {
      const auto& d = node->Info().reportDescriptor;
      const Bytes consumer = {0x05, 0x0C, 0x09, 0x01};
      if (std::search(d.begin(), d.end(), consumer.begin(), consumer.end()) != d.end()) {
        listener = f.backend->Open(node->Info().nodeId, true, false, &error);
      }
    }
    ASSERT_TRUE(listener);
    EXPECT_EQ(f.device->Read(Area::kSettings, row.changedOffset, 1)[0], row.before);
    ASSERT_TRUE(f.device->Press(row.action));
    EXPECT_EQ(f.device->Read(Area::kSettings, row.changedOffset, 1)[0], row.after);
    EXPECT_EQ(ReadEvent(*listener),
              (Bytes{kEventReportId, static_cast<std::uint8_t>(row.event & 0xFF),
                     static_cast<std::uint8_t>(row.event >> 8)}));
    EXPECT_EQ(ReadEvent(*listener), (Bytes{kEventReportId, 0, 0})) << "release";
  }
}

TEST(EmulatedDevice, ButtonsThatTheModelLacksAreRefused) {
  DeviceFixture keyboard(Model::kKeyboard);
  EXPECT_FALSE(keyboard.device->Press(Action::kDpiButton));
  DeviceFixture pad(Model::kMousepad);
  EXPECT_FALSE(pad.device->Press(Action::kClick));
  DeviceFixture mouse(Model::kMouse);
  mouse.device->Unplug();
  EXPECT_FALSE(mouse.device->Press(Action::kClick));
}

TEST(EmulatedDevice, TracesEveryReportInAndOut) {
  std::vector<std::string> lines;
  std::mutex m;
  auto trace = Trace::ToCallback([&](const std::string& line) {
    std::lock_guard lock(m);
    lines.push_back(line);
  });
  DeviceFixture f(Model::kMouse, {}, trace);
  ASSERT_EQ(f.Exchange(Request(6, 1, 0, {3})).size(), 64u);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(" mouse > 04 0a 00 06 01 00 00 00 03 00 "), std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find(" mouse < 04 "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[0].size(), lines[0].find(" mouse") + std::string(" mouse >").size() + 64 * 3);
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(lines[0][0])));
}

TEST(Trace, FormatsMillisecondsDeviceDirectionAndHexBytes) {
  const std::uint8_t bytes[] = {0x04, 0xAB, 0x00};
  EXPECT_EQ(Trace::FormatLine(1234, "keyboard-rgb", '<', bytes, 3), "1234 keyboard-rgb < 04 ab 00");
}

}  // namespace
}  // namespace vz::emulator
