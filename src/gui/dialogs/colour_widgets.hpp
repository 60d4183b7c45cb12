#pragma once
// The pictures of the colour chooser: a clickable swatch, the spectrum the
// program draws itself with its marker, and the shade strip with its pointer.
// They show what ColourChooser holds and report where the mouse went.
#include <QAbstractButton>
#include <QImage>
#include <QWidget>

#include "core/editor/colour.hpp"

namespace velmor {

class ColourSwatch : public QAbstractButton {
  Q_OBJECT
 public:
  explicit ColourSwatch(Colour colour, QWidget* parent = nullptr);
  Colour colour() const { return colour_; }
  void setColour(Colour colour);
  QSize sizeHint() const override { return {30, 22}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Colour colour_;
};

class SpectrumPicture : public QWidget {
  Q_OBJECT
 public:
  explicit SpectrumPicture(QWidget* parent = nullptr);
  // The marker's centre as shares of the picture (kept inside it when drawn).
  void setMarker(MarkerPosition at, bool shown);
  // The colour of the pixel at a point, -1 outside the picture.
  Colour pixelAt(QPoint point) const;
  MarkerPosition shareOf(QPoint point) const;
  // The pointer shown over the picture: the cursor file when there is one.
  void useCursorFile(const QString& path);

 signals:
  void pressed(QPoint point);
  void dragged(QPoint point);
  void released();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
  MarkerPosition marker_;
  bool markerShown_ = true;
};

class ShadeStripView : public QWidget {
  Q_OBJECT
 public:
  explicit ShadeStripView(QWidget* parent = nullptr);
  // Draws the strip anew; the gap in the middle shows the colour itself.
  void setStrip(const ShadeStrip& strip, Colour colour);
  void setPointer(int unit);
  int pointerUnit() const { return pointer_; }
  // The strip's colour at a horizontal position (5 pixels from its top).
  Colour colourAtUnit(int unit) const;
  // The strip's left edge inside the widget, in pixels.
  static int stripLeft();
  static int unitWidth() { return 1; }

 signals:
  void picked(int unit);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void pickAt(int x);
  QImage strip_;
  int pointer_ = 0;
};

}  // namespace velmor
