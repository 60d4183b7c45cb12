#include "img_data_panel.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "tiles/byte_grid_view.hpp"

namespace velmor {

ImgDataPanel::ImgDataPanel(const ProductForm& form, QWidget* parent) : QFrame(parent) {
  setObjectName("imgDataPanel");
  setFrameShape(QFrame::Panel);
  setFrameShadow(QFrame::Raised);
  setLineWidth(3);
  setAutoFillBackground(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 4, 6, 6);

  auto* top = new QHBoxLayout;
  caption_ = new QLabel(QStringLiteral(" img data"), this);
  caption_->setObjectName("imgDataCaption");
  // Presses on the caption fall through to the panel, which starts the drag.
  caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
  caption_->setCursor(Qt::SizeAllCursor);
  top->addWidget(caption_, 1);
  keepChanges_ = new QPushButton(QStringLiteral("keep changes"), this);
  keepChanges_->setObjectName("keepChangesButton");
  keepChanges_->setEnabled(false);
  top->addWidget(keepChanges_);
  close_ = new QPushButton(QStringLiteral("X"), this);
  close_->setObjectName("imgDataClose");
  close_->setFixedWidth(28);
  top->addWidget(close_);
  column->addLayout(top);
  connect(keepChanges_, &QPushButton::clicked, this, &ImgDataPanel::keepChangesPressed);
  connect(close_, &QPushButton::clicked, this, &ImgDataPanel::closePressed);

  grid_ = new ByteGridView(form, this);
  grid_->setAccessibleName(QStringLiteral("img data bytes"));
  connect(grid_, &ByteGridView::boxEdited, this, &ImgDataPanel::boxEdited);
  column->addWidget(grid_, 1);
  resize(16 * 28 + 70, 240);
  hide();
}

void ImgDataPanel::showForm(const ProductForm& form) {
  // A new block resets the grid; edits of the shown block only repaint it.
  if (shownCount_ != form.rawBlockBoxes.size()) {
    shownCount_ = form.rawBlockBoxes.size();
    grid_->showForm();
  } else {
    grid_->viewport()->update();
  }
  keepChanges_->setEnabled(form.keepChangesEnabled);
  if (form.rawBlockPanelShown && !isVisible()) {
    show();
    raise();
  } else if (!form.rawBlockPanelShown && isVisible()) {
    hide();
  }
}

QPoint ImgDataPanel::placedInside(QPoint wanted, QSize panel, const QRect& area) {
  const int x = std::clamp(wanted.x(), area.left(), std::max(area.left(), area.right() + 1 - panel.width()));
  const int y = std::clamp(wanted.y(), area.top(), std::max(area.top(), area.bottom() + 1 - panel.height()));
  return {x, y};
}

void ImgDataPanel::keepInside() {
  if (parentWidget() != nullptr) move(placedInside(pos(), size(), parentWidget()->rect()));
}

void ImgDataPanel::mousePressEvent(QMouseEvent* event) {
  // Only the caption row and the border start a drag; the boxes take their own clicks.
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    pressPoint_ = event->position().toPoint();
    raise();
    event->accept();
    return;
  }
  QFrame::mousePressEvent(event);
}

void ImgDataPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !parentWidget()) {
    QFrame::mouseMoveEvent(event);
    return;
  }
  const QPoint inParent = mapToParent(event->position().toPoint());
  move(placedInside(inParent - pressPoint_, size(), parentWidget()->rect()));
  event->accept();
}

void ImgDataPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    emit moved(pos());
    event->accept();
    return;
  }
  QFrame::mouseReleaseEvent(event);
}

}  // namespace velmor
