#include "platform/ui/label.h"

#include "platform/ui/paint_manager.h"

namespace vz::ui {

void CLabelUI::SetTextColor(UIColor color) { textColor_ = color; Invalidate(); }
void CLabelUI::SetDisabledTextColor(UIColor color) { disabledTextColor_ = color; Invalidate(); }
void CLabelUI::SetFont(int id) { font_ = id; Invalidate(); }
void CLabelUI::SetTextStyle(unsigned align) { align_ = align; Invalidate(); }
void CLabelUI::SetTextPadding(UIRect padding) { textPadding_ = padding; Invalidate(); }

void CLabelUI::SetEndEllipsis(bool on) {
  align_ = on ? (align_ | kAlignEndEllipsis) : (align_ & ~kAlignEndEllipsis);
  Invalidate();
}

void CLabelUI::SetMultiLine(bool on) {
  align_ = on ? (align_ | kAlignWordBreak) : (align_ & ~kAlignWordBreak);
  Invalidate();
}

const AttributeTable& CLabelUI::Attributes() const {
  static const AttributeTable table(&CControlUI::Attributes(), {
      {"textcolor", ColorAttr(&CLabelUI::SetTextColor)},
      {"disabledtextcolor", ColorAttr(&CLabelUI::SetDisabledTextColor)},
      {"font", IntAttr(&CLabelUI::SetFont)},
      {"textpadding", RectAttr(&CLabelUI::SetTextPadding)},
      {"endellipsis", BoolAttr(&CLabelUI::SetEndEllipsis)},
      {"multiline", BoolAttr(&CLabelUI::SetMultiLine)},
      {"align", [](CControlUI& c, const std::string& v) {
         auto align = ParseAlign(v);
         if (!align) return false;
         auto& label = static_cast<CLabelUI&>(c);
         // Horizontal and vertical words replace only their own axis.
         unsigned keep = label.align_ & (kAlignWordBreak | kAlignEndEllipsis);
         unsigned horizontal = *align & (kAlignLeft | kAlignCenter | kAlignRight);
         unsigned vertical = *align & (kAlignTop | kAlignVCenter | kAlignBottom);
         if (!horizontal) horizontal = label.align_ & (kAlignLeft | kAlignCenter | kAlignRight);
         if (!vertical) vertical = label.align_ & (kAlignTop | kAlignVCenter | kAlignBottom);
         label.SetTextStyle(keep | horizontal | vertical | (*align & (kAlignWordBreak | kAlignEndEllipsis)));
         return true;
       }},
  });
  return table;
}

UIColor CLabelUI::CurrentTextColor() const {
  return StateTextColor(GetManager(), IsEnabled(), textColor_, disabledTextColor_);
}

UIRect CLabelUI::TextRect(const UIRect& rc) const {
  return UIRect{rc.left + Scale(textPadding_.left), rc.top + Scale(textPadding_.top),
                rc.right - Scale(textPadding_.right), rc.bottom - Scale(textPadding_.bottom)};
}

void CLabelUI::PaintText(CPaintContext& ctx, const UIRect& rc) {
  ctx.DrawText(TextRect(rc), GetText(), CurrentTextColor(), font_, align_);
}

}  // namespace vz::ui
