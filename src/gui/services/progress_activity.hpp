#pragma once
// Feedback around long opens and saves: the progress bar under the map, the
// busy pointer, and a chance for the window to handle its events between steps.
#include <QPointer>
#include <QProgressBar>

#include "core/common/prompter.hpp"

namespace velmor {

class ProgressActivity : public Activity {
 public:
  explicit ProgressActivity(QProgressBar* bar = nullptr) : bar_(bar) {}
  ~ProgressActivity() override;
  void setBar(QProgressBar* bar) { bar_ = bar; }

  void progress(float percent) override;
  void busy(bool on) override;
  void yieldEvents() override;

  bool isBusy() const { return busyDepth_ > 0; }

 private:
  QPointer<QProgressBar> bar_;
  int busyDepth_ = 0;
};

}  // namespace velmor
