#include "platform/hid/report_decoding.h"

#include <algorithm>
#include <limits>

namespace vz::hid {
namespace {

// Physical spans reach 2^33 and logical offsets 2^32, so scaling needs 128-bit products.
__extension__ using Int128 = __int128;

bool HasPage(const ReportField& f, std::uint16_t page) {
  if (page == 0) return true;
  return std::any_of(f.usages.begin(), f.usages.end(),
                     [page](const UsageItem& u) { return u.usagePage == page; });
}

bool IsDataButton(const ReportField& f, ReportType type) {
  return f.type == type && !f.IsConstant() && f.IsButton();
}

bool IsDataValue(const ReportField& f, ReportType type) {
  return f.type == type && !f.IsConstant() && !f.IsButton();
}

// Sign extension of a field whose logical range reaches below zero.
std::int64_t Logical(const ReportField& f, std::uint32_t raw) {
  if (f.logicalMin >= 0) return raw;
  if (f.bitSize >= 32) return static_cast<std::int32_t>(raw);
  const std::uint32_t sign = 1u << (f.bitSize - 1);
  return raw & sign ? std::int64_t{raw} - (std::int64_t{1} << f.bitSize) : std::int64_t{raw};
}

struct ValueSlot {
  const ReportField* field = nullptr;
  std::uint32_t index = 0;
};

// Finds the value field of `usage` in the report, or the status that says why not.
std::uint32_t FindValue(const TopCollection& c, ReportType type, std::uint16_t page,
                        std::uint16_t usage, const std::uint8_t* report, std::size_t length,
                        ValueSlot* slot) {
  if (type != ReportType::kInput && type != ReportType::kOutput && type != ReportType::kFeature) {
    return HIDP_STATUS_INVALID_REPORT_TYPE;
  }
  if (report == nullptr || length == 0 || length < c.reportByteLength[Index(type)]) {
    return HIDP_STATUS_INVALID_REPORT_LENGTH;
  }
  bool otherReport = false;
  for (const ReportField& f : c.fields) {
    std::uint32_t index = 0;
    if (!IsDataValue(f, type) || !f.IndexOf(page, usage, &index)) continue;
    if (f.reportId != report[0]) {
      otherReport = true;
      continue;
    }
    slot->field = &f;
    slot->index = index;
    return HIDP_STATUS_SUCCESS;
  }
  return otherReport ? HIDP_STATUS_INCOMPATIBLE_REPORT_ID : HIDP_STATUS_USAGE_NOT_FOUND;
}

}  // namespace

std::uint32_t ExtractBits(const std::uint8_t* data, std::size_t dataBytes, std::uint32_t bitPosition,
                          std::uint32_t bitSize) {
  std::uint64_t v = 0;
  const std::size_t first = bitPosition / 8;
  const std::size_t last = (std::size_t{bitPosition} + bitSize + 7) / 8;
  for (std::size_t b = first; b < last && b < dataBytes; ++b) v |= std::uint64_t{data[b]} << (8 * (b - first));
  v >>= bitPosition % 8;
  return bitSize >= 32 ? static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v & ((1ull << bitSize) - 1));
}

std::uint32_t MaxUsageListLength(const TopCollection& c, ReportType type, std::uint16_t usagePage) {
  std::uint32_t n = 0;
  for (const ReportField& f : c.fields) {
    if (IsDataButton(f, type) && HasPage(f, usagePage)) n += f.reportCount;
  }
  return n;
}

