// The state of the report-descriptor grammar while it is parsed, shared by the handlers of
// the three item types. Internal to the parser.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/report_descriptor.h"

namespace vz::hid::grammar {

// The data of one short item: up to four little-endian bytes.
struct ItemData {
  std::uint32_t raw = 0;
  std::uint8_t size = 0;  // 0, 1, 2 or 4

  std::int32_t Signed() const;
  std::uint32_t Unsigned() const { return raw; }
};

struct Item {
  std::size_t offset = 0;  // of the prefix byte, for messages
  std::uint8_t tag = 0;
  ItemData data;
};

// Global items persist until changed, and are saved and restored by Push and Pop.
struct GlobalState {
  std::uint16_t usagePage = 0;
  bool haveUsagePage = false;
  ItemData logicalMin, logicalMax, physicalMin, physicalMax;
  std::int32_t unitExponent = 0;
  std::uint32_t unit = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint32_t reportId = 0;
};

// A usage as declared: with the page it carried when given as four bytes.
struct DeclaredUsage {
  bool extended = false;  // the page came with the usage
  std::uint16_t page = 0;
  std::uint16_t usageMin = 0;
  std::uint16_t usageMax = 0;
  bool isRange = false;
};

// Local items apply to the next Main item only.
struct LocalState {
  std::vector<DeclaredUsage> usages;
  bool haveUsageMin = false;
  ItemData usageMin;
};

struct ParserState {
  ReportDescriptor* out = nullptr;
  GlobalState global;
  std::vector<GlobalState> globalStack;
  LocalState local;
  std::vector<std::uint16_t> openLinks;  // link index of each open collection, innermost last
  std::size_t collectionCount = 0;
  std::size_t fieldCount = 0;
  std::size_t totalReportCount = 0;
  bool fieldWithoutId = false;
  std::string error;

  bool Fail(const Item& item, const std::string& reason);
  TopCollection* CurrentTop() { return openLinks.empty() ? nullptr : &out->collections.back(); }
};

bool HandleMainItem(ParserState& state, const Item& item);
bool HandleGlobalItem(ParserState& state, const Item& item);
bool HandleLocalItem(ParserState& state, const Item& item);

// Resolves the declared usages against the usage page in force at the Main item.
bool ResolveUsages(ParserState& state, const Item& item, std::vector<UsageItem>* out);

}  // namespace vz::hid::grammar
