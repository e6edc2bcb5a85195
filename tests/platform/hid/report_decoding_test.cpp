// Decoding reports: pressed usages, raw and scaled values, and the element list filled by
// UnpackReport.
#include "platform/hid/report_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid/descriptors.h"
#include "platform/hid/hid_data.h"

namespace vz::hid {
namespace {

using testing::Bytes;

TopCollection Parse(const Bytes& bytes, std::size_t index = 0) {
  ReportDescriptor d;
  std::string error;
  EXPECT_TRUE(ParseReportDescriptor(bytes.data(), bytes.size(), &d, &error)) << error;
  return d.collections.at(index);
}

struct UsagesCase {
  const char* name;
  const Bytes* descriptor;
  std::size_t collection;
  Bytes report;
  std::uint16_t page;
  std::uint32_t capacity;
  std::uint32_t status;
  std::vector<std::uint16_t> usages;
};

const UsagesCase kUsageCases[] = {
    {"MouseBitField", &testing::kBootMouse, 0, {0x00, 0x05, 0x00, 0x00}, 0x09, 8, HIDP_STATUS_SUCCESS, {1, 3}},
    {"MouseNoButtons", &testing::kBootMouse, 0, {0x00, 0x00, 0x7F, 0x01}, 0x09, 8, HIDP_STATUS_SUCCESS, {}},
    {"KeyboardModifiersAndArray", &testing::kBootKeyboard, 0,
     {0x00, 0x02, 0x00, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00}, 0x07, 14, HIDP_STATUS_SUCCESS, {0xE1, 0x04, 0x05}},
    {"KeyboardListTooShort", &testing::kBootKeyboard, 0,
     {0x00, 0x02, 0x00, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00}, 0x07, 2, HIDP_STATUS_BUFFER_TOO_SMALL, {0xE1, 0x04}},
    {"ConsumerKey", &testing::kConsumerControl, 0, {0x03, 0xE9, 0x00}, 0x0C, 1, HIDP_STATUS_SUCCESS, {0xE9}},
    {"ConsumerOtherReportId", &testing::kConsumerControl, 0, {0x02, 0xE9, 0x00}, 0x0C, 1,
     HIDP_STATUS_INCOMPATIBLE_REPORT_ID, {}},
    {"PageAbsent", &testing::kBootMouse, 0, {0x00, 0x01, 0x00, 0x00}, 0x07, 8, HIDP_STATUS_USAGE_NOT_FOUND, {}},
    {"ReportTooShort", &testing::kBootMouse, 0, {0x00, 0x01}, 0x09, 8, HIDP_STATUS_INVALID_REPORT_LENGTH, {}},
    {"ArrayValueOutsideLogicalRange", &testing::kGamingMouse, 0, {0x03, 0x00, 0x05, 0x10, 0x00}, 0x0C, 2,
     HIDP_STATUS_SUCCESS, {0x10}},
    {"DeviceEventAndKey", &testing::kGamingMouse, 0, {0x03, 0x02, 0x04, 0x10, 0x00}, 0x0C, 2,
     HIDP_STATUS_SUCCESS, {0x402, 0x10}},
};

class DecodeUsages : public ::testing::TestWithParam<UsagesCase> {};

TEST_P(DecodeUsages, ListsPressedUsages) {
  const UsagesCase& c = GetParam();
  const TopCollection top = Parse(*c.descriptor, c.collection);
  std::vector<std::uint16_t> list(c.capacity, 0xFFFF);
  std::uint32_t count = c.capacity;
  EXPECT_EQ(GetUsages(top, ReportType::kInput, c.page, c.report.data(), c.report.size(), list.data(), &count),
            c.status);
  list.resize(count);
  EXPECT_EQ(list, c.usages);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeUsages, ::testing::ValuesIn(kUsageCases),
                         [](const auto& p) { return std::string(p.param.name); });

struct ValueCase {
  const char* name;
  const Bytes* descriptor;
  std::size_t collection;
  ReportType type;
  Bytes report;
  std::uint16_t page, usage;
  std::uint32_t rawStatus;
  std::uint32_t raw;
  std::uint32_t scaledStatus;
  std::int32_t scaled;
};

const ValueCase kValueCases[] = {
    {"MouseNegativeX", &testing::kBootMouse, 0, ReportType::kInput, {0x00, 0x00, 0xFE, 0x05}, 0x01, 0x30,
     HIDP_STATUS_SUCCESS, 0xFE, HIDP_STATUS_SUCCESS, -2},
    {"MouseY", &testing::kBootMouse, 0, ReportType::kInput, {0x00, 0x00, 0xFE, 0x05}, 0x01, 0x31,
     HIDP_STATUS_SUCCESS, 0x05, HIDP_STATUS_SUCCESS, 5},
    {"DialMiddleOfPhysicalRange", &testing::kScaledDial, 0, ReportType::kInput, {0x00, 100}, 0x01, 0x37,
     HIDP_STATUS_SUCCESS, 100, HIDP_STATUS_SUCCESS, 0},
    {"DialTop", &testing::kScaledDial, 0, ReportType::kInput, {0x00, 200}, 0x01, 0x37,
     HIDP_STATUS_SUCCESS, 200, HIDP_STATUS_SUCCESS, 1000},
    {"DialNullState", &testing::kScaledDial, 0, ReportType::kInput, {0x00, 201}, 0x01, 0x37,
     HIDP_STATUS_SUCCESS, 201, HIDP_STATUS_NULL, 0},
    // The physical range is global state: the nibble still maps onto -1000..1000.
    {"FeatureNibbleKeepsPhysicalRange", &testing::kScaledDial, 0, ReportType::kFeature, {0x00, 0xAA}, 0x01,
     0x38, HIDP_STATUS_SUCCESS, 0x0A, HIDP_STATUS_SUCCESS, 333},
    {"VendorByteOfCommandReport", &testing::kGamingMouse, 1, ReportType::kInput, Bytes(64, 0x04), 0xFF1C, 0x01,
     HIDP_STATUS_SUCCESS, 0x04, HIDP_STATUS_SUCCESS, 4},
    {"UsageAbsent", &testing::kBootMouse, 0, ReportType::kInput, {0x00, 0x00, 0xFE, 0x05}, 0x01, 0x38,
     HIDP_STATUS_USAGE_NOT_FOUND, 0, HIDP_STATUS_USAGE_NOT_FOUND, 0},
    {"ValueOfOutputTypeAbsent", &testing::kBootMouse, 0, ReportType::kOutput, {0x00}, 0x01, 0x30,
     HIDP_STATUS_USAGE_NOT_FOUND, 0, HIDP_STATUS_USAGE_NOT_FOUND, 0},
};

class DecodeValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DecodeValue, GivesRawAndScaled) {
  const ValueCase& c = GetParam();
  const TopCollection top = Parse(*c.descriptor, c.collection);
  std::uint32_t raw = 0;
  std::int32_t scaled = 0;
  EXPECT_EQ(GetUsageValue(top, c.type, c.page, c.usage, c.report.data(), c.report.size(), &raw), c.rawStatus);
  EXPECT_EQ(raw, c.raw);
  EXPECT_EQ(GetScaledUsageValue(top, c.type, c.page, c.usage, c.report.data(), c.report.size(), &scaled),
            c.scaledStatus);
  EXPECT_EQ(scaled, c.scaled);
}

INSTANTIATE_TEST_SUITE_P(Table, DecodeValue, ::testing::ValuesIn(kValueCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(ExtractBits, CrossesByteBoundaries) {
  const std::uint8_t data[] = {0xF0, 0x5A, 0x0F, 0xFF, 0xFF};
  EXPECT_EQ(ExtractBits(data, sizeof data, 4, 8), 0xAFu);
  EXPECT_EQ(ExtractBits(data, sizeof data, 4, 32), 0xFFF0F5AFu);
  EXPECT_EQ(ExtractBits(data, sizeof data, 12, 1), 1u);
  EXPECT_EQ(ExtractBits(data, sizeof data, 13, 3), 0x2u);
}

// --- UnpackReport ----------------------------------------------------------------------

// One collection with two report ids: buttons in report 1, a value in report 2.
const Bytes kTwoReports = {
    0x05, 0x01, 0x09, 0x05, 0xA1, 0x01,
    0x85, 0x01, 0x05, 0x09, 0x19, 0x01, 0x29, 0x08, 0x15, 0x00, 0x25, 0x01,
    0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
    0x85, 0x02, 0x05, 0x01, 0x09, 0x30, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x01, 0x81, 0x02,
    0xC0};

TEST(UnpackReport, ButtonRangeKeepsOnlyItsUsagesAndEndsTheListWithZero) {
  const TopCollection top = Parse(testing::kGamingMouse, 0);
  HidDataList list;
  list.Build(top, ReportType::kInput);
  auto& e = list.Elements();
  ASSERT_EQ(e.size(), 2u);
  ASSERT_TRUE(e[0].isButtonData);
  EXPECT_EQ(e[0].button.usageMin, 0x401u);
  EXPECT_EQ(e[0].button.usageMax, 0x403u);
  ASSERT_EQ(e[0].button.maxUsageListLength, 2u);
  e[0].button.usages[1] = 0xBEEF;  // leftover of an earlier report

  const Bytes report = {0x03, 0x02, 0x04, 0x10, 0x00};  // event 0x402 and consumer key 0x10
  ASSERT_TRUE(UnpackReport(ReportType::kInput, report.data(), report.size(), e.data(), e.size(), top));
  EXPECT_EQ(e[0].button.usages[0], 0x402);
  EXPECT_EQ(e[0].button.usages[1], 0);
  EXPECT_EQ(e[0].status, HIDP_STATUS_SUCCESS);
  EXPECT_TRUE(e[0].isDataSet);
  EXPECT_EQ(e[1].button.usages[0], 0x10);
  EXPECT_EQ(e[1].button.usages[1], 0);
}

TEST(UnpackReport, ElementsOfAnotherReportIdAreLeftUntouched) {
  const TopCollection top = Parse(kTwoReports);
  HidDataList list;
  list.Build(top, ReportType::kInput);
  auto& e = list.Elements();
  ASSERT_EQ(e.size(), 2u);  // the button capability, then the X value
  ASSERT_TRUE(e[0].isButtonData);
  ASSERT_FALSE(e[1].isButtonData);
  e[0].button.usages[0] = 0x77;

  const Bytes valueReport = {0x02, 0x9C};
  ASSERT_TRUE(UnpackReport(ReportType::kInput, valueReport.data(), valueReport.size(), e.data(), e.size(), top));
  EXPECT_FALSE(e[0].isDataSet);
  EXPECT_EQ(e[0].button.usages[0], 0x77);
  EXPECT_TRUE(e[1].isDataSet);
  EXPECT_EQ(e[1].value.value, 0x9Cu);
  EXPECT_EQ(e[1].value.scaledValue, 0x9C);

  e[1].value.value = 0x55;
  const Bytes buttonReport = {0x01, 0x81};
  ASSERT_TRUE(UnpackReport(ReportType::kInput, buttonReport.data(), buttonReport.size(), e.data(), e.size(), top));
  EXPECT_EQ(e[0].button.usages[0], 1);
  EXPECT_EQ(e[0].button.usages[1], 8);
  EXPECT_EQ(e[0].button.usages[2], 0);
  EXPECT_EQ(e[1].value.value, 0x55u);
}

TEST(UnpackReport, FailingValueStopsTheWalkAfterTheElementsBeforeIt) {
  const TopCollection top = Parse(testing::kBootMouse);
  HidDataList list;
  list.Build(top, ReportType::kInput);
  auto& e = list.Elements();
  ASSERT_EQ(e.size(), 3u);  // buttons, X, Y
  const Bytes shortReport = {0x00, 0x01, 0x05};  // one byte short of the 4-byte report
  EXPECT_FALSE(UnpackReport(ReportType::kInput, shortReport.data(), shortReport.size(), e.data(), e.size(), top));
  EXPECT_TRUE(e[0].isDataSet);
  EXPECT_EQ(e[0].status, HIDP_STATUS_INVALID_REPORT_LENGTH);
  EXPECT_EQ(e[1].status, HIDP_STATUS_INVALID_REPORT_LENGTH);
  EXPECT_FALSE(e[1].isDataSet);
  EXPECT_FALSE(e[2].isDataSet);
  EXPECT_EQ(e[2].status, HIDP_STATUS_SUCCESS);
}

TEST(UnpackReport, ValueRangeGivesOneElementPerUsage) {
  // Usages 0x10..0x13 over four 4-bit values.
  const Bytes bytes = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x19, 0x10, 0x29, 0x13,
                       0x15, 0x00, 0x25, 0x0F, 0x75, 0x04, 0x95, 0x04, 0x81, 0x02, 0xC0};
  const TopCollection top = Parse(bytes);
  HidDataList list;
  list.Build(top, ReportType::kInput);
  auto& e = list.Elements();
  ASSERT_EQ(e.size(), 4u);
  const Bytes report = {0x00, 0x21, 0x43};
  ASSERT_TRUE(UnpackReport(ReportType::kInput, report.data(), report.size(), e.data(), e.size(), top));
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(e[i].value.usage, 0x10 + i);
    EXPECT_EQ(e[i].value.value, i + 1);
  }
}

}  // namespace
}  // namespace vz::hid
