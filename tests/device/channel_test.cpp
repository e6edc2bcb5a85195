#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

#include "tests/device/channel_fixture.h"

namespace vz::test {
namespace {

using emulator::Area;
using emulator::Fault;
using emulator::FaultKind;
using emulator::Model;
using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + 3 * i);
  return b;
}

struct Chunk {
  std::uint8_t command;
  std::uint8_t length;
  std::uint16_t offset;
};

std::vector<Chunk> Chunks(std::uint8_t command, std::size_t total, std::uint16_t base) {
  std::vector<Chunk> out;
  for (std::size_t pos = 0; pos < total; pos += 56) {
    out.push_back({command, static_cast<std::uint8_t>(std::min<std::size_t>(56, total - pos)),
                   static_cast<std::uint16_t>(base + pos)});
  }
  return out;
}

struct RequestRow {
  const char* name;
  std::uint16_t dataSize;
  Bytes data;  // what a write sends
  std::function<int(DeviceChannel&, const Bytes&)> call;
  std::vector<Chunk> expected;
};

class RequestBytesTest : public ::testing::TestWithParam<RequestRow> {};

// Every report on the wire: header, length, offset, payload (a short last chunk keeps the
// previous chunk's bytes behind its length) and checksum, for every command.
TEST_P(RequestBytesTest, SendsExactlyTheseReports) {
  const auto& row = GetParam();
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  ASSERT_EQ(f.channel.SetDataSize(row.dataSize), 1);
  ASSERT_EQ(row.call(f.channel, row.data), kCmdOk);

  const auto requests = f.log->Requests();
  ASSERT_EQ(requests.size(), row.expected.size());
  std::size_t position = 0;
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const Bytes& r = requests[i];
    const Chunk& c = row.expected[i];
    SCOPED_TRACE("report " + std::to_string(i));
    ASSERT_EQ(r.size(), 64u);
    EXPECT_EQ(r[0], 4);
    EXPECT_EQ(r[3], c.command);
    EXPECT_EQ(r[4], c.length);
    EXPECT_EQ(r[5] | r[6] << 8, c.offset);
    EXPECT_EQ(r[7], 0);
    const unsigned sum = std::accumulate(r.begin() + 3, r.end(), 0u);
    if (c.command == 13) {
      Bytes bare(64, 0);
      bare[0] = 4;
      bare[3] = 13;
      EXPECT_EQ(r, bare) << "no checksum, nothing but the command";
    } else {
      EXPECT_EQ(r[1], sum & 0xFF);
      EXPECT_EQ(r[2], (sum >> 8) & 0xFF);
    }
    if (!row.data.empty()) {
      const Bytes payload(r.begin() + 8, r.begin() + 8 + c.length);
      EXPECT_EQ(payload, Bytes(row.data.begin() + static_cast<std::ptrdiff_t>(position),
                               row.data.begin() + static_cast<std::ptrdiff_t>(position + c.length)));
      const Bytes rest(r.begin() + 8 + c.length, r.end());
      const Bytes expectedRest =
          position == 0 ? Bytes(rest.size(), 0)
                        : Bytes(row.data.begin() + static_cast<std::ptrdiff_t>(position - 56 + c.length),
                                row.data.begin() + static_cast<std::ptrdiff_t>(position));
      EXPECT_EQ(rest, expectedRest) << "bytes beyond the length";
    }
    position += c.length;
  }
}

