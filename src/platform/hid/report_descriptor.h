// HID report descriptors: from the bytes a device gives to the top-level collections with
// their report lengths and capabilities, shaped the way the platform's HID parser
// presents them (one path per top-level collection, caps split per usage item).
//
// Byte-level contract of the reports these describe: byte 0 of every report buffer is the
// report id, 0 when the descriptor uses no report ids; the fields follow from byte 1,
// least significant bit first. A report byte length counts that id byte.
//
// The parser accepts what it fully understands and rejects the rest with a reason: it
// never guesses at a truncated or inconsistent descriptor.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vz::hid {

enum class ReportType : std::uint8_t { kInput = 0, kOutput = 1, kFeature = 2 };
inline constexpr std::size_t kReportTypeCount = 3;
inline constexpr std::size_t Index(ReportType type) { return static_cast<std::size_t>(type); }

// Limits past which a descriptor is refused as absurd. They sit at or above what the
// kernel's own HID parser accepts, so no device that works elsewhere is turned away.
inline constexpr std::size_t kMaxDescriptorBytes = 4096;
inline constexpr std::size_t kMaxCollectionDepth = 16;
inline constexpr std::size_t kMaxGlobalStackDepth = 8;
inline constexpr std::size_t kMaxReportDataBytes = 16384;  // one report, id byte excluded
inline constexpr std::uint32_t kMaxReportSizeBits = 32;    // one field
inline constexpr std::uint32_t kMaxReportCount = 4096;     // fields of one Main item
inline constexpr std::size_t kMaxUsageItems = 256;         // usage items of one Main item
inline constexpr std::size_t kMaxCollections = 256;        // all collections, nested included
inline constexpr std::size_t kMaxFields = 4096;            // Main data items
inline constexpr std::size_t kMaxTotalReportCount = 65536; // fields of all Main items together

// One Usage or Usage Minimum/Maximum pair, with its usage page resolved.
struct UsageItem {
  std::uint16_t usagePage = 0;
  std::uint16_t usageMin = 0;
  std::uint16_t usageMax = 0;  // == usageMin for a single usage
  bool isRange = false;

  std::uint32_t Count() const { return std::uint32_t{usageMax} - usageMin + 1; }
};

// The data bits of an Input, Output or Feature item.
inline constexpr std::uint32_t kMainConstant = 1u << 0;
inline constexpr std::uint32_t kMainVariable = 1u << 1;
inline constexpr std::uint32_t kMainRelative = 1u << 2;
inline constexpr std::uint32_t kMainNullState = 1u << 6;

// One Input, Output or Feature item with the global and local state it was declared under.
struct ReportField {
  ReportType type = ReportType::kInput;
  std::uint8_t reportId = 0;
  std::uint16_t linkCollection = 0;  // 0 is the top-level collection itself
  std::uint32_t bitPosition = 0;     // of the first field, counted from byte 1
  std::uint16_t bitSize = 0;
  std::uint16_t reportCount = 0;
  std::uint32_t flags = 0;
  std::int64_t logicalMin = 0, logicalMax = 0;
  std::int64_t physicalMin = 0, physicalMax = 0;
  std::uint32_t unit = 0;
  std::int32_t unitExponent = 0;
  std::vector<UsageItem> usages;

  bool IsConstant() const { return (flags & kMainConstant) != 0; }
  bool IsArray() const { return (flags & kMainVariable) == 0; }
  // Buttons are arrays and 1-bit variables; every other data field is a value.
  bool IsButton() const { return IsArray() || bitSize == 1; }
  // The usage of field `index` of a variable item (the last usage repeats for the rest),
  // or of array index `index` (false when the index names no usage).
  bool UsageAt(std::uint32_t index, std::uint16_t* page, std::uint16_t* usage) const;
  // The first field index of a variable item that carries the usage; false when none does.
  bool IndexOf(std::uint16_t page, std::uint16_t usage, std::uint32_t* index) const;
};

// A button or value capability: a run of fields of one ReportField that share one usage
// item (a single usage or a range).
struct Capability {
  std::uint16_t usagePage = 0;
  std::uint8_t reportId = 0;
  bool isRange = false;
  std::uint16_t usageMin = 0;  // the usage itself when !isRange
  std::uint16_t usageMax = 0;
  std::uint16_t linkCollection = 0;
  std::uint32_t bitPosition = 0;
  std::uint16_t bitSize = 0;
  std::uint16_t reportCount = 0;
  std::int64_t logicalMin = 0, logicalMax = 0;
  std::int64_t physicalMin = 0, physicalMax = 0;
  bool isArray = false;
  bool isAbsolute = true;
  bool hasNull = false;
  std::size_t field = 0;  // index into TopCollection::fields
};

struct TopCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  std::vector<ReportField> fields;  // declaration order, constant padding included
  std::array<std::vector<Capability>, kReportTypeCount> buttonCaps;
  std::array<std::vector<Capability>, kReportTypeCount> valueCaps;
  // Longest report of each type in bytes plus the id byte; 0 when the type is absent.
  std::array<std::uint16_t, kReportTypeCount> reportByteLength{};
  std::vector<std::uint8_t> reportIds;  // ascending; empty when the descriptor uses none
  std::uint16_t linkCollectionCount = 1;

  bool HasReportId(std::uint8_t id) const;
};

struct ReportDescriptor {
  bool usesReportIds = false;
  std::vector<TopCollection> collections;
  // Data bits of each (type, report id) report over the whole descriptor.
  std::array<std::array<std::uint32_t, 256>, kReportTypeCount> reportBits{};
};

// Parses `size` bytes. True with *out filled, or false with a one-line reason in *error
// ("byte 17: Report Size 0 in an Input item") and *out cleared.
bool ParseReportDescriptor(const std::uint8_t* bytes, std::size_t size, ReportDescriptor* out,
                           std::string* error);

}  // namespace vz::hid
