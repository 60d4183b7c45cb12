#pragma once
// The user changes a check box or a radio button in several ways: a click,
// Space, and a screen reader's "Toggle" action, which calls toggle() and so
// emits toggled() but never clicked(). Listening to toggled() catches them
// all; the window's own fills from the form go through showChecked(), which
// blocks the signal, so only the user's changes reach the editing rules.
#include <QAbstractButton>
#include <QSignalBlocker>

namespace velmor {

// A check box reports every change; a radio button only being chosen (the
// one that goes off in the same group is not a choice of its own).
template <class Changed>
void onUserToggle(QAbstractButton* button, QObject* context, Changed changed) {
  const bool choiceOnly = !button->inherits("QCheckBox");
  QObject::connect(button, &QAbstractButton::toggled, context, [changed, choiceOnly](bool on) {
    if (on || !choiceOnly) changed(on);
  });
}

inline void showChecked(QAbstractButton* button, bool on) {
  const QSignalBlocker block(button);
  button->setChecked(on);
}

}  // namespace velmor