std::vector<Chunk> Concat(std::vector<Chunk> a, const std::vector<Chunk>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RequestBytesTest,
    ::testing::Values(
        RequestRow{"BeginEnd", 512, {},
                   [](DeviceChannel& c, const Bytes&) {
                     return c.BeginTransfer() == 1 ? c.EndTransfer() : 0;
                   },
                   {{1, 0, 0}, {2, 0, 0}}},
        RequestRow{"ReadDeviceInfo", 512, {},
                   [](DeviceChannel& c, const Bytes&) {
                     std::uint8_t deviceInfo[33];
                     return c.ReadDeviceInfo(deviceInfo);
                   },
                   {{3, 33, 0}}},
        RequestRow{"ReadSettingsSlot3", 512, {},
                   [](DeviceChannel& c, const Bytes&) {
                     std::uint8_t r[56];
                     return c.ReadSettings(r, 56, 192);
                   },
                   {{5, 56, 192}}},
        RequestRow{"WriteSettingsOneByte", 512, {3},
                   [](DeviceChannel& c, const Bytes& d) { return c.WriteSettings(d.data(), 1, 0); },
                   {{6, 1, 0}}},
        RequestRow{"ReadDefaultKeyMap512", 512, {},
                   [](DeviceChannel& c, const Bytes&) {
                     std::uint8_t m[512];
                     return c.ReadDefaultKeyMap(m);
                   },
                   Chunks(7, 512, 0)},
        RequestRow{"ReadKeyBlock512Block2", 512, {},
                   [](DeviceChannel& c, const Bytes&) {
                     std::uint8_t b[512];
                     return c.ReadKeyBlock(b, 2);
                   },
                   {{8, 56, 252}, {8, 56, 308}, {8, 56, 364}, {8, 56, 420}, {8, 56, 476},
                    {8, 56, 532}, {8, 56, 588}, {8, 56, 644}, {8, 56, 700}, {8, 8, 756}}},
        RequestRow{"ReadKeyBlock126Block1", 126, {},
                   [](DeviceChannel& c, const Bytes&) {
                     std::uint8_t b[126];
                     return c.ReadKeyBlock(b, 1);
                   },
                   {{8, 56, 126}, {8, 56, 182}, {8, 14, 238}}},
        RequestRow{"WriteKeyBlock312Block0", 312, Pattern(312, 1),
                   [](DeviceChannel& c, const Bytes& d) { return c.WriteKeyBlock(d.data(), 0); },
                   Chunks(9, 312, 0)},
        RequestRow{"RestoreDefaults", 512, {},
                   [](DeviceChannel& c, const Bytes&) { return c.RestoreDefaults(); },
                   {{13, 0, 0}}},
        RequestRow{"WriteLightFrameMouse", 512, Pattern(60, 9),
                   [](DeviceChannel& c, const Bytes& d) {
                     return c.WriteLightFrame(d.data(), static_cast<std::uint16_t>(d.size()));
                   },
                   {{18, 56, 0}, {18, 4, 56}}},
        RequestRow{"WriteMacroData120", 512, Pattern(120, 5),
                   [](DeviceChannel& c, const Bytes& d) { return c.WriteMacroData(d.data(), 120); },
                   {{21, 56, 0}, {21, 56, 56}, {21, 8, 112}}},
        RequestRow{"WriteCursorData2920", 512, Pattern(2920, 7),
                   [](DeviceChannel& c, const Bytes& d) { return c.WriteCursorData(d.data(), 2920); },
                   Concat(Chunks(23, 2912, 0), {{23, 8, 2912}})}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ChannelChecksum, MatchesTheWorkedExamples) {
  struct Row {
    Command command;
    Bytes payload;
    std::uint8_t low, high;
  };
  const Row rows[] = {{Command::kWriteSettings, {3}, 0x0A, 0x00},
                      {Command::kWriteKeyBlock, Bytes(56, 0xFF), 0x09, 0x38}};
  for (const auto& row : rows) {
    std::uint8_t report[64];
    BuildRequest(report, row.command, static_cast<std::uint8_t>(row.payload.size()), 0,
                 row.payload.data(), row.payload.size());
    EXPECT_EQ(report[1], row.low);
    EXPECT_EQ(report[2], row.high);
  }
}

TEST(ChannelResults, ReadsCopyTheDevicesBytesOut) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  std::uint8_t info[33] = {};
  ASSERT_EQ(f.channel.ReadDeviceInfo(info), kCmdOk);
  EXPECT_EQ(Bytes(info, info + 33), f.device->Read(Area::kDeviceInfo, 0, 33));
  std::uint8_t map[512];
  ASSERT_EQ(f.channel.ReadDefaultKeyMap(map), kCmdOk);
  EXPECT_EQ(Bytes(map, map + 512), f.device->Read(Area::kDefaultKeyMap, 0, 512));
  std::uint8_t block[512];
  ASSERT_EQ(f.channel.ReadKeyBlock(block, 4), kCmdOk);
  EXPECT_EQ(Bytes(block, block + 512), f.device->Read(Area::kKeys, 504, 512));
  const Bytes written = Pattern(512, 40);
  ASSERT_EQ(f.channel.WriteKeyBlock(written.data(), 1), kCmdOk);
  EXPECT_EQ(f.device->Read(Area::kKeys, 126, 512), written);
  std::uint8_t slot[3] = {};
  ASSERT_EQ(f.channel.ReadSettings(slot, 3, 64), kCmdOk);
  EXPECT_EQ(Bytes(slot, slot + 3), f.device->Read(Area::kSettings, 64, 3));
}

