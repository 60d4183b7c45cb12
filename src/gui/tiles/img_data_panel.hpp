#pragma once
// The floating " img data" panel: the raw bytes of one detail-map block in
// hexadecimal boxes, with "keep changes" and "X". It can be dragged about the
// window by its caption or border; where it was left is kept in the settings.
#include <QFrame>
#include <QPushButton>

#include "core/product/product_form.hpp"

class QLabel;

namespace velmor {

class ByteGridView;

class ImgDataPanel : public QFrame {
  Q_OBJECT
 public:
  explicit ImgDataPanel(const ProductForm& form, QWidget* parent = nullptr);

  void showForm(const ProductForm& form);
  QPushButton* keepChangesButton() const { return keepChanges_; }
  QPushButton* closeButton() const { return close_; }
  ByteGridView* grid() const { return grid_; }
  int boxCount() const { return static_cast<int>(shownCount_); }

  // Where the panel goes when it is wanted at `wanted`: wholly inside
  // `area` (its top-left corner inside, when the area is the smaller).
  static QPoint placedInside(QPoint wanted, QSize panel, const QRect& area);
  // Moves the panel back inside its window, wherever it was put.
  void keepInside();

 signals:
  void boxEdited(int index, const QString& text);
  void keepChangesPressed();
  void closePressed();
  // The panel was dropped at a new place (in the window's coordinates).
  void moved(QPoint topLeft);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLabel* caption_ = nullptr;
  ByteGridView* grid_ = nullptr;
  std::size_t shownCount_ = 0;
  QPushButton* keepChanges_ = nullptr;
  QPushButton* close_ = nullptr;
  bool dragging_ = false;
  QPoint pressPoint_;
};

}  // namespace velmor
