#include "platform/ui/render.h"

#include <QPainter>
#include <QPainterPath>
#include <map>

#include "platform/ui/image_cache.h"
#include "platform/ui/paint_manager.h"

namespace vz::ui {
namespace {

QColor ToQColor(UIColor c) { return QColor::fromRgba(c); }
QRect ToQRect(const UIRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

const std::map<std::string, unsigned>& AlignWords() {
  static const std::map<std::string, unsigned> words = {
      {"left", kAlignLeft},     {"center", kAlignCenter},       {"right", kAlignRight},
      {"top", kAlignTop},       {"vcenter", kAlignVCenter},     {"bottom", kAlignBottom},
      {"wordbreak", kAlignWordBreak}, {"endellipsis", kAlignEndEllipsis},
  };
  return words;
}

int ToQtAlign(unsigned align) {
  int flags = 0;
  flags |= (align & kAlignRight) ? Qt::AlignRight : (align & kAlignCenter) ? Qt::AlignHCenter : Qt::AlignLeft;
  flags |= (align & kAlignTop) ? Qt::AlignTop : (align & kAlignBottom) ? Qt::AlignBottom : Qt::AlignVCenter;
  if (align & kAlignWordBreak) flags |= Qt::TextWordWrap;
  return flags;
}

// Nine-part stretching: the corners keep their size, the edges stretch one way, the middle both.
void DrawNinePart(QPainter& p, const QRect& dst, const QImage& img, const QRect& src, const UIRect& c) {
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    p.drawImage(dst, img, src);
    return;
  }
  const int sx[4] = {src.left(), src.left() + c.left, src.right() + 1 - c.right, src.right() + 1};
  const int sy[4] = {src.top(), src.top() + c.top, src.bottom() + 1 - c.bottom, src.bottom() + 1};
  const int dx[4] = {dst.left(), dst.left() + c.left, dst.right() + 1 - c.right, dst.right() + 1};
  const int dy[4] = {dst.top(), dst.top() + c.top, dst.bottom() + 1 - c.bottom, dst.bottom() + 1};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
      QRect d(QPoint(dx[col], dy[row]), QPoint(dx[col + 1] - 1, dy[row + 1] - 1));
      if (s.isValid() && d.isValid()) p.drawImage(d, img, s);
    }
  }
}

}  // namespace

std::optional<unsigned> ParseAlign(std::string_view text) {
  unsigned align = 0;
  std::string normalized(text);
  for (char& ch : normalized) {
    if (ch == ' ') ch = ',';
  }
  for (const auto& word : SplitList(normalized, ',')) {
    if (word.empty()) continue;
    auto it = AlignWords().find(ToLower(word));
    if (it == AlignWords().end()) return std::nullopt;
    align |= it->second;
  }
  return align;
}

CPaintContext::CPaintContext(QPainter& painter, CPaintManagerUI* manager)
    : painter_(painter), manager_(manager) {}

void CPaintContext::SetAntialias(bool on) { painter_.setRenderHint(QPainter::Antialiasing, on); }

void CPaintContext::FillRect(const UIRect& rc, UIColor color) {
  if (color >> 24) painter_.fillRect(ToQRect(rc), ToQColor(color));
}

void CPaintContext::FillRoundRect(const UIRect& rc, UISize round, UIColor color) {
  if (!(color >> 24)) return;
  if (round.cx <= 0 || round.cy <= 0) return FillRect(rc, color);
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(color));
  painter_.drawRoundedRect(ToQRect(rc), round.cx / 2.0, round.cy / 2.0);
  painter_.restore();
}

void CPaintContext::DrawBorder(const UIRect& rc, UIColor color, int size, UISize round) {
  if (!(color >> 24) || size <= 0) return;
  painter_.save();
  QPen pen(ToQColor(color));
  pen.setWidth(size);
  pen.setJoinStyle(Qt::MiterJoin);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  QRectF inner = QRectF(ToQRect(rc)).adjusted(size / 2.0, size / 2.0, -size / 2.0, -size / 2.0);
  if (round.cx > 0 && round.cy > 0) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.drawRoundedRect(inner, round.cx / 2.0, round.cy / 2.0);
  } else {
    painter_.drawRect(inner);
  }
  painter_.restore();
}

void CPaintContext::FillEllipse(const UIRect& rc, UIColor color) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(color));
  painter_.drawEllipse(ToQRect(rc));
  painter_.restore();
}

