#include "replot_debouncer.hpp"

#include <QApplication>

namespace velmor {

ReplotDebouncer::ReplotDebouncer(std::function<void()> replot, QObject* parent)
    : QObject(parent), replot_(std::move(replot)) {
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &ReplotDebouncer::tick);
}

ReplotDebouncer::~ReplotDebouncer() {
  if (busyShown_) QApplication::restoreOverrideCursor();
}

void ReplotDebouncer::refreshp1() {
  if (!busyShown_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    busyShown_ = true;
  }
  sinceLastRequest_.start();
  if (!timer_.isActive()) timer_.start();
}

void ReplotDebouncer::tick() {
  if (sinceLastRequest_.elapsed() < kQuietMs) return;
  timer_.stop();
  // Restore the pointer first: the re-plot may show a message.
  if (busyShown_) {
    QApplication::restoreOverrideCursor();
    busyShown_ = false;
  }
  if (replot_) replot_();
}

}  // namespace velmor
