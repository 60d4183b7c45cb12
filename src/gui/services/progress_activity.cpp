#include "progress_activity.hpp"

#include <QApplication>
#include <QCursor>

namespace velmor {

ProgressActivity::~ProgressActivity() {
  while (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

void ProgressActivity::progress(float percent) {
  if (!bar_) return;
  const int value = static_cast<int>(percent < 0 ? 0 : percent > 100 ? 100 : percent);
  bar_->setValue(value);
  bar_->repaint();
}

void ProgressActivity::busy(bool on) {
  // The core calls busy(true) and busy(false) in pairs, but may also call
  // busy(false) on an early return that had not turned it on: count, never underflow.
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
  } else if (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

void ProgressActivity::yieldEvents() {
  // User input waits: a click that arrives half way through a load must not
  // start another load or edit a half-filled form.
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace velmor
