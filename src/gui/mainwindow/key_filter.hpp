#pragma once
// Hands every character key pressed in a box to an editing rule, which says
// whether the key reaches the box. Keys without a character (arrows, Home)
// are not the rule's business and always pass.
#include <QObject>
#include <functional>

class QKeyEvent;

namespace velmor {

class KeyFilter : public QObject {
  Q_OBJECT
 public:
  using Rule = std::function<bool(char32_t key)>;
  KeyFilter(QObject* box, Rule rule);

  // The character a key event stands for: its text, or 8 for Backspace and
  // 13 for Enter; 0 when it has none.
  static char32_t keyCharacter(const QKeyEvent& event);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Rule rule_;
};

}  // namespace velmor
