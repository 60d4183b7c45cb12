#include "ok_cancel_row.hpp"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace velmor {

OkCancel addOkCancelRow(QDialog& dialog, QBoxLayout& column) {
  OkCancel row;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  row.ok = new QPushButton(QStringLiteral("OK"), &dialog);
  row.ok->setObjectName("okButton");
  row.ok->setDefault(true);
  row.cancel = new QPushButton(QStringLiteral("Cancel"), &dialog);
  row.cancel->setObjectName("cancelButton");
  buttons->addWidget(row.ok);
  buttons->addWidget(row.cancel);
  column.addLayout(buttons);
  QObject::connect(row.ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(row.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  return row;
}

}  // namespace velmor
