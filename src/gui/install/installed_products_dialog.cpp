#include "installed_products_dialog.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/prompter.hpp"

namespace velmor {

namespace {

QPushButton* button(const char* caption, const char* name, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(QString::fromUtf8(name));
  // Enter in the search box searches; it must not press a button.
  b->setAutoDefault(false);
  b->setDefault(false);
  return b;
}

}  // namespace

InstalledProductsDialog::InstalledProductsDialog(InstallEnvironment& environment, Prompter& prompter,
                                                 Activity& activity, QWidget* parent)
    : QDialog(parent), prompter_(prompter) {
  setObjectName("installedProductsDialog");
  setWindowTitle(QString::fromUtf8(kTitle));
  setModal(true);

  auto* column = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName("installedProductsList");
  list_->setAccessibleName(QStringLiteral("Installed products"));
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setUniformItemSizes(true);
  column->addWidget(list_, 1);

  auto* row = new QHBoxLayout;
  searchBox_ = new QLineEdit(this);
  searchBox_->setObjectName("installedSearchBox");
  searchBox_->setAccessibleName(QStringLiteral("Search text"));
  searchBox_->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(214, 252, 148); }"));
  row->addWidget(searchBox_, 1);
  searchButton_ = button("Search", "installedSearchButton", this);
  openButton_ = button("Open", "installedOpenButton", this);
  closeButton_ = button("Close", "installedCloseButton", this);
  row->addWidget(searchButton_);
  row->addWidget(openButton_);
  row->addWidget(closeButton_);
  column->addLayout(row);

  connect(searchButton_, &QPushButton::clicked, this, &InstalledProductsDialog::search);
  connect(searchBox_, &QLineEdit::returnPressed, this, &InstalledProductsDialog::search);
  connect(openButton_, &QPushButton::clicked, this, &InstalledProductsDialog::open);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { open(); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

  products_ = listInstalledProducts(environment, prompter, activity);
  for (const InstalledProduct& product : products_) {
    lines_.push_back(product.line);
    list_->addItem(QString::fromStdString(product.line));
  }
  if (products_.empty()) {
    // Made only when nothing is listed: an empty list alone gives no reason.
    emptyReason_ = new QLabel(QString::fromStdString(noInstalledProductsText(environment)), this);
    emptyReason_->setObjectName("installedEmptyReason");
    emptyReason_->setAccessibleName(QStringLiteral("No products found"));
    emptyReason_->setWordWrap(true);
    emptyReason_->setTextFormat(Qt::PlainText);
    emptyReason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    emptyReason_->setFocusPolicy(Qt::NoFocus);
    column->insertWidget(0, emptyReason_);
  }
  resize(620, 420);
  searchBox_->setFocus();
}

void InstalledProductsDialog::search() {
  list_->clearSelection();
  const auto found = searchState_.next(lines_, searchBox_->text().toStdString());
  if (!found) return;
  QListWidgetItem* item = list_->item(static_cast<int>(*found));
  list_->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
  list_->scrollToItem(item);
}

void InstalledProductsDialog::open() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    prompter_.message(kPleaseSelect);
    return;
  }
  chosen_ = products_[static_cast<std::size_t>(list_->row(selected.front()))];
  accept();
}

}  // namespace velmor
