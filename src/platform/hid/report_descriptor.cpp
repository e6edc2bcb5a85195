// The item reader of the report-descriptor parser and the step that turns the fields of
// each top-level collection into report lengths and capabilities.
#include "platform/hid/report_descriptor.h"

#include <algorithm>

#include "platform/hid/descriptor_grammar.h"

namespace vz::hid {
namespace grammar {

std::int32_t ItemData::Signed() const {
  switch (size) {
    case 1: return static_cast<std::int8_t>(raw & 0xFF);
    case 2: return static_cast<std::int16_t>(raw & 0xFFFF);
    case 4: return static_cast<std::int32_t>(raw);
    default: return 0;
  }
}

bool ParserState::Fail(const Item& item, const std::string& reason) {
  if (error.empty()) error = "byte " + std::to_string(item.offset) + ": " + reason;
  return false;
}

}  // namespace grammar

namespace {

using grammar::Item;
using grammar::ParserState;

constexpr std::uint8_t kLongItemPrefix = 0xFE;

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

// Reads the item at *pos, or fails with the reason when it runs past the end. Long items
// are skipped: no long item tag is defined, so none can change the reports.
bool ReadItem(const std::uint8_t* bytes, std::size_t size, std::size_t* pos, Item* item,
              bool* isLong, std::uint8_t* type, ParserState& state) {
  const std::size_t at = *pos;
  item->offset = at;
  const std::uint8_t prefix = bytes[at];
  if (prefix == kLongItemPrefix) {
    if (size - at < 3) return state.Fail(*item, "long item header truncated");
    const std::size_t dataSize = bytes[at + 1];
    if (size - at - 3 < dataSize) return state.Fail(*item, "long item runs past the end");
    *isLong = true;
    *pos = at + 3 + dataSize;
    return true;
  }
  static constexpr std::uint8_t kDataBytes[4] = {0, 1, 2, 4};
  const std::uint8_t n = kDataBytes[prefix & 0x3];
  if (size - at - 1 < n) return state.Fail(*item, "item truncated");
  item->data.size = n;
  item->data.raw = 0;
  for (std::uint8_t i = 0; i < n; ++i) item->data.raw |= std::uint32_t{bytes[at + 1 + i]} << (8 * i);
  item->tag = static_cast<std::uint8_t>(prefix >> 4);
  *type = static_cast<std::uint8_t>((prefix >> 2) & 0x3);
  *isLong = false;
  *pos = at + 1 + n;
  return true;
}

Capability CapabilityOf(const ReportField& f, std::size_t fieldIndex) {
  Capability c;
  c.reportId = f.reportId;
  c.linkCollection = f.linkCollection;
  c.bitPosition = f.bitPosition;
  c.bitSize = f.bitSize;
  c.reportCount = f.reportCount;
  c.logicalMin = f.logicalMin;
  c.logicalMax = f.logicalMax;
  c.physicalMin = f.physicalMin;
  c.physicalMax = f.physicalMax;
  c.isArray = f.IsArray();
  c.isAbsolute = (f.flags & kMainRelative) == 0;
  c.hasNull = (f.flags & kMainNullState) != 0;
  c.field = fieldIndex;
  return c;
}

void SetUsage(Capability* c, const UsageItem& u, std::uint16_t usageMax) {
  c->usagePage = u.usagePage;
  c->isRange = u.isRange;
  c->usageMin = u.usageMin;
  c->usageMax = usageMax;
}

// An array shares its fields among all its usage items; a variable item hands out its
// fields to the usage items in turn, the last item taking whatever remains.
void AddCapabilities(const ReportField& f, std::size_t fieldIndex, std::vector<Capability>* caps) {
  const Capability base = CapabilityOf(f, fieldIndex);
  if (f.usages.empty()) {
    caps->push_back(base);
    return;
  }
  if (f.IsArray()) {
    for (const UsageItem& u : f.usages) {
      Capability c = base;
      SetUsage(&c, u, u.usageMax);
      caps->push_back(c);
    }
    return;
  }
  std::uint32_t consumed = 0;
  for (std::size_t k = 0; k < f.usages.size() && consumed < f.reportCount; ++k) {
    const UsageItem& u = f.usages[k];
    const std::uint32_t left = f.reportCount - consumed;
    const bool last = k + 1 == f.usages.size();
    const std::uint32_t n = last ? left : std::min(u.Count(), left);
    Capability c = base;
    const std::uint32_t covered = std::min(n, u.Count());
    SetUsage(&c, u, static_cast<std::uint16_t>(u.usageMin + covered - 1));
    c.bitPosition = f.bitPosition + consumed * f.bitSize;
    c.reportCount = static_cast<std::uint16_t>(n);
    caps->push_back(c);
    consumed += n;
  }
}

void Finish(ReportDescriptor* d) {
  for (TopCollection& top : d->collections) {
    for (std::size_t i = 0; i < top.fields.size(); ++i) {
      const ReportField& f = top.fields[i];
      const std::size_t t = Index(f.type);
      const std::uint32_t bytes = (d->reportBits[t][f.reportId] + 7) / 8;
      top.reportByteLength[t] = std::max<std::uint16_t>(top.reportByteLength[t], static_cast<std::uint16_t>(bytes + 1));
      if (d->usesReportIds) top.reportIds.push_back(f.reportId);
      if (f.IsConstant() || f.reportCount == 0) continue;
      AddCapabilities(f, i, f.IsButton() ? &top.buttonCaps[t] : &top.valueCaps[t]);
    }
    std::sort(top.reportIds.begin(), top.reportIds.end());
    top.reportIds.erase(std::unique(top.reportIds.begin(), top.reportIds.end()), top.reportIds.end());
  }
}

}  // namespace

bool ReportField::UsageAt(std::uint32_t index, std::uint16_t* page, std::uint16_t* usage) const {
  for (const UsageItem& u : usages) {
    if (index < u.Count()) {
      *page = u.usagePage;
      *usage = static_cast<std::uint16_t>(u.usageMin + index);
      return true;
    }
    index -= u.Count();
  }
  if (IsArray() || usages.empty()) return false;
  *page = usages.back().usagePage;
  *usage = usages.back().usageMax;
  return true;
}

bool ReportField::IndexOf(std::uint16_t page, std::uint16_t usage, std::uint32_t* index) const {
  std::uint32_t offset = 0;
  for (const UsageItem& u : usages) {
    if (u.usagePage == page && usage >= u.usageMin && usage <= u.usageMax) {
      *index = offset + (usage - u.usageMin);
      return *index < reportCount;
    }
    offset += u.Count();
  }
  return false;
}

bool TopCollection::HasReportId(std::uint8_t id) const {
  return std::binary_search(reportIds.begin(), reportIds.end(), id);
}

bool ParseReportDescriptor(const std::uint8_t* bytes, std::size_t size, ReportDescriptor* out,
                           std::string* error) {
  *out = ReportDescriptor{};
  ParserState state;
  state.out = out;
  const auto fail = [&](const std::string& reason) {
    *error = reason;
    *out = ReportDescriptor{};
    return false;
  };
  if (size == 0 || bytes == nullptr) return fail("empty report descriptor");
  if (size > kMaxDescriptorBytes) {
    return fail("report descriptor of " + std::to_string(size) + " bytes, more than " +
                std::to_string(kMaxDescriptorBytes));
  }
  std::size_t pos = 0;
  while (pos < size) {
    Item item;
    bool isLong = false;
    std::uint8_t type = kReserved;
    bool ok = ReadItem(bytes, size, &pos, &item, &isLong, &type, state);
    if (ok && !isLong) {
      switch (type) {
        case kMain: ok = grammar::HandleMainItem(state, item); break;
        case kGlobal: ok = grammar::HandleGlobalItem(state, item); break;
        case kLocal: ok = grammar::HandleLocalItem(state, item); break;
        default: ok = state.Fail(item, "reserved item type"); break;
      }
    }
    if (!ok) return fail(state.error);
  }
  if (!state.openLinks.empty()) {
    return fail("unbalanced collections: " + std::to_string(state.openLinks.size()) + " left open");
  }
  if (out->collections.empty()) return fail("no top-level collection");
  Finish(out);
  return true;
}

}  // namespace vz::hid
