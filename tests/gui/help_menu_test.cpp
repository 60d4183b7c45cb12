// The Help menu and the update check. The check runs against a small HTTP
// server on 127.0.0.1 that the test starts and scripts; the desktop's
// opener is a fake that records what it was asked to open.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <map>

#include "core/editor/update_check.hpp"
#include "help/about_box.hpp"
#include "help/help_commands.hpp"
#include "help/link_button.hpp"
#include "help/updates_dialog.hpp"
#include "mainwindow/main_menus.hpp"
#include "support/accessibility.hpp"
#include "support/modal.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using velmor::test::whenShown;

namespace {

// Answers each request with the scripted bytes for its path, piece by piece
// with a pause between pieces; a path without a script is never answered.
class LocalServer : public QObject {
 public:
  LocalServer() {
    server_.listen(QHostAddress::LocalHost);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
      }
    });
  }
  QString url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
  }
  void route(const QByteArray& path, QList<QByteArray> pieces) { routes_[path] = std::move(pieces); }

 private:
  void serve(QTcpSocket* socket) {
    QByteArray& request = requests_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QByteArray path = request.split(' ').value(1);
    request.clear();
    if (routes_[path].isEmpty()) return;  // stalls
    send(socket, routes_[path], 0);
  }
  void send(QTcpSocket* socket, QList<QByteArray> pieces, int next) {
    if (next == pieces.size()) {
      socket->disconnectFromHost();
      return;
    }
    socket->write(pieces[next]);
    socket->flush();
    QTimer::singleShot(40, socket, [=, this] { send(socket, pieces, next + 1); });
  }
  QTcpServer server_;
  std::map<QByteArray, QList<QByteArray>> routes_;
  std::map<QTcpSocket*, QByteArray> requests_;
};

QByteArray ok(const QByteArray& body) { return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body; }

QString check(UpdatesDialog& dialog) {
  QSignalSpy done(&dialog, &UpdatesDialog::checkFinished);
  QTest::mousePress(dialog.checkLink(), Qt::LeftButton);
  if (!dialog.checkLink()->isHidden() || (done.isEmpty() && !done.wait(5000))) return "no answer";
  return dialog.resultLabel()->text();
}

}  // namespace

class HelpMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void updateCheckAnswers_data();
  void updateCheckAnswers();
  void menuEntriesOpenTheirTargets();
  void placeholderAddressIsNotAsked();
};

void HelpMenuTest::updateCheckAnswers_data() {
  QTest::addColumn<QList<QByteArray>>("pieces");
  QTest::addColumn<QString>("path");
  QTest::addColumn<QString>("answer");
  const QString cannot = "Could not check for updates: ";
  const QString noVersion = cannot + "the version page holds no version.";
  QTest::newRow("newer") << QList<QByteArray>{ok("<html>\n<body> 2.2 \r\n</body>")} << "/v"
                         << "An update is available: 2.2";
  QTest::newRow("same") << QList<QByteArray>{ok("<body>2.1</body>")} << "/v"
                        << "Your version is up to date.";
  QTest::newRow("2.10 is not 2.1") << QList<QByteArray>{ok("<body>2.10</body>")} << "/v"
                                   << "An update is available: 2.10";
  // The version comes in the third of four reads, well inside 1000 bytes.
  const QByteArray head = ok("<body>" + QByteArray(300, ' '));
  QTest::newRow("page in pieces") << QList<QByteArray>{head, QByteArray(400, '\n'), "2.3</body>", QByteArray(5000, 'x')}
                                  << "/v"
                                  << "An update is available: 2.3";
  QTest::newRow("body past 1000 bytes") << QList<QByteArray>{ok(QByteArray(1200, ' ') + "<body>9.9</body>")} << "/v"
                                        << noVersion;
  QTest::newRow("no body") << QList<QByteArray>{"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"} << "/v" << noVersion;
  QTest::newRow("error status")
      << QList<QByteArray>{"HTTP/1.1 404 Not Found\r\nConnection: close\r\n\r\n<body>9.9</body>"} << "/v"
      << cannot + "the server answered 404 Not Found.";
  QTest::newRow("stalled") << QList<QByteArray>{} << "/stall"
                           << cannot + "no answer from 127.0.0.1 within 0.3 seconds.";
  QTest::newRow("redirect, same host")
      << QList<QByteArray>{"HTTP/1.1 302 Found\r\nLocation: /v\r\nConnection: close\r\n\r\n"} << "/moved"
      << "An update is available: 2.4";
  QTest::newRow("redirect, other host")
      << QList<QByteArray>{"HTTP/1.1 302 Found\r\nLocation: http://localhost:1/v\r\nConnection: close\r\n\r\n"}
      << "/moved" << cannot + "the version page was sent on to another address (http://localhost:1/v).";
}