// Nothing is sent on a closed channel, and refusals come before any I/O.
TEST(ChannelResults, ClosedChannelsAndBadArgumentsSendNothing) {
  struct Row {
    const char* name;
    bool open;
    std::function<int(DeviceChannel&)> call;
    int expected;
  };
  static std::uint8_t buf[512];
  const Row rows[] = {
      {"BeginTransfer", false, [](DeviceChannel& c) { return c.BeginTransfer(); }, kCmdNoAnswer},
      {"EndTransfer", false, [](DeviceChannel& c) { return c.EndTransfer(); }, kCmdNoAnswer},
      {"ReadDeviceInfo", false, [](DeviceChannel& c) { return c.ReadDeviceInfo(buf); }, kCmdNoAnswer},
      {"ReadSettings", false, [](DeviceChannel& c) { return c.ReadSettings(buf, 1, 0); }, kCmdNoAnswer},
      {"WriteSettings", false, [](DeviceChannel& c) { return c.WriteSettings(buf, 1, 0); }, kCmdNoAnswer},
      {"ReadDefaultKeyMap", false, [](DeviceChannel& c) { return c.ReadDefaultKeyMap(buf); }, kCmdNoAnswer},
      {"ReadKeyBlock", false, [](DeviceChannel& c) { return c.ReadKeyBlock(buf, 0); }, kCmdNoAnswer},
      {"WriteKeyBlock", false, [](DeviceChannel& c) { return c.WriteKeyBlock(buf, 4); }, kCmdNoAnswer},
      {"RestoreDefaults", false, [](DeviceChannel& c) { return c.RestoreDefaults(); }, kCmdNoAnswer},
      {"WriteLightFrame", false, [](DeviceChannel& c) { return c.WriteLightFrame(buf, 60); }, kCmdNoAnswer},
      {"WriteMacroData", false, [](DeviceChannel& c) { return c.WriteMacroData(buf, 1); }, kCmdNoAnswer},
      {"WriteCursorData", false, [](DeviceChannel& c) { return c.WriteCursorData(buf, 1); }, kCmdNoAnswer},
      {"ReadBlock5Closed", false, [](DeviceChannel& c) { return c.ReadKeyBlock(buf, 5); }, kCmdBadBlock},
      {"WriteBlock5Closed", false, [](DeviceChannel& c) { return c.WriteKeyBlock(buf, 5); }, kCmdBadBlock},
      {"ReadBlock5", true, [](DeviceChannel& c) { return c.ReadKeyBlock(buf, 5); }, kCmdBadBlock},
      {"WriteBlockNegative", true, [](DeviceChannel& c) { return c.WriteKeyBlock(buf, -1); }, kCmdBadBlock},
      {"ReadSettings57", true, [](DeviceChannel& c) { return c.ReadSettings(buf, 57, 0); }, kCmdBadLength},
      {"WriteSettings57", true, [](DeviceChannel& c) { return c.WriteSettings(buf, 57, 0); }, kCmdBadLength},
      {"MacroTotal0Closed", false, [](DeviceChannel& c) { return c.WriteMacroData(buf, 0); }, kCmdOk},
      {"FrameTotal0", true, [](DeviceChannel& c) { return c.WriteLightFrame(buf, 0); }, kCmdOk},
      {"DataSize0Closed", false,
       [](DeviceChannel& c) { return c.SetDataSize(0) == 1 ? c.ReadKeyBlock(buf, 0) : -999; }, kCmdOk},
  };
  for (const auto& row : rows) {
    ChannelFixture f;
    ASSERT_TRUE(f.opened);
    f.channel.SetOpen(row.open);
    const auto start = Clock::now();
    EXPECT_EQ(row.call(f.channel), row.expected) << row.name;
    EXPECT_TRUE(f.log->All().empty()) << row.name;
    EXPECT_LT(MsSince(start), 50) << row.name << " returns at once, with no 300 ms wait";
  }
}

