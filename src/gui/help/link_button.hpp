#pragma once
// A link in a dialog: text that reacts to a press and changes colour under
// the mouse, light magenta over the link and light blue elsewhere. It is a
// button underneath, so the keyboard and screen readers can use it too.
#include <QPushButton>

namespace velmor {

class LinkButton : public QPushButton {
  Q_OBJECT
 public:
  explicit LinkButton(const QString& caption, QWidget* parent = nullptr);
  QColor colour() const { return colour_; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void setColour(const QColor& colour);
  QColor colour_;
};

}  // namespace velmor
