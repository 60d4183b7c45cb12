// The desktop's own message boxes and file dialogs behind the Prompter and
// the dialog provider: their texts, buttons, filter and start folder. Each
// case answers the modal window from a timer, as a user would.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "services/file_dialog_provider.hpp"
#include "services/message_box_prompter.hpp"

using namespace velmor;

class DesktopServicesTest : public QObject {
  Q_OBJECT
 private slots:
  void questionsShowTheirButtonsAndReturnTheAnswer();
  void messageShowsTheTextExactly();
  void openDialogFiltersProductFiles();
  void saveDialogProposesTheCurrentFile();
};

namespace {

// Runs `answer` on the modal window once it is up, and again on later ticks
// while it stays up (a file dialog may still be reading its folder when it
// is first answered). A window that never closes is rejected after ten
// seconds, so a broken case fails instead of hanging.
template <typename Window>
void whenShown(std::function<void(Window*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  auto target = std::make_shared<QPointer<QWidget>>();
  auto done = [timer] {
    timer->stop();
    timer->deleteLater();
  };
  QObject::connect(timer, &QTimer::timeout, [answer, ticks, target, done] {
    QWidget* modal = QApplication::activeModalWidget();
    auto* window = qobject_cast<Window*>(modal);
    // Only the window this call was made for: once it is gone, so is the timer.
    if (!target->isNull() && modal != target->data()) return done();
    if (target->isNull() && *ticks > 0) return done();
    if (!window) return;
    *target = window;
    if (++*ticks > 500) {
      qobject_cast<QDialog*>(static_cast<QWidget*>(window))->reject();
      return done();
    }
    answer(window);
  });
  timer->start();
}

QStringList buttonTexts(QMessageBox* box) {
  QStringList texts;
  for (QAbstractButton* b : box->buttons()) texts << b->text().remove('&');
  texts.sort();
  return texts;
}

}  // namespace

void DesktopServicesTest::questionsShowTheirButtonsAndReturnTheAnswer() {
  MessageBoxPrompter prompter;
  QStringList shown;
  whenShown<QMessageBox>([&shown](QMessageBox* box) {
    shown = buttonTexts(box);
    box->button(QMessageBox::No)->click();
  });
  QCOMPARE(prompter.ask("Save changes?", Buttons::YesNoCancel), Answer::No);
  QCOMPARE(shown, QStringList({"Cancel", "No", "Yes"}));

  whenShown<QMessageBox>([&shown](QMessageBox* box) {
    shown = buttonTexts(box);
    box->button(QMessageBox::Yes)->click();
  });
  QCOMPARE(prompter.ask("Are you sure?", Buttons::YesNo), Answer::Yes);
  QCOMPARE(shown, QStringList({"No", "Yes"}));

  // Escape on a Yes/No/Cancel question is Cancel, never Yes.
  whenShown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  QCOMPARE(prompter.ask("File exists. Replace this file?", Buttons::YesNoCancel), Answer::Cancel);
}

void DesktopServicesTest::messageShowsTheTextExactly() {
  MessageBoxPrompter prompter;
  QString text;
  QStringList shown;
  whenShown<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    shown = buttonTexts(box);
    box->button(QMessageBox::Ok)->click();
  });
  prompter.message("Option only available with TDB version 4.09+.\r\nChange TDB version first.");
  QCOMPARE(text, QString("Option only available with TDB version 4.09+.\r\nChange TDB version first."));
  QCOMPARE(shown, QStringList({"OK"}));
}

void DesktopServicesTest::openDialogFiltersProductFiles() {
  QTemporaryDir folder;
  QtFileDialogProvider dialogs;
  QString title;
  QStringList filters;
  QString shownFolder;
  QStringList proposed{"unset"};
  whenShown<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    shownFolder = dialog->directory().absolutePath();
    proposed = dialog->selectedFiles();
    // Choosing a file programmatically races with the folder the dialog
    // reads in the background; what it was shown with is what matters here.
    dialog->reject();
  });
  // Started from the last file chosen, which is gone: the dialog opens in
  // its folder and proposes no name.
  const std::string chosen =
      dialogs.fileDialog(false, nullptr, folder.filePath("last.tdb").toStdString(), "", {"tdb Files", "*.tdb"});
  QCOMPARE(title, QString("Open File"));
  QCOMPARE(filters, QStringList({"tdb Files (*.tdb)"}));
  QCOMPARE(shownFolder, QDir(folder.path()).absolutePath());
  QVERIFY2(!proposed.join(" ").contains("last.tdb"), qPrintable(proposed.join(" ")));
  QCOMPARE(chosen, std::string());
}

void DesktopServicesTest::saveDialogProposesTheCurrentFile() {
  QTemporaryDir folder;
  QtFileDialogProvider dialogs;
  QString title;
  QString shownFolder;
  QStringList proposed;
  bool asksOverwrite = true;
  whenShown<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    shownFolder = dialog->directory().absolutePath();
    proposed = dialog->selectedFiles();
    // The program asks "File exists. Replace this file?" itself.
    asksOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
    // done() skips the dialog's own checks of the typed name, which race with
    // the folder it is still reading; the answer is the same.
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
  });
  const std::string current = folder.filePath("north.tdb").toStdString();
  const std::string chosen = dialogs.fileDialog(true, nullptr, "", current, {"tdb Files", "*.tdb"});
  QCOMPARE(title, QString("Save File"));
  QCOMPARE(shownFolder, QDir(folder.path()).absolutePath());
  QCOMPARE(proposed, QStringList({folder.filePath("north.tdb")}));
  QVERIFY(!asksOverwrite);
  QCOMPARE(chosen, current);
}

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