TEST(ChannelResults, DataSizeAbove512IsRefusedAndTheOldSizeStays) {
  DeviceChannel c;
  EXPECT_EQ(c.DataSize(), 512);
  EXPECT_EQ(c.SetDataSize(312), 1);
  EXPECT_EQ(c.SetDataSize(513), 0);
  EXPECT_EQ(c.DataSize(), 312);
  c.SetOpen(true);
  c.SetIdentity(1, 2, 3, 4);
  EXPECT_FALSE(c.IsOpen()) << "a new identity closes the channel";
}

TEST(ChannelResults, AWriteThatCannotCompleteFailsAfterOneTimeOutWithoutRetry) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  f.device->SetWriteStall(true);
  std::uint8_t info[33];
  const auto start = Clock::now();
  EXPECT_EQ(f.channel.ReadDeviceInfo(info), kCmdWriteFailed);
  const long ms = MsSince(start);
  EXPECT_GE(ms, 1000);
  EXPECT_LT(ms, 1900) << "one write time-out, no second attempt";
}

TEST(ChannelResults, AnUnpluggedDeviceFailsTheWriteAtOnce) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  f.device->Unplug();
  std::uint8_t info[33];
  const auto start = Clock::now();
  EXPECT_EQ(f.channel.ReadDeviceInfo(info), kCmdWriteFailed);
  EXPECT_LT(MsSince(start), 100);
}

TEST(ChannelResults, ASilentDeviceCostsFourAttemptsOfThreeHundredMilliseconds) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  f.device->InjectFault({3, 0, FaultKind::kSilent, 100});
  std::uint8_t info[33];
  const auto start = Clock::now();
  EXPECT_EQ(f.channel.ReadDeviceInfo(info), kCmdNoAnswer);
  const long ms = MsSince(start);
  EXPECT_GE(ms, 4 * 300);
  EXPECT_LT(ms, 4 * 300 + 400);
  EXPECT_EQ(f.device->RequestCount(3), 4u) << "the request is written again on each attempt";
}

TEST(ChannelResults, ALostAnswerIsRetriedAndTheCommandCarriesOn) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  f.device->InjectFault({7, 3, FaultKind::kSilent, 3});  // three attempts of chunk 3 lost
  std::uint8_t map[512];
  EXPECT_EQ(f.channel.ReadDefaultKeyMap(map), kCmdOk);
  EXPECT_EQ(Bytes(map, map + 512), f.device->Read(Area::kDefaultKeyMap, 0, 512));
  EXPECT_EQ(f.device->RequestCount(7), 10u + 3u);
}

TEST(ChannelResults, DeviceStatusEndsTheCommandAtTheFailingChunk) {
  struct Row {
    FaultKind kind;
    int expected;
  };
  for (const Row row : {Row{FaultKind::kStatusFE, kCmdStatusFE}, Row{FaultKind::kStatusFF, kCmdStatusFF}}) {
    {
      ChannelFixture f;
      ASSERT_TRUE(f.opened);
      f.device->InjectFault({7, 1, row.kind});
      Bytes map(512, 0xEE);
      EXPECT_EQ(f.channel.ReadDefaultKeyMap(map.data()), row.expected);
      const Bytes device = f.device->Read(Area::kDefaultKeyMap, 0, 56);
      EXPECT_EQ(Bytes(map.begin(), map.begin() + 56), device) << "the first chunk is kept";
      EXPECT_EQ(Bytes(map.begin() + 56, map.end()), Bytes(456, 0xEE)) << "nothing after it";
      EXPECT_EQ(f.device->RequestCount(7), 2u) << "a status is an answer: no retry";
    }
    {
      ChannelFixture f;
      ASSERT_TRUE(f.opened);
      f.device->InjectFault({9, 2, row.kind});
      const Bytes before = f.device->Read(Area::kKeys, 0, 512);
      const Bytes block = Pattern(512, 77);
      EXPECT_EQ(f.channel.WriteKeyBlock(block.data(), 0), row.expected);
      const Bytes after = f.device->Read(Area::kKeys, 0, 512);
      EXPECT_EQ(Bytes(after.begin(), after.begin() + 112), Bytes(block.begin(), block.begin() + 112))
          << "chunks before the failure stay written";
      EXPECT_EQ(Bytes(after.begin() + 112, after.end()), Bytes(before.begin() + 112, before.end()));
    }
    {
      ChannelFixture f;
      ASSERT_TRUE(f.opened);
      f.device->InjectFault({6, 0, row.kind});
      const std::uint8_t one = 2;
      EXPECT_EQ(f.channel.WriteSettings(&one, 1, 0), row.expected);
    }
  }
}

