#pragma once
// The floating " img data" panel: the raw bytes of one detail-map block in
// hexadecimal boxes, with "keep changes" and "X". It can be dragged about the
// window by its caption or border; where it was left is kept in the settings.
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "core/editor/product_form.hpp"

class QGridLayout;
class QLabel;

namespace velmor {

class ImgDataPanel : public QFrame {
  Q_OBJECT
 public:
  explicit ImgDataPanel(QWidget* parent = nullptr);

  void showForm(const ProductForm& form);
  QPushButton* keepChangesButton() const { return keepChanges_; }
  QPushButton* closeButton() const { return close_; }
  int boxCount() const { return static_cast<int>(boxes_.size()); }
  QLineEdit* box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }

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
  void rebuildBoxes(std::size_t count);
  QLabel* caption_ = nullptr;
  QWidget* boxArea_ = nullptr;
  QGridLayout* boxGrid_ = nullptr;
  QPushButton* keepChanges_ = nullptr;
  QPushButton* close_ = nullptr;
  std::vector<QLineEdit*> boxes_;
  bool dragging_ = false;
  QPoint pressPoint_;
};

}  // namespace velmor
