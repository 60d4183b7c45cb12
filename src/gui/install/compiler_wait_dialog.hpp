#pragma once
// The wait for the map compiler of "Create Basemap": a dialog over the
// window, so that it is plain why menus and keys do nothing meanwhile, with
// the time run so far and "Cancel", which stops the compiler.
#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;

namespace velmor {

class CompilerWaitDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CompilerWaitDialog(QWidget* parent);

  // Shown when the compiler starts, hidden when it has ended.
  void running(bool on);
  // Between looks at the compiler: the time shown anew, the dialog's own
  // events (a click on "Cancel") handled.
  void tick();
  bool cancelRequested() const { return cancelRequested_; }

  QLabel* status() const { return status_; }
  QPushButton* cancelButton() const { return cancel_; }

  // "Cancel", Esc and the title bar's close all ask the compiler to stop.
  void reject() override;

 private:
  void showElapsed();

  QLabel* status_;
  QPushButton* cancel_;
  QElapsedTimer clock_;
  bool cancelRequested_ = false;
};

}  // namespace velmor