// The answer to an attempt that timed out turns up late. It must not pass for the answer
// to the next command, whether it is already queued when that command is written or
// arrives while that command waits for its own answer.
TEST(ChannelResults, ALateAnswerAlreadyQueuedIsDrainedBeforeTheNextWrite) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  ASSERT_TRUE(f.device->Write(Area::kSettings, 64, {0x11, 0x22, 0x33}));
  f.device->InjectFault({5, 0, FaultKind::kSlow, 1, 350});
  std::uint8_t first[3] = {};
  ASSERT_EQ(f.channel.ReadSettings(first, 3, 64), kCmdOk);
  EXPECT_EQ(Bytes(first, first + 3), (Bytes{0x11, 0x22, 0x33}));
  EXPECT_EQ(f.device->RequestCount(5), 2u) << "answered on the second attempt";

  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the late answer is queued
  std::uint8_t next[3] = {};
  ASSERT_EQ(f.channel.ReadSettings(next, 3, 128), kCmdOk);
  EXPECT_EQ(Bytes(next, next + 3), f.device->Read(Area::kSettings, 128, 3));
}

TEST(ChannelResults, ALateAnswerArrivingDuringTheNextCommandIsSkipped) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  ASSERT_TRUE(f.device->Write(Area::kSettings, 64, {0x11, 0x22, 0x33}));
  f.device->InjectFault({3, 0, FaultKind::kSlow, 1, 350});
  std::uint8_t info[33] = {};
  ASSERT_EQ(f.channel.ReadDeviceInfo(info), kCmdOk);  // second attempt, at about 300 ms
  f.device->InjectFault({5, 0, FaultKind::kSlow, 1, 120});  // answered after the late one
  std::uint8_t record[3] = {};
  ASSERT_EQ(f.channel.ReadSettings(record, 3, 64), kCmdOk);
  EXPECT_EQ(Bytes(record, record + 3), (Bytes{0x11, 0x22, 0x33}))
      << "the late DeviceInfo answer is not taken for the settings";
  EXPECT_EQ(f.device->RequestCount(5), 1u);
}

TEST(ChannelResults, RestoreDefaultsIsOneExchangeWhoseStatusIsNotExamined) {
  {
    ChannelFixture f;
    ASSERT_TRUE(f.opened);
    f.device->InjectFault({13, 0, FaultKind::kStatusFF});
    EXPECT_EQ(f.channel.RestoreDefaults(), kCmdOk);
  }
  {
    ChannelFixture f;
    ASSERT_TRUE(f.opened);
    ASSERT_TRUE(f.device->Write(Area::kSettings, 1, {6}));
    EXPECT_EQ(f.channel.RestoreDefaults(), kCmdOk);
    EXPECT_EQ(f.device->Read(Area::kSettings, 1, 1), Bytes{0}) << "the device restored itself";
  }
  {
    ChannelFixture f;
    ASSERT_TRUE(f.opened);
    f.device->InjectFault({13, 0, FaultKind::kSilent});
    const auto start = Clock::now();
    EXPECT_EQ(f.channel.RestoreDefaults(), kCmdNoAnswer);
    EXPECT_LT(MsSince(start), 600);
    EXPECT_EQ(f.device->RequestCount(13), 1u) << "no retry";
  }
}

TEST(ChannelResults, EndTransferPausesTenMillisecondsFirst) {
  ChannelFixture f;
  ASSERT_TRUE(f.opened);
  const auto start = Clock::now();
  EXPECT_EQ(f.channel.EndTransfer(), kCmdOk);
  EXPECT_GE(MsSince(start), 10);
}

}  // namespace
}  // namespace vz::test
