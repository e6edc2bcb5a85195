// The report-descriptor parser: real-shaped descriptors and malformed ones in one table.
#include "platform/hid/report_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hid/descriptors.h"

namespace vz::hid {
namespace {

using testing::Bytes;

struct ExpectedCollection {
  std::uint16_t usagePage, usage;
  std::uint16_t inputLength, outputLength, featureLength;
  std::size_t inputButtons, inputValues, outputButtons, outputValues;
  std::vector<std::uint8_t> reportIds;
};

struct DescriptorCase {
  const char* name;
  Bytes bytes;
  std::vector<ExpectedCollection> collections;  // empty: the descriptor must be refused
  const char* error = "";                       // part of the reason when refused
};

Bytes Repeat(const Bytes& piece, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// An application collection around `body`, with one byte of input before it.
Bytes InApplication(const Bytes& body) {
  return Concat({{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}, body, {0xC0}});
}

const Bytes kByteInput = {0x75, 0x08, 0x95, 0x01, 0x09, 0x01, 0x81, 0x02};

const DescriptorCase kCases[] = {
    {"BootMouse", testing::kBootMouse, {{0x01, 0x02, 4, 0, 0, 1, 2, 0, 0, {}}}},
    {"BootKeyboard", testing::kBootKeyboard, {{0x01, 0x06, 9, 2, 0, 2, 0, 1, 0, {}}}},
    {"ConsumerControl", testing::kConsumerControl, {{0x0C, 0x01, 3, 0, 0, 1, 0, 0, 0, {3}}}},
    {"GamingMouseTwoCollections",
     testing::kGamingMouse,
     {{0x0C, 0x01, 5, 0, 0, 2, 0, 0, 0, {3}}, {0xFF1C, 0x92, 64, 64, 0, 0, 1, 0, 1, {4}}}},
    {"ScaledDialWithFeature", testing::kScaledDial, {{0x01, 0x08, 2, 0, 2, 0, 1, 0, 0, {}}}},
    {"LongItemIsSkipped", InApplication(Concat({{0xFE, 0x02, 0x10, 0xAA, 0xBB}, kByteInput})),
     {{0xFF00, 0x01, 2, 0, 0, 0, 1, 0, 0, {}}}},
    {"PushPopRestoresReportSize",
     InApplication({0x75, 0x08, 0xA4, 0x75, 0x01, 0xB4, 0x95, 0x02, 0x09, 0x01, 0x81, 0x02}),
     {{0xFF00, 0x01, 3, 0, 0, 0, 1, 0, 0, {}}}},

    {"Empty", {}, {}, "empty"},
    {"TruncatedShortItem", {0x05, 0x01, 0x09}, {}, "item truncated"},
    {"TruncatedFourByteItem", {0x05, 0x01, 0x27, 0x01, 0x02}, {}, "item truncated"},
    {"LongItemPastTheEnd", {0xFE, 0x10, 0x00, 0x01, 0x02}, {}, "long item runs past the end"},
    {"LongItemHeaderTruncated", {0xFE, 0x10}, {}, "long item header truncated"},
    {"ReportSizeZero", InApplication({0x75, 0x00, 0x95, 0x01, 0x81, 0x02}), {}, "Report Size 0"},
    {"ReportSizeMissing", InApplication({0x95, 0x01, 0x81, 0x02}), {}, "Report Size 0"},
    {"ReportSizeTooWide", InApplication({0x75, 0x21}), {}, "Report Size 33"},
    {"ReportCountOverflow", InApplication({0x75, 0x20, 0x97, 0xFF, 0xFF, 0xFF, 0xFF}), {}, "Report Count"},
    // 17 reports of 4096 two-bit fields each: every report fits, all of them together do not.
    {"TooManyFieldsInAll",
     InApplication([] {
       Bytes b = {0x75, 0x02, 0x96, 0x00, 0x10};
       for (std::uint8_t id = 1; id <= 17; ++id) b.insert(b.end(), {0x85, id, 0x09, 0x01, 0x81, 0x02});
       return b;
     }()),
     {},
     "report fields in all"},
    {"ReportTooLong", InApplication(Repeat({0x75, 0x20, 0x96, 0x00, 0x08, 0x81, 0x02}, 5)), {}, "longer than"},
    {"UsageMinAboveMax", InApplication({0x19, 0x05, 0x29, 0x01}), {}, "Usage Minimum above Usage Maximum"},
    {"UsageMaxWithoutMin", InApplication({0x29, 0x05}), {}, "Usage Maximum without Usage Minimum"},
    {"UsageMinLeftOpen", InApplication(Concat({{0x19, 0x01}, kByteInput})), {}, "Usage Minimum without"},
    {"UsageRangeAcrossPages", InApplication({0x1B, 0x01, 0x00, 0x09, 0x00, 0x2B, 0x05, 0x00, 0x0C, 0x00}), {}, "spans two usage pages"},
    {"CollectionLeftOpen", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xA1, 0x00, 0xC0}, {}, "unbalanced"},
    {"EndWithoutCollection", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0xC0, 0xC0}, {}, "End Collection without"},
    {"NestedTooDeeply", Concat({Repeat({0xA1, 0x00}, 17), Repeat({0xC0}, 17)}), {}, "nested too deeply"},
    {"ReportIdZero", InApplication({0x85, 0x00}), {}, "Report ID 0"},
    {"ReportIdAbove255", InApplication({0x86, 0x00, 0x01}), {}, "above 255"},
    {"FieldBeforeFirstReportId", InApplication(Concat({kByteInput, {0x85, 0x01}, kByteInput})), {}, "before the first Report ID"},
    {"PopRestoresMissingId", InApplication(Concat({{0xA4, 0x85, 0x01}, kByteInput, {0xB4}, kByteInput})), {}, "without a Report ID"},
    {"PopUnderflow", InApplication({0xB4}), {}, "Pop without Push"},
    {"PushOverflow", InApplication(Repeat({0xA4}, 9)), {}, "Push overflows"},
    {"FieldOutsideCollection", kByteInput, {}, "outside any collection"},
    {"NoCollection", {0x05, 0x01, 0x09, 0x02}, {}, "no top-level collection"},
    {"ReservedItemType", InApplication({0x0C}), {}, "reserved item type"},
    {"UnknownMainTag", InApplication({0xD0}), {}, "unknown Main item tag"},
    {"Delimiter", InApplication({0xA9, 0x01}), {}, "Delimiter"},
    {"TooManyUsages", InApplication(Repeat({0x09, 0x01}, 257)), {}, "usages for one item"},
    {"DescriptorTooLong", Repeat({0x09, 0x01}, 2049), {}, "more than 4096"},
};

class ParseDescriptor : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(ParseDescriptor, GivesCollectionsOrReason) {
  const DescriptorCase& c = GetParam();
  ReportDescriptor d;
  std::string error;
  const bool ok = ParseReportDescriptor(c.bytes.data(), c.bytes.size(), &d, &error);
  if (c.collections.empty()) {
    ASSERT_FALSE(ok);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_TRUE(d.collections.empty());
    return;
  }
  ASSERT_TRUE(ok) << error;
  ASSERT_EQ(d.collections.size(), c.collections.size());
  for (std::size_t i = 0; i < c.collections.size(); ++i) {
    SCOPED_TRACE("collection " + std::to_string(i));
    const TopCollection& got = d.collections[i];
    const ExpectedCollection& want = c.collections[i];
    EXPECT_EQ(got.usagePage, want.usagePage);
    EXPECT_EQ(got.usage, want.usage);
    EXPECT_EQ(got.reportByteLength[0], want.inputLength);
    EXPECT_EQ(got.reportByteLength[1], want.outputLength);
    EXPECT_EQ(got.reportByteLength[2], want.featureLength);
    EXPECT_EQ(got.buttonCaps[0].size(), want.inputButtons);
    EXPECT_EQ(got.valueCaps[0].size(), want.inputValues);
    EXPECT_EQ(got.buttonCaps[1].size(), want.outputButtons);
    EXPECT_EQ(got.valueCaps[1].size(), want.outputValues);
    EXPECT_EQ(got.reportIds, want.reportIds);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ParseDescriptor, ::testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

// The capability fields a reader relies on, for the mouse: where each field sits, its
// ranges, and array versus variable.
TEST(ParseDescriptorCaps, BootMouseFieldsSitWhereTheReportPutsThem) {
  ReportDescriptor d;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(testing::kBootMouse.data(), testing::kBootMouse.size(), &d, &error));
  const TopCollection& c = d.collections[0];
  const Capability& buttons = c.buttonCaps[0][0];
  EXPECT_EQ(buttons.usagePage, 0x09);
  EXPECT_TRUE(buttons.isRange);
  EXPECT_EQ(buttons.usageMin, 1);
  EXPECT_EQ(buttons.usageMax, 3);
  EXPECT_EQ(buttons.bitPosition, 0u);
  EXPECT_EQ(buttons.bitSize, 1);
  EXPECT_EQ(buttons.reportCount, 3);
  EXPECT_EQ(buttons.linkCollection, 1);
  EXPECT_FALSE(buttons.isArray);

  const Capability& x = c.valueCaps[0][0];
  const Capability& y = c.valueCaps[0][1];
  EXPECT_EQ(x.usageMin, 0x30);
  EXPECT_EQ(y.usageMin, 0x31);
  EXPECT_EQ(x.bitPosition, 8u);
  EXPECT_EQ(y.bitPosition, 16u);
  EXPECT_EQ(x.reportCount, 1);
  EXPECT_EQ(x.logicalMin, -127);
  EXPECT_EQ(x.logicalMax, 127);
  EXPECT_FALSE(x.isAbsolute);
}

TEST(ParseDescriptorCaps, UnsignedMaximumAfterNonNegativeMinimum) {
  // Logical 0..255 written as one byte 0xFF must not read as -1.
  const Bytes bytes = InApplication({0x15, 0x00, 0x25, 0xFF, 0x75, 0x08, 0x95, 0x01, 0x09, 0x01, 0x81, 0x02});
  ReportDescriptor d;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(bytes.data(), bytes.size(), &d, &error)) << error;
  EXPECT_EQ(d.collections[0].valueCaps[0][0].logicalMax, 255);
}

TEST(ParseDescriptorCaps, KeyboardArraySharesItsSlots) {
  ReportDescriptor d;
  std::string error;
  ASSERT_TRUE(ParseReportDescriptor(testing::kBootKeyboard.data(), testing::kBootKeyboard.size(), &d, &error));
  const Capability& keys = d.collections[0].buttonCaps[0][1];
  EXPECT_TRUE(keys.isArray);
  EXPECT_EQ(keys.usageMin, 0x00);
  EXPECT_EQ(keys.usageMax, 0x65);
  EXPECT_EQ(keys.bitPosition, 16u);
  EXPECT_EQ(keys.reportCount, 6);
  const Capability& leds = d.collections[0].buttonCaps[1][0];
  EXPECT_EQ(leds.usagePage, 0x08);
  EXPECT_EQ(leds.reportCount, 5);
}

}  // namespace
}  // namespace vz::hid
