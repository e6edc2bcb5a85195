// The sensors a mouse may report and the DPI range each offers. DPI of a slider position
// = position x DPI step + DPI minimum; the step and the highest position come from the
// mouse's DeviceInfo, the minimum from this table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/device_images.h"

namespace vz {

struct SensorRow {
  std::uint16_t code;
  std::uint16_t dpiMinimum;
  std::string_view minimumLabel;
  std::string_view maximumLabel;
};

inline constexpr std::array<SensorRow, 4> kSensors = {{
    {0x3325, 200, "200", "5000"},
    {0x3050, 250, "250", "4000"},
    {0x3360, 100, "100", "12000"},
    {0x3310, 50, "50", "5000"},
}};

std::optional<SensorRow> FindSensor(std::uint16_t code);

// Writes the sensor's DPI minimum into the DeviceInfo; an unknown sensor keeps the
// minimum the mouse sent. Returns the row that applied.
std::optional<SensorRow> ApplySensorTable(DeviceInfo& info);

constexpr int DpiOfPosition(int position, int dpiStep, int dpiMinimum) {
  return position * dpiStep + dpiMinimum;
}
inline int DpiOfPosition(const DeviceInfo& info, int position) {
  return DpiOfPosition(position, info.DpiStep(), info.DpiMinimum());
}

}  // namespace vz
