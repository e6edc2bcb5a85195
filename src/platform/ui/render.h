// Drawing for controls: colours, shapes, texts and skin images on a control's own surface.
// Coordinates are pixels of the control (0,0 is its top-left corner). Angles are degrees,
// clockwise from the three o'clock direction, as they appear on screen.
#pragma once

#include <string>

#include "platform/ui/ui_types.h"

class QPainter;

namespace vz::ui {

class CPaintManagerUI;

// Text alignment flags of the "align" attribute.
enum TextAlign : unsigned {
  kAlignLeft = 1u << 0,
  kAlignCenter = 1u << 1,
  kAlignRight = 1u << 2,
  kAlignTop = 1u << 3,
  kAlignVCenter = 1u << 4,
  kAlignBottom = 1u << 5,
  kAlignWordBreak = 1u << 6,
  kAlignEndEllipsis = 1u << 7,
};
// nullopt for an unknown word in the list.
std::optional<unsigned> ParseAlign(std::string_view text);

class CPaintContext {
 public:
  CPaintContext(QPainter& painter, CPaintManagerUI* manager);

  void SetAntialias(bool on);
  void FillRect(const UIRect& rc, UIColor color);
  void FillRoundRect(const UIRect& rc, UISize round, UIColor color);
  // A frame of `size` pixels inside rc.
  void DrawBorder(const UIRect& rc, UIColor color, int size, UISize round = {});
  void FillEllipse(const UIRect& rc, UIColor color);
  void FillPie(const UIRect& rc, int startDegrees, int sweepDegrees, UIColor color);
  void DrawLine(UIPoint from, UIPoint to, UIColor color, int width);
  // font: an id of the window's <Font> list, -1 the default font.
  void DrawText(const UIRect& rc, const std::string& text, UIColor color, int font, unsigned align);
  // Paints an image description (see the skin format). With colouring, the image's visible
  // pixels are tinted towards `tint` by `tintAlpha` (0 none .. 255 fully). False when the
  // image cannot be loaded or its description is malformed.
  bool DrawImage(const UIRect& rc, const std::string& description, UIColor tint = 0,
                 int tintAlpha = 0, bool colouring = false);
  // A whole control surface tinted: the changer colour overlay of the LED previews.
  void FillOverlay(const UIRect& rc, UIColor color, int alpha);

  QPainter& Painter() { return painter_; }
  CPaintManagerUI* Manager() const { return manager_; }

 private:
  QPainter& painter_;
  CPaintManagerUI* manager_;
};

}  // namespace vz::ui
