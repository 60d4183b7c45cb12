#include "plot_widget.hpp"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <array>
#include <cmath>

#include "core/editor/plot_raster.hpp"
#include "core/editor/tile_selection.hpp"
#include "core/product/tile_texts.hpp"
#include "core/settings/settings.hpp"
#include "plot_captions.hpp"

namespace velmor {

namespace {

constexpr double kPlotTwipsPerPixel = 15.0;
const char* kPanHint = "Use Arrow Keys to move map ";
// Characters of a tile description, for the cheap look at a label's room.
constexpr std::size_t kTypicalCaptionLength = 8;

}  // namespace

QColor colourFromBgr(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

PlotWidget::PlotWidget(const ProductForm& form, const ProductFile& file, QWidget* parent)
    : QWidget(parent),
      form_(form),
      file_(file),
      highlightFill_(static_cast<std::uint32_t>(kDefaultBlockColour)),
      highlightBorder_(static_cast<std::uint32_t>(kDefaultBlockBorderColour)) {
  setObjectName("plot");
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
  setToolTip(QString::fromLatin1(kPanHint));
  setAccessibleName(QStringLiteral("Map plot"));
  setAccessibleDescription(QString::fromLatin1(kPanHint));

  zoomIn_ = new QPushButton(QStringLiteral("+"), this);
  zoomIn_->setObjectName("zoomIn");
  zoomOut_ = new QPushButton(QStringLiteral("-"), this);
  zoomOut_->setObjectName("zoomOut");
  // The captions are "+" and "-"; read out, they say what they do.
  zoomIn_->setAccessibleDescription(QStringLiteral("Zoom in"));
  zoomOut_->setAccessibleDescription(QStringLiteral("Zoom out"));
  int x = 2;
  for (QPushButton* button : {zoomIn_, zoomOut_}) {
    button->setToolTip(QString::fromLatin1(kPanHint));
    // Reached with Tab, but a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(x, 2, 24, 24);
    x += 26;
  }
  connect(zoomIn_, &QPushButton::clicked, this, &PlotWidget::zoomInPressed);
  connect(zoomOut_, &QPushButton::clicked, this, &PlotWidget::zoomOutPressed);
}

void PlotWidget::setTiles() {
  tiles_ = {};  // the last file's bounds go before the new ones are worked out
  tiles_ = plotTiles(form_.detailMaps);
  replot();
}

void PlotWidget::replot() {
  boxesStale_ = true;
  drawingStale_ = true;
  ++replotCount_;
  update();
}

void PlotWidget::refreshSelection() { update(); }

void PlotWidget::setHighlightColours(std::uint32_t fill, std::uint32_t border) {
  highlightFill_ = fill;
  highlightBorder_ = border;
  update();
}

PlotArea PlotWidget::plotArea() const {
  return {static_cast<int>(width() * kPlotTwipsPerPixel), static_cast<int>(height() * kPlotTwipsPerPixel), form_.zoom,
          form_.panX, form_.panY};
}

void PlotWidget::ensureBoxes() const {
  if (!boxesStale_ && boxesSize_ == size()) return;
  if (tiles_.size() != form_.detailMaps.size()) {
    tiles_ = {};
    tiles_ = plotTiles(form_.detailMaps);
  }
  plotLabels(file_.overallBounds, tiles_, plotArea(), boxes_);
  boxesSize_ = size();
  boxesStale_ = false;
  ++boxesVersion_;
}

QRectF PlotWidget::pixelRect(const PlotLabel& box) const {
  return {box.left / kPlotTwipsPerPixel, box.top / kPlotTwipsPerPixel, box.width / kPlotTwipsPerPixel,
          box.height / kPlotTwipsPerPixel};
}

QRect PlotWidget::labelRect(int label) const {
  ensureBoxes();
  const auto i = static_cast<std::size_t>(label - 1);
  if (label < 1 || i >= boxes_.size() || !boxes_[i].drawn) return {};
  return pixelRect(boxes_[i]).toRect();
}

int PlotWidget::labelAt(QPoint point) const {
  ensureBoxes();
  const double x = point.x() * kPlotTwipsPerPixel;
  const double y = point.y() * kPlotTwipsPerPixel;
  std::vector<int> under;
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const PlotLabel& b = boxes_[i];
    // A label of zero width or height still takes clicks on its edge pixel.
    if (b.drawn && x >= b.left - kPlotTwipsPerPixel / 2 && x <= b.left + b.width + kPlotTwipsPerPixel / 2 &&
        y >= b.top - kPlotTwipsPerPixel / 2 && y <= b.top + b.height + kPlotTwipsPerPixel / 2) {
      under.push_back(static_cast<int>(i) + 1);
    }
  }
  return topLabel(form_, under);
}

void PlotWidget::reserveControls(CaptionLayout& layout) const {
  // "+", "-" and the colour sample stand on the picture.
  for (const QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (child->isVisibleTo(this)) layout.reserve(QRectF(child->geometry()));
  }
}

bool PlotWidget::drawCaption(QPainter& painter, const QRectF& rect, int tile, CaptionLayout& layout) const {
  // A first look with a typical caption length before the tile's texts are
  // made from its block: most labels of a large product find no room.
  if (!layout.roomNear(rect, kTypicalCaptionLength)) return false;
  const auto placed = layout.place(rect, QString::fromStdString(tileListText(file_, form_, tile)),
                                   QString::fromStdString(tileImgName(file_, form_, tile)));
  if (!placed) return false;
  const double line = QFontMetricsF(painter.font()).height();
  QRectF row(placed->box.left(), placed->box.top(), placed->box.width() + 1, line);
  for (const QString& text : placed->lines) {
    painter.drawText(row, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    row.translate(0, line);
  }
  return true;
}

void PlotWidget::render() {
  if (drawing_.size() != size()) drawing_ = QImage(size(), QImage::Format_RGB32);
  // The outlines, one batch per palette colour, as one picture: its cost
  // does not grow with the size of the outlines, however many overlap.
  const OutlineRaster raster = rasterOutlines(boxes_, width(), height(), kPlotTwipsPerPixel);
  std::array<QRgb, kOutlineBatches> palette{};
  // Pale palette colours are drawn darker: silver on white is all but gone.
  for (int c = 0; c < kOutlineBatches; ++c)
    palette[static_cast<std::size_t>(c)] = outlineColour(colourFromBgr(classicColour(c))).rgb();
  const QRgb white = QColor(Qt::white).rgb();
  for (int y = 0; y < raster.height && y < drawing_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(drawing_.scanLine(y));
    for (int x = 0; x < raster.width && x < drawing_.width(); ++x) {
      const int c = raster.at(x, y);
      line[x] = c < 0 ? white : palette[static_cast<std::size_t>(c)];
    }
  }
  QPainter painter(&drawing_);
  const QRectF visible(-1, -1, width() + 2, height() + 2);
  std::vector<int> captioned;  // tiles in view, in file order
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const PlotLabel& b = boxes_[i];
    if (!b.drawn) continue;
    if (!visible.intersects(pixelRect(b).adjusted(-1, -1, 1, 1))) continue;
    captioned.push_back(static_cast<int>(i));
  }
  painter.setPen(Qt::black);
  CaptionLayout layout(size(), QFontMetricsF(painter.font()));
  reserveControls(layout);
  captionCount_ = 0;
  for (int tile : captioned) {
    if (drawCaption(painter, pixelRect(boxes_[static_cast<std::size_t>(tile)]), tile, layout)) ++captionCount_;
  }
  drawingStale_ = false;
  drawnVersion_ = boxesVersion_;
}

void PlotWidget::paintEvent(QPaintEvent*) {
  ensureBoxes();
  if (drawingStale_ || drawnVersion_ != boxesVersion_ || drawing_.size() != size()) render();
  QPainter painter(this);
  painter.drawImage(0, 0, drawing_);
  const TileState& s = form_.tileState;
  const QRect highlight = labelRect(s.highlightLabel);
  if (s.highlightShown && !highlight.isNull()) {
    painter.setPen(QPen(colourFromBgr(highlightBorder_), 1));
    painter.setBrush(colourFromBgr(highlightFill_));
    painter.drawRect(highlight);
    // The current tile is always named, over whatever caption lies there:
    // in black or white, whichever stands out on the fill, and in the part
    // of the tile that is in view.
    const QColor fill = colourFromBgr(highlightFill_);
    painter.setPen(contrastOnWhite(fill) < 4.5 ? Qt::black : Qt::white);
    CaptionLayout alone(size(), QFontMetricsF(painter.font()));
    reserveControls(alone);
    drawCaption(painter, QRectF(highlight).intersected(QRectF(rect())), s.highlightLabel - 1, alone);
  }
}

void PlotWidget::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  const int label = labelAt(event->position().toPoint());
  if (label == 0) {
    if (event->button() == Qt::LeftButton) emit backgroundClicked();
    return;
  }
  if (event->button() == Qt::LeftButton) emit labelClicked(label);
  if (event->button() == Qt::RightButton) emit labelRightClicked(label);
}

void PlotWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int label = labelAt(event->position().toPoint());
  if (label != 0) emit labelDoubleClicked(label);
}

void PlotWidget::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      emit arrowKey(event->key());
      event->accept();
      return;
    default: QWidget::keyPressEvent(event);
  }
}

bool PlotWidget::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int label = labelAt(help->pos());
    const QString tip = label == 0 ? QString::fromLatin1(kPanHint)
                                   : QString::fromStdString(tileTexts(file_, form_, label - 1).tooltip())
                                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QToolTip::showText(help->globalPos(), tip, this);
    return true;
  }
  return QWidget::event(event);
}

}  // namespace velmor
