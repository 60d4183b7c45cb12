#include "extra_byte_boxes.hpp"

#include <QEvent>
#include <QKeyEvent>

#include "core/editor/field_rules.hpp"
#include "twips.hpp"

namespace velmor {

namespace {
constexpr QSize kBoxSize(26, 20);
constexpr QPoint kFirstBox(0, 0);
}  // namespace

ExtraByteBoxes::ExtraByteBoxes(QWidget* parent) : QWidget(parent) {
  setObjectName("extraByteBoxes");
  const auto places = extraBoxPositions(kFirstBox, kBoxSize, kExtraByteBoxes);
  int right = 0;
  int bottom = 0;
  for (int k = 1; k <= kExtraByteBoxes; ++k) {
    auto* edit = new QLineEdit(QStringLiteral("00"), this);
    edit->setObjectName(QStringLiteral("extraByte%1").arg(k));
    edit->setMaxLength(2);
    edit->setAlignment(Qt::AlignCenter);
    edit->setToolTip(QStringLiteral("Byte %1").arg(k));
    edit->setAccessibleName(QStringLiteral("Extra byte %1").arg(k));
    edit->setGeometry(QRect(places[static_cast<std::size_t>(k - 1)], kBoxSize));
    edit->setTextMargins(0, 0, 0, 0);
    edit->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textEdited, this, [this, k](const QString& text) { emit boxEdited(k, text); });
    boxes_[static_cast<std::size_t>(k)] = edit;
    right = std::max(right, edit->geometry().right() + 1);
    bottom = std::max(bottom, edit->geometry().bottom() + 1);
  }
  extent_ = QSize(right, bottom);
  setFixedSize(extent_);
}

bool ExtraByteBoxes::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (edit) {
      const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
      for (int k = 1; k <= kExtraByteBoxes; ++k) {
        if (boxes_[static_cast<std::size_t>(k)] != edit) continue;
        if (auto next = extraByteFocus(k, enter, static_cast<int>(edit->selectedText().size()))) {
          box(*next)->setFocus();
          box(*next)->selectAll();
        }
        break;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ExtraByteBoxes::showForm(const ProductForm& form) {
  for (int k = 1; k <= kExtraByteBoxes; ++k) {
    const ExtraByteBox& shown = form.extraBytes[static_cast<std::size_t>(k)];
    QLineEdit* edit = box(k);
    const QString text = QString::fromStdString(shown.text);
    if (edit->text() != text) edit->setText(text);
    edit->setReadOnly(!shown.enabled);
    if (edit->property("tailBox").isValid() && edit->property("tailBox").toBool() == shown.enabled) continue;
    edit->setProperty("tailBox", shown.enabled);
    // Boxes past the tail are greyed, not hidden: the row keeps its shape.
    edit->setStyleSheet(shown.enabled
                            ? QStringLiteral("QLineEdit { padding: 0px; }")
                            : QStringLiteral("QLineEdit { padding: 0px; background-color: rgb(200, 200, 180); }"));
  }
}

}  // namespace velmor
