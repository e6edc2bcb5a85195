// Local items: usages and usage ranges. Designator and string items carry nothing the
// capabilities need and are accepted without effect; delimiters (alternative usages) are
// refused, since which alternative a reader means cannot be told.
#include "platform/hid/descriptor_grammar.h"

namespace vz::hid::grammar {
namespace {

enum LocalTag : std::uint8_t {
  kUsage = 0x0,
  kUsageMinimum = 0x1,
  kUsageMaximum = 0x2,
  kDesignatorIndex = 0x3,
  kDesignatorMinimum = 0x4,
  kDesignatorMaximum = 0x5,
  kStringIndex = 0x7,
  kStringMinimum = 0x8,
  kStringMaximum = 0x9,
  kDelimiter = 0xA,
};

// A four-byte usage names its page in the high half.
DeclaredUsage Declare(const ItemData& data) {
  DeclaredUsage u;
  u.extended = data.size == 4;
  u.page = static_cast<std::uint16_t>(data.raw >> 16);
  u.usageMin = u.usageMax = static_cast<std::uint16_t>(data.raw & 0xFFFF);
  return u;
}

bool AddUsage(ParserState& state, const Item& item, const DeclaredUsage& usage) {
  if (state.local.usages.size() >= kMaxUsageItems) {
    return state.Fail(item, "more than " + std::to_string(kMaxUsageItems) + " usages for one item");
  }
  state.local.usages.push_back(usage);
  return true;
}

bool CloseRange(ParserState& state, const Item& item) {
  if (!state.local.haveUsageMin) return state.Fail(item, "Usage Maximum without Usage Minimum");
  DeclaredUsage range = Declare(state.local.usageMin);
  const DeclaredUsage max = Declare(item.data);
  if (range.extended != max.extended || (range.extended && range.page != max.page)) {
    return state.Fail(item, "usage range spans two usage pages");
  }
  if (range.usageMin > max.usageMin) return state.Fail(item, "Usage Minimum above Usage Maximum");
  range.usageMax = max.usageMin;
  range.isRange = true;
  state.local.haveUsageMin = false;
  return AddUsage(state, item, range);
}

}  // namespace

bool HandleLocalItem(ParserState& state, const Item& item) {
  switch (item.tag) {
    case kUsage:
      return AddUsage(state, item, Declare(item.data));
    case kUsageMinimum:
      if (state.local.haveUsageMin) return state.Fail(item, "Usage Minimum twice without Usage Maximum");
      state.local.usageMin = item.data;
      state.local.haveUsageMin = true;
      return true;
    case kUsageMaximum:
      return CloseRange(state, item);
    case kDesignatorIndex:
    case kDesignatorMinimum:
    case kDesignatorMaximum:
    case kStringIndex:
    case kStringMinimum:
    case kStringMaximum:
      return true;
    case kDelimiter:
      return state.Fail(item, "Delimiter items are not supported");
    default:
      return state.Fail(item, "unknown Local item tag " + std::to_string(item.tag));
  }
}

bool ResolveUsages(ParserState& state, const Item& item, std::vector<UsageItem>* out) {
  if (state.local.haveUsageMin) return state.Fail(item, "Usage Minimum without Usage Maximum");
  out->clear();
  for (const DeclaredUsage& d : state.local.usages) {
    UsageItem u;
    u.usagePage = d.extended ? d.page : state.global.usagePage;
    u.usageMin = d.usageMin;
    u.usageMax = d.usageMax;
    u.isRange = d.isRange;
    out->push_back(u);
  }
  return true;
}

}  // namespace vz::hid::grammar
