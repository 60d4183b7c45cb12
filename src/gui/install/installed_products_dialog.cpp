#include "installed_products_dialog.hpp"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/common/prompter.hpp"
#include "core/install/install_environment.hpp"
#include "core/install/registry_uninstall.hpp"
#include "core/platform/file_services.hpp"

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
    : QDialog(parent), environment_(environment), activity_(activity), prompter_(prompter) {
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
  removeButton_ = button("Remove", "installedRemoveButton", this);
  closeButton_ = button("Close", "installedCloseButton", this);
  row->addWidget(searchButton_);
  row->addWidget(openButton_);
  row->addWidget(removeButton_);
  row->addWidget(closeButton_);
  column->addLayout(row);

  connect(searchButton_, &QPushButton::clicked, this, &InstalledProductsDialog::search);
  connect(searchBox_, &QLineEdit::returnPressed, this, &InstalledProductsDialog::search);
  connect(openButton_, &QPushButton::clicked, this, &InstalledProductsDialog::open);
  connect(removeButton_, &QPushButton::clicked, this, &InstalledProductsDialog::remove);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { open(); });
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

  fill();
  resize(620, 420);
  searchBox_->setFocus();
}

void InstalledProductsDialog::fill() {
  list_->clear();
  lines_.clear();
  products_ = listInstalledProducts(environment_, prompter_, activity_);
  for (const InstalledProduct& product : products_) {
    lines_.push_back(product.line);
    list_->addItem(QString::fromStdString(product.line));
  }
  if (products_.empty() && !emptyReason_) {
    // Made only when nothing is listed: an empty list alone gives no reason.
    emptyReason_ = new QLabel(QString::fromStdString(noInstalledProductsText(environment_)), this);
    emptyReason_->setObjectName("installedEmptyReason");
    emptyReason_->setAccessibleName(QStringLiteral("No products found"));
    emptyReason_->setWordWrap(true);
    emptyReason_->setTextFormat(Qt::PlainText);
    emptyReason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    emptyReason_->setFocusPolicy(Qt::NoFocus);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, emptyReason_);
  } else if (!products_.empty() && emptyReason_) {
    delete emptyReason_;
    emptyReason_ = nullptr;
  }
}

void InstalledProductsDialog::remove() {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  if (selected.isEmpty()) {
    prompter_.message(kPleaseSelect);
    return;
  }
  const InstalledProduct product = products_[static_cast<std::size_t>(list_->row(selected.front()))];
  // Only the families key names a family by its key; the products keys and
  // the maps folder are other installers' business.
  if (product.fromFolder || product.name.empty() || product.source != 0) {
    prompter_.message(kNotInRegistry);
    return;
  }
  if (prompter_.ask("Remove \"" + product.name +
                        "\" from MapSource and BaseCamp? Its registry keys are deleted; "
                        "its files stay where they are.",
                    Buttons::YesNo) != Answer::Yes) {
    return;
  }
  UninstallRequest request;
  request.familyKeyName = product.name;
  request.is64BitWindows = environment_.is64BitWindows();
  request.outputPath = (QDir::tempPath() + QLatin1Char('/')).toStdString() + product.name + " uninstall.reg";
  const UninstallResult result = remove_mapsourcefamily(request, prompter_, systemFiles(), &environment_.importer(),
                                                        activity_, environment_.liveRegistry());
  if (result.removed) fill();
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
