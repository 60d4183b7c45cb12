#pragma once
// Reads the beginning of the maker's version page without holding up the
// window: at most 1000 bytes, however many reads they take, within a time
// limit, following redirects only on the same host.
#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkReply;

namespace velmor {

class VersionPageFetch : public QObject {
  Q_OBJECT
 public:
  static constexpr int kDefaultTimeoutMs = 10000;

  explicit VersionPageFetch(QObject* parent = nullptr);
  ~VersionPageFetch() override;

  void setTimeout(int milliseconds) { timeoutMs_ = milliseconds; }
  int timeout() const { return timeoutMs_; }
  void start(const QUrl& address);
  bool running() const { return !reply_.isNull(); }

 signals:
  // Either the page's first bytes, or the reason it could not be read.
  void pageRead(const QByteArray& page);
  void failed(const QString& reason);

 private:
  void readAvailable();
  void replyFinished();
  void redirected(const QUrl& to);
  void timedOut();
  // Lets go of the request; nothing more is heard from it.
  void stop();
  void finishWithPage();
  void fail(const QString& reason);
  QString statusFailure() const;

  QNetworkAccessManager manager_;
  QPointer<QNetworkReply> reply_;
  QTimer timer_;
  QByteArray page_;
  QUrl address_;
  int timeoutMs_ = kDefaultTimeoutMs;
};

}  // namespace velmor
