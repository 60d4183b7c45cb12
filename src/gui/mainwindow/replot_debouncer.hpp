#pragma once
// refreshp1: a burst of resizes or edits gives one re-plot, 0.2 s after the
// last request. A 10 ms timer looks at the time of the last request; the
// pointer shows busy while a re-plot is pending.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace velmor {

class ReplotDebouncer : public QObject {
  Q_OBJECT
 public:
  explicit ReplotDebouncer(std::function<void()> replot, QObject* parent = nullptr);
  ~ReplotDebouncer() override;

  void refreshp1();
  bool pending() const { return timer_.isActive(); }

  static constexpr int kTickMs = 10;
  static constexpr int kQuietMs = 200;

 private:
  void tick();
  std::function<void()> replot_;
  QTimer timer_;
  QElapsedTimer sinceLastRequest_;
  bool busyShown_ = false;
};

}  // namespace velmor
