#pragma once
// Window tests answer modal dialogs from a timer, since exec() does not
// return until the dialog closes.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace velmor::test {

// Runs `act` on the modal dialog of type T once it is up and closes it when
// `act` left it open. Gives up after ten seconds, so that a broken case fails
// instead of hanging.
template <typename T>
void whenShown(std::function<void(T*)> act) {
  auto* timer = new QTimer;
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, ticks, act] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog && ++*ticks < 500) return;
    timer->stop();
    timer->deleteLater();
    if (dialog) act(dialog);
    if (dialog && dialog->isVisible()) dialog->reject();
  });
  timer->start(20);
}

// Chooses a menu entry and runs what it started. Entries that open dialogs
// run their command after the activation has returned (connectLater), so
// triggering alone would only queue it.
inline void choose(QAction* entry) {
  entry->trigger();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

}  // namespace velmor::test
