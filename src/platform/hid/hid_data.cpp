#include "platform/hid/hid_data.h"

#include <algorithm>

namespace vz::hid {

void HidDataList::Clear() {
  elements_.clear();
  usageStore_.clear();
}

void HidDataList::Build(const TopCollection& collection, ReportType type) {
  Clear();
  const auto& buttons = collection.buttonCaps[Index(type)];
  const auto& values = collection.valueCaps[Index(type)];

  std::vector<std::uint32_t> listLengths;
  std::size_t storeSize = 0;
  for (const Capability& cap : buttons) {
    listLengths.push_back(MaxUsageListLength(collection, type, cap.usagePage));
    storeSize += listLengths.back();
  }
  usageStore_.assign(storeSize, 0);

  std::size_t next = 0;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const Capability& cap = buttons[i];
    HidData d;
    d.isButtonData = true;
    d.status = HIDP_STATUS_SUCCESS;
    d.usagePage = cap.usagePage;
    d.reportId = cap.reportId;
    d.button.usageMin = cap.usageMin;
    d.button.usageMax = cap.isRange ? cap.usageMax : cap.usageMin;
    d.button.maxUsageListLength = listLengths[i];
    d.button.usages = listLengths[i] == 0 ? nullptr : usageStore_.data() + next;
    next += listLengths[i];
    elements_.push_back(d);
  }
  for (const Capability& cap : values) {
    const std::uint32_t last = cap.isRange ? cap.usageMax : cap.usageMin;
    for (std::uint32_t usage = cap.usageMin; usage <= last; ++usage) {
      HidData d;
      d.isButtonData = false;
      d.status = HIDP_STATUS_SUCCESS;
      d.usagePage = cap.usagePage;
      d.reportId = cap.reportId;
      d.value = HidValueData{static_cast<std::uint16_t>(usage), 0, 0, 0};
      elements_.push_back(d);
    }
  }
}

bool UnpackReport(ReportType type, const std::uint8_t* report, std::size_t length, HidData* list,
                  std::size_t listLength, const TopCollection& collection) {
  if (report == nullptr || length == 0) return false;
  for (std::size_t i = 0; i < listLength; ++i) {
    HidData& d = list[i];
    if (d.reportId != report[0]) continue;
    if (d.isButtonData) {
      HidButtonData& b = d.button;
      std::uint32_t found = b.maxUsageListLength;
      d.status = GetUsages(collection, type, d.usagePage, report, length, b.usages, &found);
      std::uint32_t kept = 0;
      for (std::uint32_t k = 0; k < found; ++k) {
        if (b.usages[k] >= b.usageMin && b.usages[k] <= b.usageMax) b.usages[kept++] = b.usages[k];
      }
      // Everything after the kept usages is cleared, not just the one terminator, so no
      // usage of an earlier report survives behind it.
      if (kept < b.maxUsageListLength) std::fill(b.usages + kept, b.usages + b.maxUsageListLength, 0);
    } else {
      HidValueData& v = d.value;
      d.status = GetUsageValue(collection, type, d.usagePage, v.usage, report, length, &v.value);
      if (d.status != HIDP_STATUS_SUCCESS) return false;
      d.status = GetScaledUsageValue(collection, type, d.usagePage, v.usage, report, length, &v.scaledValue);
    }
    d.isDataSet = true;
  }
  return true;
}

}  // namespace vz::hid