std::uint32_t GetUsages(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                        const std::uint8_t* report, std::size_t length, std::uint16_t* usages,
                        std::uint32_t* count) {
  const std::uint32_t capacity = *count;
  *count = 0;
  if (type != ReportType::kInput && type != ReportType::kOutput && type != ReportType::kFeature) {
    return HIDP_STATUS_INVALID_REPORT_TYPE;
  }
  if (report == nullptr || length == 0 || length < c.reportByteLength[Index(type)]) {
    return HIDP_STATUS_INVALID_REPORT_LENGTH;
  }
  const std::uint8_t* data = report + 1;
  const std::size_t dataBytes = length - 1;
  bool pageSeen = false, reportSeen = false, overflow = false;
  const auto emit = [&](std::uint16_t page, std::uint16_t usage) {
    if (usage == 0 || page != usagePage) return;
    if (*count < capacity) usages[(*count)++] = usage;
    else overflow = true;
  };
  for (const ReportField& f : c.fields) {
    if (!IsDataButton(f, type) || !HasPage(f, usagePage)) continue;
    pageSeen = true;
    if (f.reportId != report[0]) continue;
    reportSeen = true;
    for (std::uint32_t i = 0; i < f.reportCount; ++i) {
      const std::uint32_t raw = ExtractBits(data, dataBytes, f.bitPosition + i * f.bitSize, f.bitSize);
      std::uint16_t page = 0, usage = 0;
      if (f.IsArray()) {
        const std::int64_t v = Logical(f, raw);
        if (v < f.logicalMin || v > f.logicalMax) continue;
        if (f.UsageAt(static_cast<std::uint32_t>(v - f.logicalMin), &page, &usage)) emit(page, usage);
      } else if (raw != 0 && f.UsageAt(i, &page, &usage)) {
        emit(page, usage);
      }
    }
  }
  if (!pageSeen) return HIDP_STATUS_USAGE_NOT_FOUND;
  if (!reportSeen) return HIDP_STATUS_INCOMPATIBLE_REPORT_ID;
  return overflow ? HIDP_STATUS_BUFFER_TOO_SMALL : HIDP_STATUS_SUCCESS;
}

std::uint32_t GetUsageValue(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                            std::uint16_t usage, const std::uint8_t* report, std::size_t length,
                            std::uint32_t* value) {
  ValueSlot slot;
  const std::uint32_t status = FindValue(c, type, usagePage, usage, report, length, &slot);
  if (status != HIDP_STATUS_SUCCESS) return status;
  const ReportField& f = *slot.field;
  *value = ExtractBits(report + 1, length - 1, f.bitPosition + slot.index * f.bitSize, f.bitSize);
  return HIDP_STATUS_SUCCESS;
}

std::uint32_t GetScaledUsageValue(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                                  std::uint16_t usage, const std::uint8_t* report,
                                  std::size_t length, std::int32_t* value) {
  ValueSlot slot;
  const std::uint32_t status = FindValue(c, type, usagePage, usage, report, length, &slot);
  if (status != HIDP_STATUS_SUCCESS) return status;
  const ReportField& f = *slot.field;
  std::int64_t pMin = f.physicalMin, pMax = f.physicalMax;
  if (pMin == 0 && pMax == 0) {
    pMin = f.logicalMin;
    pMax = f.logicalMax;
  }
  if (f.logicalMin >= f.logicalMax || pMin >= pMax) return HIDP_STATUS_BAD_LOG_PHY_VALUES;
  const std::uint32_t raw = ExtractBits(report + 1, length - 1, f.bitPosition + slot.index * f.bitSize, f.bitSize);
  const std::int64_t v = Logical(f, raw);
  if (v < f.logicalMin || v > f.logicalMax) {
    return (f.flags & kMainNullState) ? HIDP_STATUS_NULL : HIDP_STATUS_VALUE_OUT_OF_RANGE;
  }
  const Int128 scaled = pMin + static_cast<Int128>(v - f.logicalMin) * (pMax - pMin) /
                                   (f.logicalMax - f.logicalMin);
  *value = static_cast<std::int32_t>(std::clamp<Int128>(scaled, std::numeric_limits<std::int32_t>::min(),
                                                          std::numeric_limits<std::int32_t>::max()));
  return HIDP_STATUS_SUCCESS;
}

}  // namespace vz::hid
