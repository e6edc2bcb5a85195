// Reading buttons and values out of one report of a top-level collection, with the status
// codes of the platform's HID parser.
//
// `report` points at a whole report as read or to be written: byte 0 the report id (0 when
// the collection uses none), the fields from byte 1. `length` must be at least the
// collection's report byte length of that type, or the call answers
// HIDP_STATUS_INVALID_REPORT_LENGTH without reading.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/hid/report_descriptor.h"

namespace vz::hid {

inline constexpr std::uint32_t HIDP_STATUS_SUCCESS = 0x00110000;
inline constexpr std::uint32_t HIDP_STATUS_NULL = 0x80110001;
inline constexpr std::uint32_t HIDP_STATUS_INVALID_REPORT_TYPE = 0xC0110002;
inline constexpr std::uint32_t HIDP_STATUS_INVALID_REPORT_LENGTH = 0xC0110003;
inline constexpr std::uint32_t HIDP_STATUS_USAGE_NOT_FOUND = 0xC0110004;
inline constexpr std::uint32_t HIDP_STATUS_VALUE_OUT_OF_RANGE = 0xC0110005;
inline constexpr std::uint32_t HIDP_STATUS_BAD_LOG_PHY_VALUES = 0xC0110006;
inline constexpr std::uint32_t HIDP_STATUS_BUFFER_TOO_SMALL = 0xC0110007;
inline constexpr std::uint32_t HIDP_STATUS_INCOMPATIBLE_REPORT_ID = 0xC011000A;

// The most usages GetUsages can return for this page (0 selects every page): the number
// of button fields of that page in reports of this type.
std::uint32_t MaxUsageListLength(const TopCollection& c, ReportType type, std::uint16_t usagePage);

// The pressed usages of `usagePage` in the report, in field order: set bits of 1-bit
// variables and the usages named by array elements (a 0 usage or an index outside the
// logical range names none). *count is the list length on entry and the number stored
// on return; more pressed usages than fit give HIDP_STATUS_BUFFER_TOO_SMALL.
std::uint32_t GetUsages(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                        const std::uint8_t* report, std::size_t length, std::uint16_t* usages,
                        std::uint32_t* count);

// The raw bits of a value usage, zero-extended.
std::uint32_t GetUsageValue(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                            std::uint16_t usage, const std::uint8_t* report, std::size_t length,
                            std::uint32_t* value);

// The value mapped from the logical onto the physical range (the logical range itself when
// no physical range is given). A raw value outside the logical range answers
// HIDP_STATUS_NULL for a field with a null state, HIDP_STATUS_VALUE_OUT_OF_RANGE otherwise.
std::uint32_t GetScaledUsageValue(const TopCollection& c, ReportType type, std::uint16_t usagePage,
                                  std::uint16_t usage, const std::uint8_t* report,
                                  std::size_t length, std::int32_t* value);

// Bits [bitPosition, bitPosition + bitSize) of `data`, least significant first; bitSize
// at most 32 and the range within `dataBytes`.
std::uint32_t ExtractBits(const std::uint8_t* data, std::size_t dataBytes, std::uint32_t bitPosition,
                          std::uint32_t bitSize);

}  // namespace vz::hid
