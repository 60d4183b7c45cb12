#include "compiler_wait_dialog.hpp"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmor {

CompilerWaitDialog::CompilerWaitDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("compilerWaitDialog"));
  setWindowTitle(QStringLiteral("Create Basemap"));
  // Window-modal: the main window takes no command while the compiler
  // writes into the map it was given, but is still drawn.
  setWindowModality(Qt::WindowModal);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("compilerStatus"));
  status_->setAccessibleName(QStringLiteral("Map compiler"));
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("compilerCancel"));
  cancel_->setAccessibleName(QStringLiteral("Cancel"));
  connect(cancel_, &QPushButton::clicked, this, &CompilerWaitDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(status_);
  layout->addLayout(buttons);
  showElapsed();
}

void CompilerWaitDialog::running(bool on) {
  if (!on) {
    hide();
    return;
  }
  cancelRequested_ = false;
  cancel_->setEnabled(true);
  clock_.start();
  showElapsed();
  show();
  raise();
}

void CompilerWaitDialog::tick() {
  showElapsed();
  QApplication::processEvents(QEventLoop::AllEvents);
}

void CompilerWaitDialog::reject() {
  // Stays up until the compiler has gone; the command then says what became of it.
  cancelRequested_ = true;
  cancel_->setEnabled(false);
  status_->setText(QStringLiteral("Stopping the map compiler..."));
}

void CompilerWaitDialog::showElapsed() {
  if (cancelRequested_) return;
  const qint64 seconds = clock_.isValid() ? clock_.elapsed() / 1000 : 0;
  status_->setText(QStringLiteral("The map compiler is running: %1:%2")
                       .arg(seconds / 60)
                       .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

}  // namespace velmor
