// HidData: one decoded element of a report (a button capability, or one usage of a value
// capability), and UnpackReport, which fills a list of them from one report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/hid/report_decoding.h"
#include "platform/hid/report_descriptor.h"

namespace vz::hid {

struct HidButtonData {
  std::uint32_t usageMin;
  std::uint32_t usageMax;
  std::uint32_t maxUsageListLength;
  // maxUsageListLength usages, owned by the HidDataList; the kept usages come first and a
  // 0 follows the last one whenever the list is not full.
  std::uint16_t* usages;
};

struct HidValueData {
  std::uint16_t usage;
  std::uint16_t reserved;
  std::uint32_t value;        // raw bits
  std::int32_t scaledValue;   // logical range mapped onto the physical range
};

struct HidData {
  bool isButtonData = false;
  std::uint8_t reserved = 0;
  std::uint16_t usagePage = 0;
  std::uint32_t status = 0;    // last status the parser gave for this element
  std::uint32_t reportId = 0;
  bool isDataSet = false;      // padded to 32 bits
  union {
    HidButtonData button{};
    HidValueData value;
  };
};
static_assert(offsetof(HidData, status) == 4 && offsetof(HidData, reportId) == 8 &&
              offsetof(HidData, isDataSet) == 12 && offsetof(HidData, button) == 16);
// The 32 bytes of the 32-bit layout; a 64-bit pointer widens the button part.
static_assert(sizeof(HidData) == 16 + sizeof(HidButtonData));
static_assert(sizeof(void*) != 4 || sizeof(HidData) == 32);

// The element list of one report type of a collection, with the usage arrays its button
// elements point into. Moving keeps those pointers valid; copying is not allowed.
class HidDataList {
 public:
  HidDataList() = default;
  HidDataList(const HidDataList&) = delete;
  HidDataList& operator=(const HidDataList&) = delete;
  HidDataList(HidDataList&&) = default;
  HidDataList& operator=(HidDataList&&) = default;

  // One element per button capability (status HIDP_STATUS_SUCCESS, the capability's usage
  // range and report id, a zeroed usage array of MaxUsageListLength for its page), then
  // one per usage of every value capability.
  void Build(const TopCollection& collection, ReportType type);
  void Clear();

  std::vector<HidData>& Elements() { return elements_; }
  const std::vector<HidData>& Elements() const { return elements_; }

 private:
  std::vector<HidData> elements_;
  std::vector<std::uint16_t> usageStore_;
};

// Decodes one report into `list`. Elements whose report id differs from report[0] are left
// untouched. A button element receives the pressed usages of its page that lie within its
// range. A value element whose raw value cannot be read stops the walk: false, with the
// elements before it already filled. True otherwise.
bool UnpackReport(ReportType type, const std::uint8_t* report, std::size_t length, HidData* list,
                  std::size_t listLength, const TopCollection& collection);

}  // namespace vz::hid
