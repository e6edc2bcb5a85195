#include "settings/sensor.h"

namespace vz {

std::optional<SensorRow> FindSensor(std::uint16_t code) {
  for (const SensorRow& row : kSensors) {
    if (row.code == code) return row;
  }
  return std::nullopt;
}

std::optional<SensorRow> ApplySensorTable(DeviceInfo& info) {
  std::optional<SensorRow> row = FindSensor(info.SensorCode());
  if (row) info.SetDpiMinimum(row->dpiMinimum);
  return row;
}

}  // namespace vz
