#include "errors_dialog.hpp"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmor {

ErrorsDialog::ErrorsDialog(const QString& errorText, QWidget* parent) : QDialog(parent) {
  setObjectName("errorsWindow");
  setWindowTitle(QStringLiteral("Errors"));
  setModal(true);
  auto* column = new QVBoxLayout(this);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("errorsText");
  text_->setAccessibleName(QStringLiteral("Errors"));
  text_->setReadOnly(true);
  text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QString shown = errorText;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text_->setPlainText(shown);
  column->addWidget(text_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  column->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  resize(520, 300);
}

QString ErrorsDialog::shownText() const { return text_->toPlainText(); }

}  // namespace velmor
