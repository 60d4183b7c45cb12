#include "plot_captions.hpp"

#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

constexpr int kCell = 4;     // occupancy cells, pixels
constexpr double kPadX = 2;  // text inset inside a label
constexpr double kPadY = 1;
constexpr double kBesideGap = 3;  // between a tiny label and its caption
const QChar kEllipsis(0x2026);

// A cut text that still says something: more than the ellipsis alone.
bool readable(const QString& cut) { return !cut.isEmpty() && cut != QString(kEllipsis); }

}  // namespace

CaptionLayout::CaptionLayout(QSize area, const QFontMetricsF& metrics)
    : area_(area),
      metrics_(metrics),
      line_(metrics.height()),
      least_(2 * metrics.averageCharWidth()),
      averageCharacter_(metrics.averageCharWidth()),
      columns_(std::max(0, area.width()) / kCell + 1),
      rows_(std::max(0, area.height()) / kCell + 1),
      taken_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false) {}

bool CaptionLayout::roomNear(const QRectF& label, std::size_t characters) const {
  const QRectF room = label.adjusted(kPadX, kPadY, -kPadX, -kPadY);
  if (room.height() >= line_ && room.width() >= least_) {
    return isFree(QRectF(room.left(), room.top(), least_, line_));
  }
  // Beside the label: about as wide as the text will be.
  const double width = std::clamp(static_cast<double>(characters) * averageCharacter_, least_, kBesideMaxWidth);
  const double top = label.center().y() - line_ / 2;
  double left = label.right() + kBesideGap;
  if (left + width > area_.width()) left = label.left() - kBesideGap - width;
  return left >= 0 && isFree(QRectF(left, top, width, line_));
}

std::optional<PlacedCaption> CaptionLayout::place(const QRectF& label, const QString& description,
                                                  const QString& imgName) {
  const QString first = description.trimmed().isEmpty() ? imgName : description;
  if (first.trimmed().isEmpty()) return std::nullopt;
  const QString second = first == imgName ? QString() : imgName;
  std::optional<PlacedCaption> placed = inside(label, first, second);
  for (const QRectF& r : reserved_) {
    if (!placed || !placed->box.intersects(r)) continue;
    // Under a button: the same caption just below it, still in the label.
    QRectF lower = label;
    lower.setTop(std::max(label.top(), r.bottom() + 1));
    placed = lower.height() > 0 ? inside(lower, first, second) : std::nullopt;
  }
  if (!placed) placed = beside(label, first);
  if (!placed || !isFree(placed->box)) return std::nullopt;
  take(placed->box);
  return placed;
}

std::optional<PlacedCaption> CaptionLayout::inside(const QRectF& label, const QString& description,
                                                   const QString& imgName) const {
  const QRectF room = label.adjusted(kPadX, kPadY, -kPadX, -kPadY);
  const double line = metrics_.height();
  if (room.height() < line || room.width() <= 0) return std::nullopt;
  PlacedCaption caption;
  const QString top = metrics_.elidedText(description, Qt::ElideRight, room.width());
  if (!readable(top)) return std::nullopt;
  caption.lines << top;
  if (!imgName.isEmpty() && room.height() >= 2 * line) {
    const QString below = metrics_.elidedText(imgName, Qt::ElideRight, room.width());
    if (readable(below)) caption.lines << below;
  }
  double width = 0;
  for (const QString& text : caption.lines) width = std::max(width, metrics_.horizontalAdvance(text));
  caption.box = QRectF(room.left(), room.top(), std::min(width, room.width()), line * caption.lines.size());
  return caption;
}

std::optional<PlacedCaption> CaptionLayout::beside(const QRectF& label, const QString& text) const {
  const double line = metrics_.height();
  const QString cut = metrics_.elidedText(text, Qt::ElideRight, kBesideMaxWidth);
  if (!readable(cut)) return std::nullopt;
  const double width = metrics_.horizontalAdvance(cut);
  const double top = std::clamp(label.center().y() - line / 2, 0.0, std::max(0.0, area_.height() - line));
  // Right of the label, or left of it at the right edge of the picture.
  double left = label.right() + kBesideGap;
  if (left + width > area_.width()) left = label.left() - kBesideGap - width;
  if (left < 0) return std::nullopt;
  PlacedCaption caption;
  caption.lines << cut;
  caption.box = QRectF(left, top, width, line);
  caption.beside = true;
  return caption;
}

template <typename Visit>
bool CaptionLayout::everyCell(const QRectF& box, Visit visit) const {
  const QRectF shown = box.intersected(QRectF(0, 0, area_.width(), area_.height()));
  if (shown.isEmpty()) return false;
  const int x0 = static_cast<int>(shown.left()) / kCell;
  const int x1 = std::min(columns_ - 1, static_cast<int>(shown.right()) / kCell);
  const int y0 = static_cast<int>(shown.top()) / kCell;
  const int y1 = std::min(rows_ - 1, static_cast<int>(shown.bottom()) / kCell);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (!visit(static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(x)))
        return false;
  return true;
}

void CaptionLayout::reserve(const QRectF& box) {
  reserved_.push_back(box);
  take(box);
}

bool CaptionLayout::isFree(const QRectF& box) const {
  return everyCell(box, [&](std::size_t cell) { return !taken_[cell]; });
}

void CaptionLayout::take(const QRectF& box) {
  everyCell(box, [&](std::size_t cell) { return taken_[cell] = true; });
}

double contrastOnWhite(const QColor& colour) {
  auto channel = [](int value) {
    const double v = value / 255.0;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  const double luminance =
      0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) + 0.0722 * channel(colour.blue());
  return 1.05 / (luminance + 0.05);
}

QColor outlineColour(const QColor& colour) {
  QColor shade = colour;
  // Scaling all three channels keeps the hue, so neighbouring tiles still
  // differ as the palette meant them to.
  while (contrastOnWhite(shade) < 3.0) {
    shade = QColor(static_cast<int>(shade.red() * 0.9), static_cast<int>(shade.green() * 0.9),
                   static_cast<int>(shade.blue() * 0.9));
  }
  return shade;
}

}  // namespace velmor
