#pragma once
#include <QAction>
#include <QObject>

namespace velmor {

// Connects a menu entry that opens a dialog (or may ask something) to its
// command so that the command runs once the entry's activation has
// returned. A modal dialog opened inside the activation would hold its
// caller until the dialog is closed: the menu, or a screen reader whose
// accessibility call then waits for its time-out.
template <typename Receiver, typename Command>
void connectLater(QAction* entry, const Receiver* receiver, Command command) {
  QObject::connect(entry, &QAction::triggered, receiver, command, Qt::QueuedConnection);
}

}  // namespace velmor
