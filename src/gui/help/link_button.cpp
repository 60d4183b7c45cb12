#include "link_button.hpp"

namespace velmor {

namespace {

// The console colours 13 and 9.
const QColor kHoverColour(0xFF, 0x00, 0xFF);
const QColor kRestColour(0x00, 0x00, 0xFF);

}  // namespace

LinkButton::LinkButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
  setFlat(true);
  setAutoDefault(false);
  setCursor(Qt::PointingHandCursor);
  setColour(kRestColour);
}

void LinkButton::setColour(const QColor& colour) {
  colour_ = colour;
  setStyleSheet(QStringLiteral("QPushButton { color: %1; border: none; text-decoration: underline; "
                               "text-align: left; padding: 2px; }")
                    .arg(colour.name()));
}

void LinkButton::enterEvent(QEnterEvent* event) {
  setColour(kHoverColour);
  QPushButton::enterEvent(event);
}

void LinkButton::leaveEvent(QEvent* event) {
  setColour(kRestColour);
  QPushButton::leaveEvent(event);
}

}  // namespace velmor
