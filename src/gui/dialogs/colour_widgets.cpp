#include "colour_widgets.hpp"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "plot/plot_widget.hpp"

namespace velmor {

namespace {

constexpr int kPointerWidth = 9;
constexpr int kPointerHeight = 7;
constexpr int kStripTop = kPointerHeight + 1;
constexpr int kStripHeight = 20;
// Where a click on the strip reads its colour.
constexpr int kStripSampleRow = 5;
constexpr int kMarkerRadius = 5;

}  // namespace

ColourSwatch::ColourSwatch(Colour colour, QWidget* parent) : QAbstractButton(parent), colour_(colour) {
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  setAccessibleDescription(QStringLiteral("#") + QString::fromStdString(hexText(colour_)));
}

void ColourSwatch::setColour(Colour colour) {
  colour_ = colour;
  setAccessibleDescription(QStringLiteral("#") + QString::fromStdString(hexText(colour_)));
  update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(hasFocus() ? QPen(palette().highlight().color(), 2) : QPen(Qt::darkGray, 1));
  painter.setBrush(colourFromBgr(static_cast<std::uint32_t>(colour_)));
  painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

SpectrumPicture::SpectrumPicture(QWidget* parent)
    : QWidget(parent), picture_(kSpectrumWidth, kSpectrumHeight, QImage::Format_RGB888) {
  setFixedSize(kSpectrumWidth, kSpectrumHeight);
  setCursor(Qt::CrossCursor);
  for (int y = 0; y < kSpectrumHeight; ++y)
    for (int x = 0; x < kSpectrumWidth; ++x)
      picture_.setPixelColor(x, y, colourFromBgr(static_cast<std::uint32_t>(spectrumColour(x, y))));
}

void SpectrumPicture::useCursorFile(const QString& path) {
  if (!QFileInfo::exists(path)) return;
  const QPixmap cursor(path);
  if (!cursor.isNull()) setCursor(QCursor(cursor));
}

void SpectrumPicture::setMarker(MarkerPosition at, bool shown) {
  marker_ = at;
  markerShown_ = shown;
  update();
}

Colour SpectrumPicture::pixelAt(QPoint point) const {
  if (!picture_.rect().contains(point)) return -1;
  const QColor c = picture_.pixelColor(point);
  return rgbColour(c.red(), c.green(), c.blue());
}

MarkerPosition SpectrumPicture::shareOf(QPoint point) const {
  return {static_cast<double>(point.x()) / kSpectrumWidth, static_cast<double>(point.y()) / kSpectrumHeight};
}

void SpectrumPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
  if (!markerShown_) return;
  // Colours darker than the picture's bottom row keep the marker on its edge.
  const int x = std::clamp(static_cast<int>(marker_.x * kSpectrumWidth), 0, kSpectrumWidth - 1);
  const int y = std::clamp(static_cast<int>(marker_.y * kSpectrumHeight), 0, kSpectrumHeight - 1);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawEllipse(QPoint(x, y), kMarkerRadius, kMarkerRadius);
  painter.setPen(QPen(Qt::white, 1));
  painter.drawEllipse(QPoint(x, y), kMarkerRadius - 2, kMarkerRadius - 2);
}

void SpectrumPicture::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit pressed(event->position().toPoint());
}

void SpectrumPicture::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) emit dragged(event->position().toPoint());
}

void SpectrumPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit released();
}

ShadeStripView::ShadeStripView(QWidget* parent)
    : QWidget(parent), strip_(kShadeStripUnits, kStripHeight, QImage::Format_RGB888) {
  setFixedSize(kShadeStripUnits + kPointerWidth, kStripTop + kStripHeight);
  setCursor(Qt::PointingHandCursor);
  strip_.fill(Qt::black);
}

int ShadeStripView::stripLeft() { return kPointerWidth / 2; }

void ShadeStripView::setStrip(const ShadeStrip& strip, Colour colour) {
  strip_.fill(colourFromBgr(static_cast<std::uint32_t>(colour)));
  QPainter painter(&strip_);
  for (const ShadeBox& box : strip.boxes)
    painter.fillRect(box.unit * unitWidth(), 0, kShadeBoxUnits * unitWidth(), kStripHeight,
                     colourFromBgr(static_cast<std::uint32_t>(box.colour)));
  update();
}

void ShadeStripView::setPointer(int unit) {
  pointer_ = std::clamp(unit, 0, kShadeStripUnits - 1);
  update();
}

Colour ShadeStripView::colourAtUnit(int unit) const {
  const int x = unit * unitWidth();
  if (x < 0 || x >= strip_.width()) return -1;
  const QColor c = strip_.pixelColor(x, kStripSampleRow);
  return rgbColour(c.red(), c.green(), c.blue());
}

void ShadeStripView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(stripLeft(), kStripTop, strip_);
  // The pointer is a small triangle standing over its unit.
  const int x = stripLeft() + pointer_ * unitWidth();
  const QPoint tip[3] = {{x, kStripTop - 1}, {x - kPointerWidth / 2, 0}, {x + kPointerWidth / 2, 0}};
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::black);
  painter.setBrush(palette().windowText());
  painter.drawPolygon(tip, 3);
}

void ShadeStripView::pickAt(int x) {
  if (x < stripLeft()) return;
  const int unit = (x - stripLeft()) / unitWidth();
  if (unit < 0 || unit >= kShadeStripUnits) return;
  emit picked(unit);
}

void ShadeStripView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) pickAt(event->position().toPoint().x());
}

void ShadeStripView::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) pickAt(event->position().toPoint().x());
}

}  // namespace velmor
