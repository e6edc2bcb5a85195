// Report descriptors from the fuzzer: parsing must refuse or succeed without reading out of
// bounds, every capability must lie inside its report, and decoding a report of each
// collection (built from the same bytes) must stay inside the report too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/hid_data.h"
#include "platform/hid/report_descriptor.h"

namespace {

using namespace vz::hid;

void CheckCapsInsideReports(const ReportDescriptor& d, const TopCollection& c) {
  for (std::size_t t = 0; t < kReportTypeCount; ++t) {
    for (const auto* caps : {&c.buttonCaps[t], &c.valueCaps[t]}) {
      for (const Capability& cap : *caps) {
        const std::uint64_t end = std::uint64_t{cap.bitPosition} + std::uint64_t{cap.bitSize} * cap.reportCount;
        if (end > d.reportBits[t][cap.reportId] || (cap.bitPosition + 7) / 8 + 1 > c.reportByteLength[t]) {
          __builtin_trap();
        }
      }
    }
    if (c.reportByteLength[t] > kMaxReportDataBytes + 1) __builtin_trap();
  }
}

void DecodeEveryReport(const TopCollection& c, const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> ids = c.reportIds;
  if (ids.empty()) ids.push_back(0);
  for (std::size_t t = 0; t < kReportTypeCount; ++t) {
    const auto type = static_cast<ReportType>(t);
    const std::size_t length = c.reportByteLength[t];
    if (length == 0) continue;
    HidDataList list;
    list.Build(c, type);
    for (std::uint8_t id : ids) {
      std::vector<std::uint8_t> report(length);
      for (std::size_t i = 1; i < length; ++i) report[i] = data[i % size];
      report[0] = id;
      auto& e = list.Elements();
      UnpackReport(type, report.data(), report.size(), e.data(), e.size(), c);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReportDescriptor d;
  std::string error;
  if (!ParseReportDescriptor(data, size, &d, &error)) {
    if (error.empty() || !d.collections.empty()) __builtin_trap();
    return 0;
  }
  for (const TopCollection& c : d.collections) {
    CheckCapsInsideReports(d, c);
    DecodeEveryReport(c, data, size);
  }
  return 0;
}
