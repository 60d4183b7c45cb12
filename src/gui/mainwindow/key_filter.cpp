#include "key_filter.hpp"

#include <QKeyEvent>

namespace velmor {

KeyFilter::KeyFilter(QObject* box, Rule rule) : QObject(box), rule_(std::move(rule)) { box->installEventFilter(this); }

char32_t KeyFilter::keyCharacter(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Delete:
      // The Delete key edits the box but types no character; the change
      // still reaches the form as an edit.
      return 0;
    default: break;
  }
  // Shortcuts such as Ctrl+C and Ctrl+V are the box's own, not typed text.
  if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return 0;
  const QString text = event.text();
  if (text.isEmpty()) return 0;
  const char32_t ch = text.toUcs4().value(0);
  // Other control characters (Tab, Escape) move the focus or close things.
  if (ch < 32 && ch != 8 && ch != 13) return 0;
  return ch;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && rule_) {
    const char32_t ch = keyCharacter(*static_cast<QKeyEvent*>(event));
    if (ch != 0 && !rule_(ch)) return true;  // dropped
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace velmor
