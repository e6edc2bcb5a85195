// Main items: Input, Output and Feature fields, Collection and End Collection. Every Main
// item ends the local state.
#include "platform/hid/descriptor_grammar.h"

namespace vz::hid::grammar {
namespace {

enum MainTag : std::uint8_t {
  kInput = 0x8,
  kOutput = 0x9,
  kCollection = 0xA,
  kFeature = 0xB,
  kEndCollection = 0xC,
};

struct FieldTag {
  std::uint8_t tag;
  ReportType type;
  const char* name;
};
constexpr FieldTag kFieldTags[] = {
    {kInput, ReportType::kInput, "Input"},
    {kOutput, ReportType::kOutput, "Output"},
    {kFeature, ReportType::kFeature, "Feature"},
};

// A maximum is signed only when its minimum is negative: descriptors write 0..255 as
// one byte 0xFF, which read as signed would be -1.
void ResolveRange(const ItemData& min, const ItemData& max, std::int64_t* lo, std::int64_t* hi) {
  *lo = min.Signed();
  *hi = *lo < 0 ? std::int64_t{max.Signed()} : std::int64_t{max.Unsigned()};
}

bool AddField(ParserState& state, const Item& item, const FieldTag& kind) {
  const GlobalState& g = state.global;
  const std::string what = std::string(kind.name) + " item";
  TopCollection* top = state.CurrentTop();
  if (top == nullptr) return state.Fail(item, what + " outside any collection");
  if (g.reportSize == 0) return state.Fail(item, "Report Size 0 in an " + what);
  if (state.out->usesReportIds && g.reportId == 0) return state.Fail(item, what + " without a Report ID");
  if (!state.out->usesReportIds) state.fieldWithoutId = true;
  if (++state.fieldCount > kMaxFields) return state.Fail(item, "too many Main items");
  // Each field may become a decoded element; a descriptor of a few kilobytes must not
  // ask for millions of them.
  state.totalReportCount += g.reportCount;
  if (state.totalReportCount > kMaxTotalReportCount) {
    return state.Fail(item, "more than " + std::to_string(kMaxTotalReportCount) + " report fields in all");
  }

  ReportField f;
  f.type = kind.type;
  f.reportId = static_cast<std::uint8_t>(g.reportId);
  f.linkCollection = state.openLinks.back();
  f.bitSize = static_cast<std::uint16_t>(g.reportSize);
  f.reportCount = static_cast<std::uint16_t>(g.reportCount);
  f.flags = item.data.Unsigned();
  ResolveRange(g.logicalMin, g.logicalMax, &f.logicalMin, &f.logicalMax);
  ResolveRange(g.physicalMin, g.physicalMax, &f.physicalMin, &f.physicalMax);
  f.unit = g.unit;
  f.unitExponent = g.unitExponent;
  if (!ResolveUsages(state, item, &f.usages)) return false;

  std::uint32_t& bits = state.out->reportBits[Index(kind.type)][f.reportId];
  f.bitPosition = bits;
  const std::uint64_t total = std::uint64_t{bits} + std::uint64_t{g.reportSize} * g.reportCount;
  if (total > kMaxReportDataBytes * 8) {
    return state.Fail(item, what + " makes report " + std::to_string(g.reportId) + " longer than " +
                                std::to_string(kMaxReportDataBytes) + " bytes");
  }
  bits = static_cast<std::uint32_t>(total);
  top->fields.push_back(std::move(f));
  return true;
}

bool OpenCollection(ParserState& state, const Item& item) {
  if (state.openLinks.size() >= kMaxCollectionDepth) return state.Fail(item, "collections nested too deeply");
  if (++state.collectionCount > kMaxCollections) return state.Fail(item, "too many collections");
  std::vector<UsageItem> usages;
  if (!ResolveUsages(state, item, &usages)) return false;
  if (state.openLinks.empty()) {
    TopCollection top;
    if (!usages.empty()) {
      top.usagePage = usages.front().usagePage;
      top.usage = usages.front().usageMin;
    }
    state.out->collections.push_back(std::move(top));
    state.openLinks.push_back(0);
    return true;
  }
  TopCollection* top = state.CurrentTop();
  state.openLinks.push_back(top->linkCollectionCount++);
  return true;
}

}  // namespace

bool HandleMainItem(ParserState& state, const Item& item) {
  bool ok = true;
  if (item.tag == kCollection) {
    ok = OpenCollection(state, item);
  } else if (item.tag == kEndCollection) {
    if (state.openLinks.empty()) ok = state.Fail(item, "End Collection without Collection");
    else state.openLinks.pop_back();
  } else {
    const FieldTag* kind = nullptr;
    for (const FieldTag& t : kFieldTags) {
      if (t.tag == item.tag) kind = &t;
    }
    if (kind == nullptr) return state.Fail(item, "unknown Main item tag " + std::to_string(item.tag));
    ok = AddField(state, item, *kind);
  }
  state.local = LocalState{};
  return ok;
}

}  // namespace vz::hid::grammar
