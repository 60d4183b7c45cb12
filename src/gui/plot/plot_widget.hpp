#pragma once
// The map plot: every tile as a coloured outline in its geographic place,
// with its label (caption, tool tip, clicks) drawn and hit-tested here rather
// than as one widget per tile, so a product of 350,000 tiles stays one
// widget. The drawing is kept in an image between re-plots, so uncovering
// the window or moving the highlight does not recompute anything.
#include <QImage>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "core/editor/plot_geometry.hpp"
#include "core/product/product_form.hpp"
#include "core/product/product_file.hpp"

namespace velmor {

class CaptionLayout;

class PlotWidget : public QWidget {
  Q_OBJECT
 public:
  PlotWidget(const ProductForm& form, const ProductFile& file, QWidget* parent = nullptr);

  // The tiles were replaced (a load) or a tile's bounds record changed.
  void setTiles();
  // Redraws everything for the current size, zoom and pan.
  void replot();
  // The highlight or a caption changed: repaint without re-plotting.
  void refreshSelection();

  // blockColour and blockBorderColour, 0x00BBGGRR.
  void setHighlightColours(std::uint32_t fill, std::uint32_t border);
  std::uint32_t highlightFill() const { return highlightFill_; }
  std::uint32_t highlightBorder() const { return highlightBorder_; }

  // The drawing area in twips, with the form's zoom and pan.
  PlotArea plotArea() const;
  const std::vector<PlotLabel>& boxes() const {
    ensureBoxes();
    return boxes_;
  }
  // Label n (1-based) in pixels; empty when not drawn.
  QRect labelRect(int label) const;
  // The top-most label under a point (pixels), 0 for none.
  int labelAt(QPoint point) const;
  int replotCount() const { return replotCount_; }
  // Captions written by the last drawing.
  int captionCount() const { return captionCount_; }

  QPushButton* zoomInButton() const { return zoomIn_; }
  QPushButton* zoomOutButton() const { return zoomOut_; }

 signals:
  void labelClicked(int label);
  void labelRightClicked(int label);
  void labelDoubleClicked(int label);
  void backgroundClicked();
  void zoomInPressed();
  void zoomOutPressed();
  // An arrow key while the plot holds the focus (Qt::Key_Left ...).
  void arrowKey(int key);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Geometry follows the widget's size and the form; computed when asked for.
  void ensureBoxes() const;
  void render();
  QRectF pixelRect(const PlotLabel& box) const;
  // Writes tile's caption where the layout finds room; false when none.
  bool drawCaption(QPainter& painter, const QRectF& rect, int tile, CaptionLayout& layout) const;
  void reserveControls(CaptionLayout& layout) const;

  const ProductForm& form_;
  const ProductFile& file_;
  mutable std::vector<PlotTile> tiles_;
  mutable std::vector<PlotLabel> boxes_;
  mutable QSize boxesSize_;
  mutable bool boxesStale_ = true;
  mutable int boxesVersion_ = 0;
  int drawnVersion_ = -1;
  QImage drawing_;
  bool drawingStale_ = true;
  std::uint32_t highlightFill_;
  std::uint32_t highlightBorder_;
  QPushButton* zoomIn_ = nullptr;
  QPushButton* zoomOut_ = nullptr;
  int replotCount_ = 0;
  int captionCount_ = 0;
};

// 0x00BBGGRR as a colour.
QColor colourFromBgr(std::uint32_t value);

}  // namespace velmor