void CPaintContext::FillPie(const UIRect& rc, int startDegrees, int sweepDegrees, UIColor color) {
  painter_.save();
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(color));
  // Qt counts angles counter-clockwise in sixteenths of a degree.
  painter_.drawPie(ToQRect(rc), -startDegrees * 16, -sweepDegrees * 16);
  painter_.restore();
}

void CPaintContext::DrawLine(UIPoint from, UIPoint to, UIColor color, int width) {
  painter_.save();
  QPen pen(ToQColor(color));
  pen.setWidth(width);
  painter_.setPen(pen);
  painter_.drawLine(from.x, from.y, to.x, to.y);
  painter_.restore();
}

void CPaintContext::DrawText(const UIRect& rc, const std::string& text, UIColor color, int font,
                             unsigned align) {
  if (text.empty() || rc.IsEmpty()) return;
  painter_.save();
  if (manager_) painter_.setFont(manager_->GetQFont(font));
  painter_.setPen(ToQColor(color));
  QString qtext = QString::fromStdString(text);
  if (align & kAlignEndEllipsis) {
    // Wrapped text is cut short only when its lines do not fit the box.
    const QRect wrapped =
        painter_.fontMetrics().boundingRect(ToQRect(rc), ToQtAlign(align) | Qt::TextWordWrap, qtext);
    const bool fitsWrapped = (align & kAlignWordBreak) && wrapped.width() <= rc.Width() &&
                             wrapped.height() <= rc.Height();
    if (!fitsWrapped) qtext = painter_.fontMetrics().elidedText(qtext, Qt::ElideRight, rc.Width());
  }
  painter_.drawText(ToQRect(rc), ToQtAlign(align), qtext);
  painter_.restore();
}

bool CPaintContext::DrawImage(const UIRect& rc, const std::string& description, UIColor tint,
                              int tintAlpha, bool colouring) {
  if (description.empty()) return true;
  auto desc = ParseImageDescription(description);
  if (!desc || desc->file.empty()) return false;
  UIRect target = rc;
  if (desc->dest) {
    // Skin coordinates, like every position in a layout: they grow with the DPI.
    const auto scale = [this](int v) { return manager_ ? manager_->Scale(v) : v; };
    target = UIRect{rc.left + scale(desc->dest->left), rc.top + scale(desc->dest->top),
                    rc.left + scale(desc->dest->right), rc.top + scale(desc->dest->bottom)};
  }
  // Source and corner are in file pixels, so a vector image is then drawn at its own size.
  bool filePixels = desc->source || desc->corner != UIRect{};
  QImage image = LoadSkinImage(desc->file, filePixels ? UISize{} : UISize{target.Width(), target.Height()});
  if (image.isNull()) return false;
  QRect src = desc->source ? ToQRect(*desc->source) : image.rect();
  src = src.intersected(image.rect());
  if (colouring && tintAlpha > 0) {
    QImage tinted = image.copy(src).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter tp(&tinted);
    tp.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    QColor c = ToQColor(tint | 0xFF000000u);
    c.setAlpha(std::clamp(tintAlpha, 0, 255));
    tp.fillRect(tinted.rect(), c);
    tp.end();
    image = tinted;
    src = image.rect();
  }
  painter_.save();
  painter_.setOpacity(desc->fade / 255.0);
  QRect dst = ToQRect(target);
  if (desc->xtiled || desc->ytiled) {
    painter_.setClipRect(dst, Qt::IntersectClip);
    int stepX = desc->xtiled ? src.width() : dst.width();
    int stepY = desc->ytiled ? src.height() : dst.height();
    for (int y = dst.top(); y <= dst.bottom() && stepY > 0; y += stepY) {
      for (int x = dst.left(); x <= dst.right() && stepX > 0; x += stepX) {
        painter_.drawImage(QRect(x, y, stepX, stepY), image, src);
      }
    }
  } else {
    DrawNinePart(painter_, dst, image, src, desc->corner);
  }
  painter_.restore();
  return true;
}

void CPaintContext::FillOverlay(const UIRect& rc, UIColor color, int alpha) {
  if (alpha <= 0) return;
  QColor c = ToQColor(color | 0xFF000000u);
  c.setAlpha(std::clamp(alpha, 0, 255));
  painter_.fillRect(ToQRect(rc), c);
}

}  // namespace vz::ui
