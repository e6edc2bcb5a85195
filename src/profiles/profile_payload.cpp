#include "profiles/profile_payload.h"

#include <algorithm>
#include <span>
#include <string>

#include "platform/system/sync.h"

namespace vz {

namespace {

enum class Part : std::uint8_t { kKeyBlock0, kRecord0, kCustomSet, kCustomColours };

constexpr std::size_t kCustomSetSize = 4;

constexpr std::size_t PartSize(Part part) {
  switch (part) {
    case Part::kKeyBlock0: return kKeyMapSize;
    case Part::kRecord0: return kRecordSize;
    case Part::kCustomSet: return kCustomSetSize;
    case Part::kCustomColours: return kCustomColourTableSize;
  }
  return 0;
}

struct PayloadRow {
  DeviceKind kind;
  ProfileKind profile;
  std::size_t partCount;
  Part parts[4];
};

constexpr PayloadRow kPayloads[] = {
    {DeviceKind::kMouse, ProfileKind::kDevice, 2, {Part::kKeyBlock0, Part::kRecord0}},
    {DeviceKind::kMouse, ProfileKind::kLighting, 1, {Part::kRecord0}},
    {DeviceKind::kMouse, ProfileKind::kKey, 1, {Part::kKeyBlock0}},
    {DeviceKind::kKeyboard, ProfileKind::kDevice, 4,
     {Part::kKeyBlock0, Part::kRecord0, Part::kCustomSet, Part::kCustomColours}},
    {DeviceKind::kKeyboard, ProfileKind::kLighting, 3,
     {Part::kRecord0, Part::kCustomSet, Part::kCustomColours}},
    {DeviceKind::kKeyboard, ProfileKind::kKey, 1, {Part::kKeyBlock0}},
    {DeviceKind::kMousepad, ProfileKind::kLighting, 1, {Part::kRecord0}},
};

const PayloadRow* FindRow(DeviceKind kind, ProfileKind profile) {
  for (const PayloadRow& row : kPayloads) {
    if (row.kind == kind && row.profile == profile) return &row;
  }
  return nullptr;
}

std::span<const Part> PartsOf(const PayloadRow& row) { return {row.parts, row.partCount}; }

constexpr std::size_t SizeOf(const PayloadRow& row) {
  std::size_t size = 0;
  for (std::size_t i = 0; i < row.partCount; ++i) size += PartSize(row.parts[i]);
  return size;
}

static_assert(SizeOf(kPayloads[0]) == 576 && SizeOf(kPayloads[3]) == 2470 &&
              SizeOf(kPayloads[4]) == 1958);

}  // namespace

std::size_t PayloadSize(DeviceKind kind, ProfileKind profile) {
  const PayloadRow* row = FindRow(kind, profile);
  return row ? SizeOf(*row) : 0;
}

std::vector<std::uint8_t> AssemblePayload(const DeviceImages& images, DeviceKind kind,
                                          ProfileKind profile) {
  std::vector<std::uint8_t> out;
  const PayloadRow* row = FindRow(kind, profile);
  if (!row) return out;
  out.resize(SizeOf(*row));
  const KindImages& k = images.Of(kind);
  std::uint8_t* at = out.data();
  for (Part part : PartsOf(*row)) {
    switch (part) {
      case Part::kKeyBlock0:
        std::copy(k.keyBlocks[0].begin(), k.keyBlocks[0].end(), at);
        break;
      case Part::kRecord0:
        std::copy(k.records[0].begin(), k.records[0].end(), at);
        break;
      case Part::kCustomSet: {
        const auto set = static_cast<std::uint32_t>(images.CustomSet());
        for (std::size_t i = 0; i < kCustomSetSize; ++i)
          at[i] = static_cast<std::uint8_t>(set >> (8 * i));
        break;
      }
      case Part::kCustomColours:
        images.CustomColours().CopyOut(at, kCustomColourTableSize);
        break;
    }
    at += PartSize(part);
  }
  return out;
}

void ApplyPayload(DeviceImages& images, DeviceKind kind, ProfileKind profile,
                  const std::uint8_t* payload) {
  const PayloadRow* row = FindRow(kind, profile);
  if (!row) return;
  KindImages& k = images.Of(kind);
  bool hasRecord = false;
  const std::uint8_t* at = payload;
  for (Part part : PartsOf(*row)) {
    switch (part) {
      case Part::kKeyBlock0:
        std::copy_n(at, kKeyMapSize, k.keyBlocks[0].begin());
        break;
      case Part::kRecord0:
        std::copy_n(at, kRecordSize, k.records[0].begin());
        hasRecord = true;
        break;
      case Part::kCustomSet: {
        std::uint32_t set = 0;
        for (std::size_t i = 0; i < kCustomSetSize; ++i) set |= std::uint32_t{at[i]} << (8 * i);
        auto value = static_cast<std::int32_t>(set);
        if (value < 0 || value >= static_cast<std::int32_t>(kCustomSetCount)) {
          // The per-key pages and effects index the colour table with it.
          DebugOutput("custom set " + std::to_string(value) + " in profile, using 0");
          value = 0;
        }
        images.SetCustomSet(value);
        break;
      }
      case Part::kCustomColours:
        images.CustomColours().CopyIn(at, kCustomColourTableSize);
        break;
    }
    at += PartSize(part);
  }
  if (hasRecord) images.LoadActive(kind, 0);
}

}  // namespace vz
