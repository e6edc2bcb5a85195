#include "settings/mouse_settings.h"

namespace vz::mouse {

namespace {
bool ValidStage(int stage) { return stage >= 1 && stage <= record::kDpiStageCount; }
std::size_t ColourAt(int stage) { return record::kDpiColours + 3 * static_cast<std::size_t>(stage - 1); }
}  // namespace

std::uint8_t DpiStagePosition(const ActiveSettings& active, int stage) {
  return ValidStage(stage) ? active.Get(record::kDpiStage[stage - 1]) : 0;
}

void SetDpiStagePosition(ActiveSettings& active, int stage, std::uint8_t position) {
  if (ValidStage(stage)) active.Set(record::kDpiStage[stage - 1], position);
}

Rgb DpiStageColour(const ActiveSettings& active, int stage) {
  if (!ValidStage(stage)) return {};
  const std::size_t at = ColourAt(stage);
  return {active.Get(at), active.Get(at + 1), active.Get(at + 2)};
}

void SetDpiStageColour(ActiveSettings& active, int stage, Rgb colour) {
  if (!ValidStage(stage)) return;
  const std::size_t at = ColourAt(stage);
  active.Set(at, colour.red);
  active.Set(at + 1, colour.green);
  active.Set(at + 2, colour.blue);
}

}  // namespace vz::mouse