void HelpMenuTest::updateCheckAnswers() {
  QFETCH(QList<QByteArray>, pieces);
  QFETCH(QString, path);
  QFETCH(QString, answer);
  LocalServer server;
  server.route(path.toUtf8(), pieces);
  if (path == "/moved") server.route("/v", {ok("<body>2.4</body>")});
  test::RecordingShell shell;
  test::QtScriptedPrompter prompter;
  UpdatesDialog dialog(server.url(path).toStdString(), "https://download.example/", shell, prompter);
  dialog.setTimeout(300);
  dialog.show();
  QCOMPARE(dialog.windowTitle(), QString("Updates"));
  QCOMPARE(dialog.versionLabel()->text(), QString("Current Version: 2.1"));
  QCOMPARE(check(dialog), answer);
  const bool newer = answer.startsWith("An update");
  QCOMPARE(dialog.downloadButton()->isVisible(), newer);
  if (newer) {
    QTest::mouseClick(dialog.downloadButton(), Qt::LeftButton);
    QCOMPARE(shell.opened, std::vector<std::string>{"https://download.example/"});
    QVERIFY(!dialog.isVisible());
  }
}

void HelpMenuTest::menuEntriesOpenTheirTargets() {
  LocalServer server;
  server.route("/version", {ok("<body>3.0</body>")});
  qputenv("VELMOR_VERSION_URL", server.url("/version").toUtf8());
  qputenv("VELMOR_MANUAL_URL", "http://manual.test/velmor.pdf");
  qputenv("VELMOR_HOME_URL", "http://home.test/");
  test::WindowFixture fx;
  MainWindow& window = fx.start();
  MainMenus* menus = window.menus();

  // Start-up put the release notes into the system folder.
  const std::string notes = fx.programFolder() + "/system/whatsnew.txt";
  QVERIFY(QString::fromStdString(test::readText(notes)).startsWith("Velmor 2.1"));
  test::choose(menus->whatsNew());
  test::choose(menus->manual());
  fx.shell.result = ShellResult::NoAssociation;
  fx.prompter.expectMessage("Cannot launch file . No association with 'pdf' files.");
  test::choose(menus->manual());

  QString about, updateAnswer;
  QStringList aboutUnnamed, updatesUnnamed;
  fx.prompter.expectMessage("Cannot launch file . No association with 'html' files.");
  whenShown<AboutBox>([&](AboutBox* box) {
    about = box->windowTitle() + "|" + box->versionLine()->text().section('\n', 0, 0);
    aboutUnnamed = test::accessibilityProblems(box);
    QTest::mouseClick(box->homeLink(), Qt::LeftButton);
    QTest::mouseClick(box->okButton(), Qt::LeftButton);
  });
  test::choose(menus->about());
  whenShown<UpdatesDialog>([&](UpdatesDialog* dialog) {
    updatesUnnamed = test::accessibilityProblems(dialog);
    updateAnswer = check(*dialog);
  });
  test::choose(menus->checkForUpdates());
  qunsetenv("VELMOR_VERSION_URL");
  qunsetenv("VELMOR_MANUAL_URL");
  qunsetenv("VELMOR_HOME_URL");

  QCOMPARE(fx.shell.opened, (std::vector<std::string>{notes, "http://manual.test/velmor.pdf",
                                                      "http://manual.test/velmor.pdf", "http://home.test/"}));
  QCOMPARE(about, QString("Information|Version 2.1"));
  QVERIFY2(aboutUnnamed.isEmpty() && updatesUnnamed.isEmpty(), qPrintable((aboutUnnamed + updatesUnnamed).join("\n")));
  QCOMPARE(updateAnswer, QString("An update is available: 3.0"));
  QVERIFY2(fx.prompter.problems().isEmpty(), qPrintable(fx.prompter.problems().join("\n")));
}

void HelpMenuTest::placeholderAddressIsNotAsked() {
  // The default build carries only the placeholder; a check of it would end
  // in a failure about a host that does not exist.
  QVERIFY(isPlaceholderAddress(builtInHelpAddresses().version));
  test::RecordingShell shell;
  test::QtScriptedPrompter prompter;
  UpdatesDialog dialog(builtInHelpAddresses().version, builtInHelpAddresses().download, shell, prompter);
  dialog.show();
  QCOMPARE(check(dialog), QString("No update address is configured for this build"));
  QCOMPARE(dialog.resultLabel()->accessibleName(), dialog.resultLabel()->text());
  QVERIFY(!dialog.checking());
  QVERIFY(!dialog.downloadButton()->isVisible());
  QVERIFY2(prompter.problems().isEmpty(), qPrintable(prompter.problems().join("\n")));
}

QTEST_MAIN(HelpMenuTest)
#include "help_menu_test.moc"
