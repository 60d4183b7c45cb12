#include "about_box.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/editor/help_menu.hpp"
#include "core/editor/window_title.hpp"
#include "link_button.hpp"

namespace velmor {

QString aboutText() {
  return QStringLiteral("Version ") + QString::fromLatin1(kProgramVersion) +
         QStringLiteral(
             "\n\nVelmor edits the product files (.tdb) of Garmin map products and carries the "
             "tools of a map maker's last steps.\n\n"
             "Velmor is not made or endorsed by Garmin. Garmin, MapSource and BaseCamp are "
             "trademarks of Garmin Ltd. or its subsidiaries.\n\n"
             "Always keep a copy of your map files: Velmor makes one backup of each product "
             "file it saves, but it cannot know what else you hold dear.");
}

AboutBox::AboutBox(std::string homeAddress, Shell& shell, Prompter& prompter, QWidget* parent)
    : QDialog(parent), homeAddress_(std::move(homeAddress)) {
  setObjectName("aboutBox");
  setWindowTitle(QStringLiteral("Information"));
  setModal(true);
  auto* column = new QVBoxLayout(this);
  version_ = new QLabel(aboutText(), this);
  version_->setObjectName("versionLine");
  version_->setWordWrap(true);
  version_->setMinimumWidth(360);
  version_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  column->addWidget(version_);
  home_ = new LinkButton(QString::fromStdString(homeAddress_), this);
  home_->setObjectName("homeLink");
  home_->setAccessibleName(QStringLiteral("Home page: ") + QString::fromStdString(homeAddress_));
  column->addWidget(home_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName("okButton");
  ok_->setDefault(true);
  buttons->addWidget(ok_);
  column->addLayout(buttons);

  connect(home_, &QPushButton::clicked, this,
          [this, &shell, &prompter] { openWebPage(homeAddress_, shell, prompter); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace velmor
