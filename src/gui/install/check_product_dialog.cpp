#include "check_product_dialog.hpp"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/check/installed_check.hpp"
#include "core/check/product_check.hpp"
#include "core/common/prompter.hpp"
#include "core/img/overview_bounds.hpp"
#include "context/command_context.hpp"
#include "core/common/prompter.hpp"

namespace velmor {

CheckProductDialog::CheckProductDialog(const Findings& findings, QWidget* parent)
    : QDialog(parent), findings_(errorsFirst(findings)) {
  setObjectName("checkProductDialog");
  setWindowTitle(QString::fromUtf8(kTitle));
  setModal(true);
  auto* column = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName("checkFindingsList");
  list_->setAccessibleName(QStringLiteral("Findings"));
  list_->setWordWrap(true);
  for (const Finding& f : findings_) list_->addItem(QString::fromStdString(findingLine(f)));
  column->addWidget(list_, 1);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  copyButton_ = new QPushButton(QStringLiteral("Copy"), this);
  copyButton_->setObjectName("checkCopyButton");
  closeButton_ = new QPushButton(QStringLiteral("Close"), this);
  closeButton_->setObjectName("checkCloseButton");
  row->addWidget(copyButton_);
  row->addWidget(closeButton_);
  column->addLayout(row);
  connect(copyButton_, &QPushButton::clicked, this,
          [this] { QApplication::clipboard()->setText(QString::fromStdString(findingsText(findings_))); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
  resize(760, 420);
}

void checkOpenProduct(const CommandContext& context) {
  const std::string path = context.state.file.path;
  if (path.empty()) {
    context.prompter.message(kNoProductOpen);
    return;
  }
  ProductCheck check = checkProductFiles(path, {}, context.activity);
  if (check.productRead) {
    Findings installed = checkInstalled(context.install(), &check.product, context.activity);
    check.findings.insert(check.findings.end(), installed.begin(), installed.end());
  }
  CheckProductDialog dialog(check.findings, context.parent);
  dialog.exec();
}

}  // namespace velmor
