// Global items: usage page, ranges, units, report size, id and count, push and pop.
#include "platform/hid/descriptor_grammar.h"

namespace vz::hid::grammar {
namespace {

enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0,
  kLogicalMinimum = 0x1,
  kLogicalMaximum = 0x2,
  kPhysicalMinimum = 0x3,
  kPhysicalMaximum = 0x4,
  kUnitExponent = 0x5,
  kUnit = 0x6,
  kReportSize = 0x7,
  kReportId = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB,
};

bool SetReportId(ParserState& state, const Item& item) {
  const std::uint32_t id = item.data.Unsigned();
  if (id == 0) return state.Fail(item, "Report ID 0 is reserved");
  if (id > 255) return state.Fail(item, "Report ID " + std::to_string(id) + " above 255");
  // Once ids are in use every report carries one; a field declared before the first id
  // would belong to no report.
  if (state.fieldWithoutId) return state.Fail(item, "report fields before the first Report ID");
  state.global.reportId = id;
  state.out->usesReportIds = true;
  return true;
}

}  // namespace

bool HandleGlobalItem(ParserState& state, const Item& item) {
  GlobalState& g = state.global;
  switch (item.tag) {
    case kUsagePage:
      if (item.data.Unsigned() > 0xFFFF) return state.Fail(item, "Usage Page above 0xFFFF");
      g.usagePage = static_cast<std::uint16_t>(item.data.Unsigned());
      g.haveUsagePage = true;
      return true;
    case kLogicalMinimum: g.logicalMin = item.data; return true;
    case kLogicalMaximum: g.logicalMax = item.data; return true;
    case kPhysicalMinimum: g.physicalMin = item.data; return true;
    case kPhysicalMaximum: g.physicalMax = item.data; return true;
    case kUnitExponent: g.unitExponent = item.data.Signed(); return true;
    case kUnit: g.unit = item.data.Unsigned(); return true;
    case kReportSize:
      if (item.data.Unsigned() > kMaxReportSizeBits) {
        return state.Fail(item, "Report Size " + std::to_string(item.data.Unsigned()) +
                                    " above " + std::to_string(kMaxReportSizeBits) + " bits");
      }
      g.reportSize = item.data.Unsigned();
      return true;
    case kReportCount:
      if (item.data.Unsigned() > kMaxReportCount) {
        return state.Fail(item, "Report Count " + std::to_string(item.data.Unsigned()) +
                                    " above " + std::to_string(kMaxReportCount));
      }
      g.reportCount = item.data.Unsigned();
      return true;
    case kReportId: return SetReportId(state, item);
    case kPush:
      if (state.globalStack.size() >= kMaxGlobalStackDepth) return state.Fail(item, "Push overflows the global stack");
      state.globalStack.push_back(g);
      return true;
    case kPop:
      if (state.globalStack.empty()) return state.Fail(item, "Pop without Push");
      g = state.globalStack.back();
      state.globalStack.pop_back();
      return true;
    default:
      return state.Fail(item, "unknown Global item tag " + std::to_string(item.tag));
  }
}

}  // namespace vz::hid::grammar
