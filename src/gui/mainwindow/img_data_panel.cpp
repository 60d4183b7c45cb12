#include "img_data_panel.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QVBoxLayout>

namespace velmor {

namespace {
constexpr int kBoxesPerRow = 16;
}

ImgDataPanel::ImgDataPanel(QWidget* parent) : QFrame(parent) {
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

  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  boxArea_ = new QWidget(scroll);
  boxGrid_ = new QGridLayout(boxArea_);
  boxGrid_->setSpacing(2);
  boxGrid_->setContentsMargins(0, 0, 0, 0);
  scroll->setWidget(boxArea_);
  column->addWidget(scroll, 1);
  resize(16 * 30 + 40, 220);
  hide();
}

void ImgDataPanel::rebuildBoxes(std::size_t count) {
  for (QLineEdit* edit : boxes_) delete edit;
  boxes_.clear();
  for (std::size_t k = 0; k < count; ++k) {
    auto* edit = new QLineEdit(boxArea_);
    edit->setFixedWidth(28);
    edit->setAlignment(Qt::AlignCenter);
    edit->setMaxLength(2);
    const int index = static_cast<int>(k);
    connect(edit, &QLineEdit::textEdited, this, [this, index](const QString& text) {
      emit boxEdited(index, text);
      // A full box hands the focus on, so bytes can be typed in one go.
      if (text.size() >= 2 && index + 1 < boxCount()) box(index + 1)->setFocus();
    });
    boxGrid_->addWidget(edit, index / kBoxesPerRow, index % kBoxesPerRow);
    boxes_.push_back(edit);
  }
}

void ImgDataPanel::showForm(const ProductForm& form) {
  if (boxes_.size() != form.rawBlockBoxes.size()) rebuildBoxes(form.rawBlockBoxes.size());
  for (std::size_t k = 0; k < boxes_.size(); ++k) {
    const QString text = QString::fromStdString(form.rawBlockBoxes[k]);
    if (boxes_[k]->text() != text) boxes_[k]->setText(text);
  }
  keepChanges_->setEnabled(form.keepChangesEnabled);
  if (form.rawBlockPanelShown && !isVisible()) {
    show();
    raise();
  } else if (!form.rawBlockPanelShown && isVisible()) {
    hide();
  }
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
  QPoint topLeft = inParent - pressPoint_;
  // Keep the caption reachable: the panel never leaves the window entirely.
  const QRect area = parentWidget()->rect();
  topLeft.setX(std::clamp(topLeft.x(), area.left() - width() + 40, area.right() - 40));
  topLeft.setY(std::clamp(topLeft.y(), area.top(), area.bottom() - 20));
  move(topLeft);
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
