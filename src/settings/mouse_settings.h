// Fields of the mouse record beyond the lighting bytes, read from and written to the
// mouse's ActiveSettings. Stages are numbered 1..5 as on the page; a stage outside that
// range reads 0 / black and is not written.
#pragma once

#include <cstdint>

#include "settings/device_images.h"

namespace vz::mouse {

std::uint8_t DpiStagePosition(const ActiveSettings& active, int stage);
void SetDpiStagePosition(ActiveSettings& active, int stage, std::uint8_t position);
Rgb DpiStageColour(const ActiveSettings& active, int stage);
void SetDpiStageColour(ActiveSettings& active, int stage, Rgb colour);

inline std::uint8_t ReportRate(const ActiveSettings& a) { return a.Get(record::kReportRate); }
inline void SetReportRate(ActiveSettings& a, std::uint8_t index) { a.Set(record::kReportRate, index); }
// 0..5, the stage the mouse uses now; written by the mouse, only shown by the host.
inline std::uint8_t CurrentDpiStage(const ActiveSettings& a) { return a.Get(record::kCurrentDpiStage); }

}  // namespace vz::mouse
