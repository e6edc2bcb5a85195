#include "ui/chart_view.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>

#include "platform/ui/paint_manager.h"

namespace vz::ui {

namespace {

constexpr int kLegendWidth = 100;
constexpr int kLegendLineHeight = 18;
constexpr int kLegendLineStep = 22;
constexpr int kLegendTextOffset = 23;
constexpr int kLabelBandHeight = 25;
constexpr UIColor kOuterShadow = 0x1E1E1E1Eu;  // ARGB 30, 30, 30, 30
constexpr UIColor kInnerShadow = 0x64646464u;  // ARGB 100, 100, 100, 100

struct Rgb {
  std::uint8_t r, g, b;
};

constexpr std::array<Rgb, 18> kPieColors = {{
    {0x3F, 0x96, 0xF5}, {0xFF, 0x5A, 0x01}, {0x6A, 0xF4, 0xC0}, {0xF5, 0xEA, 0x6A},
    {0xFC, 0x7B, 0x97}, {0xA2, 0xF5, 0x3F}, {0x9D, 0x90, 0xFC}, {0xD2, 0x90, 0xFC},
    {0x7F, 0xB0, 0xCB}, {0xF4, 0xC4, 0x71}, {0xA2, 0xC2, 0x85}, {0xBD, 0x17, 0x17},
    {0xBD, 0x17, 0xB3}, {0x61, 0x17, 0xBD}, {0x17, 0x2B, 0xBD}, {0x12, 0x88, 0x4C},
    {0x88, 0x79, 0x12}, {0x88, 0x26, 0x12},
}};

UIRect Inflate(const UIRect& rc, int by) {
  return {rc.left - by, rc.top - by, rc.right + by, rc.bottom + by};
}

using ChartSetter = std::function<bool(CChartViewUI&, const std::string&)>;

ChartSetter IntSetter(void (CChartViewUI::*set)(int)) {
  return [set](CChartViewUI& chart, const std::string& value) {
    auto number = ParseInt(value);
    if (!number) return false;
    (chart.*set)(*number);
    return true;
  };
}

ChartSetter TextSetter(void (CChartViewUI::*set)(const std::string&)) {
  return [set](CChartViewUI& chart, const std::string& value) {
    (chart.*set)(value);
    return true;
  };
}

ChartSetter FlagSetter(void (CChartViewUI::*set)(bool)) {
  return [set](CChartViewUI& chart, const std::string& value) {
    (chart.*set)(value == "true");
    return true;
  };
}

const std::map<std::string, CChartViewUI::View>& ViewNames() {
  // "histpgram" is what the skins have always written; it is the only word for the histogram.
  static const std::map<std::string, CChartViewUI::View> names = {
      {"pie", CChartViewUI::kPie}, {"histpgram", CChartViewUI::kHistogram}};
  return names;
}

const std::map<std::string, ChartSetter>& ChartAttributes() {
  static const std::map<std::string, ChartSetter> table = {
      {"view", [](CChartViewUI& chart, const std::string& value) {
         auto it = ViewNames().find(value);
         if (it == ViewNames().end()) return false;
         chart.SetView(it->second);
         return true;
       }},
      {"shadowimage", TextSetter(&CChartViewUI::SetShadowImage)},
      {"shadowimageheight", IntSetter(&CChartViewUI::SetShadowImageHeight)},
      {"pillarimage", TextSetter(&CChartViewUI::SetPillarImage)},
      {"pillarimagewidth", IntSetter(&CChartViewUI::SetPillarImageWidth)},
      {"showhtml", FlagSetter(&CChartViewUI::SetShowHtml)},
      {"showtext", FlagSetter(&CChartViewUI::SetShowText)},
      {"font", IntSetter(&CChartViewUI::SetFont)},
  };
  return table;
}

}  // namespace

UIColor PieSliceColor(std::size_t index) {
  const Rgb& c = kPieColors[index % kPieColors.size()];
  return 0xFF000000u | (UIColor{c.r} << 16) | (UIColor{c.g} << 8) | UIColor{c.b};
}

void CChartViewUI::AddItem(const std::string& name, double value) {
  items_.emplace_back(name, value);
  Invalidate();
}

void CChartViewUI::RemoveAllItems() {
  items_.clear();
  Invalidate();
}

void CChartViewUI::SetView(View view) { view_ = view; Invalidate(); }
void CChartViewUI::SetShadowImage(const std::string& image) { shadowImage_ = image; Invalidate(); }
void CChartViewUI::SetShadowImageHeight(int height) { shadowImageHeight_ = height; Invalidate(); }
void CChartViewUI::SetPillarImage(const std::string& image) { pillarImage_ = image; Invalidate(); }
void CChartViewUI::SetPillarImageWidth(int width) { pillarImageWidth_ = width; Invalidate(); }
void CChartViewUI::SetTextColor(UIColor color) { textColor_ = color; Invalidate(); }
void CChartViewUI::SetDisabledTextColor(UIColor color) { disabledTextColor_ = color; Invalidate(); }
void CChartViewUI::SetShowHtml(bool on) { showHtml_ = on; Invalidate(); }
void CChartViewUI::SetShowText(bool on) { showText_ = on; Invalidate(); }
void CChartViewUI::SetFont(int id) { font_ = id; Invalidate(); }

bool CChartViewUI::SetAttribute(const std::string& name, const std::string& value) {
  const bool takenByBase = CControlUI::SetAttribute(name, value);
  auto it = ChartAttributes().find(name);
  if (it == ChartAttributes().end()) return takenByBase;
  return it->second(*this, value) || takenByBase;
}

UIColor CChartViewUI::CurrentTextColor() const {
  return StateTextColor(GetManager(), IsEnabled(), textColor_, disabledTextColor_);
}

void CChartViewUI::PaintText(CPaintContext& ctx, const UIRect& rc) {
  if (view_ == kHistogram) {
    PaintHistogram(ctx, rc);
  } else {
    PaintPie(ctx, rc);
  }
}

void CChartViewUI::PaintName(CPaintContext& ctx, const UIRect& rc, const std::string& name,
                             unsigned align) {
  if (!showHtml_) {
    ctx.DrawText(rc, name, CurrentTextColor(), font_, align | kAlignVCenter);
    return;
  }
  QTextDocument doc;
  if (ctx.Manager()) doc.setDefaultFont(ctx.Manager()->GetQFont(font_));
  QTextOption option((align & kAlignCenter) ? Qt::AlignHCenter : Qt::AlignLeft);
  option.setWrapMode(QTextOption::NoWrap);
  doc.setDefaultTextOption(option);
  doc.setDocumentMargin(0);
  doc.setHtml(QString::fromStdString(name));
  doc.setTextWidth(rc.Width());
  QAbstractTextDocumentLayout::PaintContext paint;
  paint.palette.setColor(QPalette::Text, QColor::fromRgba(CurrentTextColor()));
  QPainter& painter = ctx.Painter();
  painter.save();
  painter.setClipRect(rc.left, rc.top, rc.Width(), rc.Height(), Qt::IntersectClip);
  painter.translate(rc.left, rc.top + (rc.Height() - doc.size().height()) / 2.0);
  doc.documentLayout()->draw(&painter, paint);
  painter.restore();
}

void CChartViewUI::PaintPie(CPaintContext& ctx, const UIRect& rc) {
  if (items_.empty()) return;
  const int legendWidth = showText_ ? kLegendWidth : 0;
  const int width = rc.Width();
  const int height = rc.Height();
  const int d = std::min(width - legendWidth - 10, height - 10);
  if (d <= 0) return;
  const int left = rc.left + (width - legendWidth - 10 - d) / 2 + 5;
  const int top = rc.top + (height - 10 - d) / 2 + 5;
  const UIRect pie{left, top, left + d, top + d};

  QPainter& painter = ctx.Painter();
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  ctx.FillEllipse(Inflate(pie, 4), kOuterShadow);
  ctx.FillEllipse(Inflate(pie, 1), kInnerShadow);

  const double total = std::accumulate(items_.begin(), items_.end(), 0.0,
                                       [](double sum, const Item& item) { return sum + item.second; });
  // Nothing to divide by: the pie stays empty rather than painting undefined angles.
  if (total > 0) {
    double start = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
      const double end = start + items_[i].second / total * 360.0;
      // Both edges rounded from the running sum, so the slices meet without gaps. Qt counts
      // counter-clockwise in sixteenths of a degree; the slices follow each other clockwise.
      const int from16 = static_cast<int>(std::lround(start * 16));
      const int to16 = static_cast<int>(std::lround(end * 16));
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor::fromRgba(PieSliceColor(i)));
      painter.drawPie(QRect(pie.left, pie.top, d, d), -from16, -(to16 - from16));
      start = end;
    }
  }

  if (showText_) {
    const int n = static_cast<int>(items_.size());
    const int x = left + d + 10;
    int y = std::max(rc.top + 5, rc.top + (height - 10 - kLegendLineStep * n) / 2);
    for (std::size_t i = 0; i < items_.size(); ++i, y += kLegendLineStep) {
      ctx.FillRect({x, y, x + kLegendLineHeight, y + kLegendLineHeight}, PieSliceColor(i));
      PaintName(ctx, {x + kLegendTextOffset, y, rc.right, y + kLegendLineHeight}, items_[i].first,
                kAlignLeft);
    }
  }
  painter.restore();
}

