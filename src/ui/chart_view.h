// A chart of named values: a pie with a legend, or a histogram of image pillars over a shadow
// band. Items are added from code; the skins only choose the look.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/ui/control.h"

namespace vz::ui {

class CChartViewUI : public CControlUI {
 public:
  enum View : int { kPie = 0, kHistogram = 1 };
  using Item = std::pair<std::string, double>;

  void AddItem(const std::string& name, double value);
  void RemoveAllItems();
  const std::vector<Item>& GetItems() const { return items_; }

  int GetView() const { return view_; }
  void SetView(View view);
  const std::string& GetShadowImage() const { return shadowImage_; }
  void SetShadowImage(const std::string& image);
  void SetShadowImageHeight(int height);
  const std::string& GetPillarImage() const { return pillarImage_; }
  void SetPillarImage(const std::string& image);
  void SetPillarImageWidth(int width);
  // 0 takes the window's default colours.
  void SetTextColor(UIColor color);
  void SetDisabledTextColor(UIColor color);
  void SetShowHtml(bool on);
  void SetShowText(bool on);
  void SetFont(int id);

  // Every attribute goes to the base first; the chart's own names are matched with case:
  // "view" ("pie", "histpgram"; other values change nothing), "shadowimage",
  // "shadowimageheight", "pillarimage", "pillarimagewidth", "showhtml", "showtext" (on only
  // for "true"), "font".
  bool SetAttribute(const std::string& name, const std::string& value) override;

 protected:
  // The chart sits where a text would: over the background, under the border.
  void PaintText(CPaintContext& ctx, const UIRect& rc) override;

 private:
  void PaintPie(CPaintContext& ctx, const UIRect& rc);
  void PaintHistogram(CPaintContext& ctx, const UIRect& rc);
  void PaintName(CPaintContext& ctx, const UIRect& rc, const std::string& name, unsigned align);
  UIColor CurrentTextColor() const;

  std::vector<Item> items_;
  int view_ = kPie;
  std::string shadowImage_;
  int shadowImageHeight_ = 0;
  std::string pillarImage_;
  int pillarImageWidth_ = 0;
  UIColor textColor_ = 0;
  UIColor disabledTextColor_ = 0;
  bool showHtml_ = false;
  bool showText_ = true;
  int font_ = -1;
};

// Colour of pie slice i (opaque 0xAARRGGBB); the table repeats after 18 items.
UIColor PieSliceColor(std::size_t index);

}  // namespace vz::ui
