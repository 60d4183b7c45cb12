#pragma once
// The "Errors" window: what went wrong while a product file was read.
#include <QDialog>

class QPlainTextEdit;

namespace velmor {

class ErrorsDialog : public QDialog {
  Q_OBJECT
 public:
  ErrorsDialog(const QString& errorText, QWidget* parent = nullptr);
  QString shownText() const;

 private:
  QPlainTextEdit* text_ = nullptr;
};

}  // namespace velmor