void CChartViewUI::PaintHistogram(CPaintContext& ctx, const UIRect& rc) {
  const int labelHeight = showText_ ? kLabelBandHeight : 0;
  const int bandBottom = rc.bottom - labelHeight;
  // An image that cannot be drawn is dropped, so it is not retried on every paint.
  if (!shadowImage_.empty() &&
      !ctx.DrawImage({rc.left, bandBottom - shadowImageHeight_, rc.right, bandBottom}, shadowImage_)) {
    shadowImage_.clear();
  }
  if (items_.empty() || pillarImageWidth_ <= 0) return;

  const double maxValue =
      std::max_element(items_.begin(), items_.end(),
                       [](const Item& a, const Item& b) { return a.second < b.second; })->second;
  const int gap = (rc.Width() / pillarImageWidth_) * 2;
  int x = rc.left + gap;
  for (const auto& [name, value] : items_) {
    const int pillarHeight =
        maxValue > 0 ? static_cast<int>((rc.Height() - labelHeight) * value / maxValue) : 0;
    if (!pillarImage_.empty() && pillarHeight > 0 &&
        !ctx.DrawImage({x, bandBottom - pillarHeight, x + pillarImageWidth_, bandBottom},
                       pillarImage_)) {
      pillarImage_.clear();
    }
    if (showText_) {
      PaintName(ctx, {x - gap, bandBottom, x + pillarImageWidth_ + gap, rc.bottom}, name, kAlignCenter);
    }
    x += gap + pillarImageWidth_;
  }
}

}  // namespace vz::ui
