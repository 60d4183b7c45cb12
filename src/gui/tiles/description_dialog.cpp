#include "description_dialog.hpp"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmor {

DescriptionDialog::DescriptionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("descriptionDialog");
  setWindowTitle(QStringLiteral("Edit Description"));
  auto* grid = new QGridLayout(this);
  auto* imgCaption = new QLabel(QStringLiteral("IMG"), this);
  img_ = new QLabel(QStringLiteral("IMG"), this);
  img_->setObjectName("imgName");
  grid->addWidget(imgCaption, 0, 0);
  grid->addWidget(img_, 0, 1);
  text_ = new QLineEdit(this);
  auto* textCaption = new QLabel(QStringLiteral("IMG Description"), this);
  textCaption->setBuddy(text_);
  grid->addWidget(textCaption, 1, 0);
  text_->setObjectName("descriptionBox");
  text_->setMinimumWidth(260);
  grid->addWidget(text_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 2, 0, 1, 2);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void DescriptionDialog::setTile(const QString& imgName, const QString& text) {
  img_->setText(imgName);
  text_->setText(text);
  text_->setCursorPosition(static_cast<int>(text.size()));
  text_->setFocus();
}

QString DescriptionDialog::text() const { return text_->text(); }

}  // namespace velmor
