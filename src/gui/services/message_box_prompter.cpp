#include "message_box_prompter.hpp"

#include <QApplication>
#include <QMessageBox>

namespace velmor {

namespace {

QString boxTitle() {
  return QApplication::applicationName().isEmpty() ? QStringLiteral("Velmor") : QApplication::applicationName();
}

}  // namespace

void MessageBoxPrompter::message(const std::string& text) {
  // A busy pointer left by a long operation must not hide the message's buttons.
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  QMessageBox::information(owner_, boxTitle(), QString::fromStdString(text), QMessageBox::Ok);
  if (busy) QApplication::restoreOverrideCursor();
}

Answer MessageBoxPrompter::ask(const std::string& text, Buttons buttons) {
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  QMessageBox::StandardButton preferred = QMessageBox::Ok;
  switch (buttons) {
    case Buttons::Ok: break;
    case Buttons::YesNo:
      shown = QMessageBox::Yes | QMessageBox::No;
      preferred = QMessageBox::Yes;
      break;
    case Buttons::YesNoCancel:
      shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      preferred = QMessageBox::Yes;
      break;
  }
  const bool busy = QApplication::overrideCursor() != nullptr;
  if (busy) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const auto pressed = QMessageBox::question(owner_, boxTitle(), QString::fromStdString(text), shown, preferred);
  if (busy) QApplication::restoreOverrideCursor();
  switch (pressed) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default:
      // The close box of a question counts as Cancel (or No where there is no Cancel).
      return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

}  // namespace velmor
