// The desktop's own message boxes and file dialogs behind the Prompter and
// the dialog provider: their texts, buttons, filter and start folder. Each
// case answers the modal window from a timer, as a user would.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

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
  void cancelledDialogGivesAnEmptyAnswer();
};

namespace {

// Runs `answer` on the modal window once it is up.
template <typename Window>
void whenShown(std::function<void(Window*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, answer] {
    if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      answer(window);
    }
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
  QFile product(folder.filePath("roads.tdb"));
  QVERIFY(product.open(QIODevice::WriteOnly));
  product.close();
  QtFileDialogProvider dialogs;
  QString title;
  QStringList filters;
  QString shownFolder;
  whenShown<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    shownFolder = dialog->directory().absolutePath();
    dialog->selectFile(folder.filePath("roads.tdb"));
    static_cast<QDialog*>(dialog)->accept();
  });
  // Started from the last file chosen: the dialog opens in its folder.
  const std::string chosen =
      dialogs.fileDialog(false, nullptr, folder.filePath("last.tdb").toStdString(), "", {"tdb Files", "*.tdb"});
  QCOMPARE(title, QString("Open File"));
  QCOMPARE(filters, QStringList({"tdb Files (*.tdb)"}));
  QCOMPARE(shownFolder, QDir(folder.path()).absolutePath());
  QCOMPARE(QString::fromStdString(chosen), folder.filePath("roads.tdb"));
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
    static_cast<QDialog*>(dialog)->accept();
  });
  const std::string current = folder.filePath("north.tdb").toStdString();
  const std::string chosen = dialogs.fileDialog(true, nullptr, "", current, {"tdb Files", "*.tdb"});
  QCOMPARE(title, QString("Save File"));
  QCOMPARE(shownFolder, QDir(folder.path()).absolutePath());
  QCOMPARE(proposed, QStringList({folder.filePath("north.tdb")}));
  QVERIFY(!asksOverwrite);
  QCOMPARE(chosen, current);
}

void DesktopServicesTest::cancelledDialogGivesAnEmptyAnswer() {
  QtFileDialogProvider dialogs;
  whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  QCOMPARE(dialogs.fileDialog(false, nullptr, QDir::tempPath().toStdString(), "", {"tdb Files", "*.tdb"}),
           std::string());
}

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
