#include "updates_dialog.hpp"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "core/editor/help_menu.hpp"
#include "core/editor/update_check.hpp"
#include "core/editor/window_title.hpp"
#include "link_button.hpp"
#include "version_page_fetch.hpp"

namespace velmor {

UpdatesDialog::UpdatesDialog(std::string versionAddress, std::string downloadAddress, Shell& shell, Prompter& prompter,
                             QWidget* parent)
    : QDialog(parent),
      versionAddress_(std::move(versionAddress)),
      downloadAddress_(std::move(downloadAddress)),
      shell_(shell),
      prompter_(prompter) {
  setObjectName("updatesDialog");
  setWindowTitle(QStringLiteral("Updates"));
  setModal(true);
  fetch_ = new VersionPageFetch(this);

  auto* column = new QVBoxLayout(this);
  version_ = new QLabel(QStringLiteral("Current Version:") + " " + QString::fromLatin1(kProgramVersion), this);
  version_->setObjectName("currentVersion");
  column->addWidget(version_);
  link_ = new LinkButton(QStringLiteral("Click here to check website"), this);
  link_->setObjectName("checkLink");
  column->addWidget(link_);
  result_ = new QLabel(this);
  result_->setObjectName("updateResult");
  result_->setWordWrap(true);
  result_->setMinimumWidth(320);
  result_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  column->addWidget(result_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  download_ = new QPushButton(QStringLiteral("Download Page"), this);
  download_->setObjectName("downloadButton");
  download_->setAutoDefault(false);
  download_->hide();
  buttons->addWidget(download_);
  close_ = new QPushButton(QStringLiteral("Close"), this);
  close_->setObjectName("closeButton");
  buttons->addWidget(close_);
  column->addLayout(buttons);

  connect(link_, &QPushButton::pressed, this, &UpdatesDialog::startCheck);
  connect(download_, &QPushButton::clicked, this, &UpdatesDialog::openDownloadPage);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
  connect(fetch_, &VersionPageFetch::pageRead, this, [this](const QByteArray& page) {
    const UpdateAnswer answer = answerForPage(page.toStdString(), kProgramVersion);
    showAnswer(QString::fromStdString(answer.text), answer.updateAvailable);
  });
  connect(fetch_, &VersionPageFetch::failed, this, [this](const QString& reason) {
    showAnswer(QString::fromStdString(answerForFailure(reason.toStdString()).text), false);
  });
}

void UpdatesDialog::setTimeout(int milliseconds) { fetch_->setTimeout(milliseconds); }

bool UpdatesDialog::checking() const { return fetch_->running(); }

void UpdatesDialog::startCheck() {
  setCursor(Qt::BusyCursor);
  link_->hide();
  close_->setFocus();
  result_->clear();
  if (isPlaceholderAddress(versionAddress_)) {
    // Said from the event loop, as the answer of a real check is.
    QTimer::singleShot(0, this, [this] {
      const UpdateAnswer answer = answerForNoAddress();
      showAnswer(QString::fromStdString(answer.text), answer.updateAvailable);
    });
    return;
  }
  fetch_->start(QUrl(QString::fromStdString(versionAddress_)));
}

void UpdatesDialog::showAnswer(const QString& text, bool updateAvailable) {
  result_->setText(text);
  result_->setAccessibleName(text);
  download_->setVisible(updateAvailable);
  unsetCursor();
  emit checkFinished();
}

void UpdatesDialog::openDownloadPage() {
  setCursor(Qt::BusyCursor);
  openWebPage(downloadAddress_, shell_, prompter_);
  unsetCursor();
  accept();
}

}  // namespace velmor
