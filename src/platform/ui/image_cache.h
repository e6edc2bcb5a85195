// Skin images by resolved path, loaded once per process. Toolkit-internal.
#pragma once

#include <QImage>
#include <optional>
#include <string>

#include "platform/ui/ui_types.h"

namespace vz::ui {

struct ImageDescription {
  std::string file;
  std::optional<UIRect> source;
  UIRect corner;
  std::optional<UIRect> dest;
  int fade = 255;
  bool xtiled = false;
  bool ytiled = false;
};

// Plain file names and key='value' lists; nullopt (with a diagnostic) when malformed.
std::optional<ImageDescription> ParseImageDescription(const std::string& text);

// A relative name is looked up in the resource folder (letter case ignored); a full path as
// it stands. SVG files are rendered at `size` when given. Null image when it cannot be loaded;
// each missing file is reported once.
QImage LoadSkinImage(const std::string& file, UISize size = {});

void ClearImageCache();

}  // namespace vz::ui
