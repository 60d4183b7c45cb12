#include "version_page_fetch.hpp"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "core/editor/update_check.hpp"

namespace velmor {

namespace {

constexpr int kMaximumRedirects = 5;
const char* const kAgentName = "API-Guide test program";

}  // namespace

VersionPageFetch::VersionPageFetch(QObject* parent) : QObject(parent) {
  // Direct access: the version page is asked for by the program, not the desktop's proxy.
  manager_.setProxy(QNetworkProxy::NoProxy);
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &VersionPageFetch::timedOut);
}

VersionPageFetch::~VersionPageFetch() { stop(); }

void VersionPageFetch::start(const QUrl& address) {
  stop();
  page_.clear();
  address_ = address;
  const QString scheme = address.scheme().toLower();
  if (!address.isValid() || (scheme != "http" && scheme != "https") || address.host().isEmpty()) {
    // Reported from the event loop, as every other answer is.
    QTimer::singleShot(0, this, [this, address] {
      fail(QStringLiteral("the version page's address is not a web address (%1).").arg(address.toString()));
    });
    return;
  }
  QNetworkRequest request(address);
  request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kAgentName));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
  request.setMaximumRedirectsAllowed(kMaximumRedirects);
  reply_ = manager_.get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &VersionPageFetch::readAvailable);
  connect(reply_, &QNetworkReply::finished, this, &VersionPageFetch::replyFinished);
  connect(reply_, &QNetworkReply::redirected, this, &VersionPageFetch::redirected);
  timer_.start(timeoutMs_);
}

void VersionPageFetch::stop() {
  timer_.stop();
  if (reply_) {
    QNetworkReply* reply = reply_;
    reply_.clear();
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
  }
}

void VersionPageFetch::readAvailable() {
  if (!reply_) return;
  // One read may return only part of the page: keep what came and wait for
  // more until the limit is reached or the page ends.
  const qint64 wanted = static_cast<qint64>(kVersionPageLimit) - page_.size();
  if (wanted > 0) page_ += reply_->read(wanted);
  if (page_.size() >= static_cast<qsizetype>(kVersionPageLimit)) finishWithPage();
}

void VersionPageFetch::replyFinished() {
  if (!reply_) return;
  if (reply_->error() != QNetworkReply::NoError) {
    const QString status = statusFailure();
    fail(status.isEmpty() ? reply_->errorString() + "." : status);
    return;
  }
  readAvailable();
  if (reply_) finishWithPage();
}

QString VersionPageFetch::statusFailure() const {
  const QVariant status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!status.isValid()) return {};
  const int code = status.toInt();
  if (code >= 200 && code < 300) return {};
  const QString phrase = reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
  return QStringLiteral("the server answered %1 %2.").arg(code).arg(phrase).replace(QStringLiteral(" ."), ".");
}

void VersionPageFetch::redirected(const QUrl& to) {
  if (!reply_) return;
  const bool sameHost = to.host().compare(address_.host(), Qt::CaseInsensitive) == 0;
  // From https to http would let anyone on the way answer for the maker.
  const bool downgrade = address_.scheme().toLower() == "https" && to.scheme().toLower() != "https";
  if (!sameHost || downgrade) {
    fail(QStringLiteral("the version page was sent on to another address (%1).").arg(to.toString()));
    return;
  }
  emit reply_->redirectAllowed();
}

void VersionPageFetch::timedOut() {
  if (!reply_) return;
  fail(QStringLiteral("no answer from %1 within %2 seconds.")
           .arg(address_.host())
           .arg(QString::number(timeoutMs_ / 1000.0)));
}

void VersionPageFetch::finishWithPage() {
  // An error status with a page behind it is still an error.
  const QString status = statusFailure();
  if (!status.isEmpty()) {
    fail(status);
    return;
  }
  const QByteArray page = page_;
  stop();
  emit pageRead(page);
}

void VersionPageFetch::fail(const QString& reason) {
  stop();
  emit failed(reason);
}

}  // namespace velmor
