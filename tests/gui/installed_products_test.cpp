// Tools, "Get tdb from Mapsource": the browser lists a stand-in registry,
// searches it and opens the chosen product through the window's own open;
// and the "Create" button's registry file through its adapter.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "core/install/install_environment.hpp"
#include "install/check_product_dialog.hpp"
#include "install/create_registry_file.hpp"
#include "install/get_tdb_command.hpp"
#include "install/installed_products_dialog.hpp"
#include "mainwindow/header_row.hpp"
#include "mainwindow/main_menus.hpp"
#include "support/fake_install.hpp"
#include "support/modal.hpp"
#include "support/accessibility.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class InstalledProductsTest : public QObject {
  Q_OBJECT
 private slots:
  void browserListsSearchesAndOpensTheChosenProduct();
  void unsavedChangesAndAMissingFileStopTheOpen();
  void createButtonAdapterWritesTheFileAndCallsTheImporter();
  void emptyListSaysWhereItLooked();
  void removeWritesTheRemovalAndReadsItBack();
  void checkProductListsErrorsFirstAndCopiesThem();
};

namespace {

const std::string kFamilies = "SOFTWARE\\Garmin\\MapSource\\Families\\";

// Runs `act` on the browser once it is up (it is modal, and it lets events
// run while it fills), then triggers the menu entry.
void withBrowser(MainWindow& w, const std::function<void(InstalledProductsDialog&)>& act) {
  bool ran = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<InstalledProductsDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    poll.stop();
    ran = true;
    act(*dialog);
    if (QApplication::activeModalWidget() == dialog) dialog->reject();
  });
  poll.start();
  test::choose(w.menus()->getTdb());
  QVERIFY(ran);
}

void doubleClick(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  const QPoint at = list->visualItemRect(item).center();
  // A double click is a click and then a second press, as a mouse sends it.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

void InstalledProductsTest::browserListsSearchesAndOpensTheChosenProduct() {
  WindowFixture f;
  const std::string grid = f.copyFixture("grid/grid.tdb", "Grid.tdb");
  FakeInstallEnvironment env;
  env.registryReader.text(kFamilies + "Alps\\1", "TDB", "C:\\Maps\\Alps\\alps.tdb")
      .text(kFamilies + "Grid Map", "TDB", "C:\\Maps\\Grid\\Grid.tdb");
  env.files["c:\\maps\\grid\\grid.tdb"] = grid;
  f.install = &env;
  MainWindow& w = f.start();
  QVERIFY(w.menus()->getTdb()->isEnabled());

  withBrowser(w, [&](InstalledProductsDialog& d) {
    QCOMPARE(d.windowTitle(), QString("TDBs in Mapsource/Basecamp"));
    QCOMPARE(d.list()->count(), 2);
    QCOMPARE(d.list()->item(1)->text(), QString("    grid map   c:\\maps\\grid"));
    QCOMPARE(d.searchBox()->palette().color(QPalette::Base), QColor(214, 252, 148));
    QCOMPARE(QApplication::focusWidget(), d.searchBox());
    VERIFY_ACCESSIBLE(&d);
    // Enter in the search box searches; it does not press "Open".
    QTest::keyClicks(d.searchBox(), "GRID");
    QTest::keyClick(d.searchBox(), Qt::Key_Return);
    QVERIFY(d.isVisible());
    QCOMPARE(d.list()->selectedItems().size(), 1);
    QCOMPARE(d.list()->row(d.list()->selectedItems().front()), 1);
    d.openButton()->click();
  });
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, grid);
  QCOMPARE(w.headerRow()->textBox(HeaderText::Fid)->text(), QString("300"));
  QCOMPARE(w.state().recent.captions[0], grid);
  QVERIFY(!w.windowTitle().endsWith("+"));
}

void InstalledProductsTest::unsavedChangesAndAMissingFileStopTheOpen() {
  WindowFixture f;
  const std::string north = f.copyFixture("north/north.tdb");
  FakeInstallEnvironment env;
  env.registryReader.text(kFamilies + "Gone", "TDB", "C:\\Maps\\Gone\\gone.tdb");
  f.install = &env;
  MainWindow& w = f.start(north);
  QLineEdit* fid = w.headerRow()->textBox(HeaderText::Fid);
  fid->setFocus();
  fid->selectAll();
  QTest::keyClicks(fid, "99");
  QVERIFY(w.state().file.modified);

  // "Open" with nothing selected keeps the browser up; Cancel to the question keeps the edits.
  f.prompter.expectMessage(InstalledProductsDialog::kPleaseSelect);
  f.prompter.expectQuestion(kSaveAsTdbFirst, Answer::Cancel);
  withBrowser(w, [&](InstalledProductsDialog& d) {
    d.openButton()->click();
    QVERIFY(d.isVisible());
    doubleClick(d.list(), 0);
  });
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, north);
  QVERIFY(w.state().file.modified);

  // No goes on, to a product file that is not there.
  f.prompter.expectQuestion(kSaveAsTdbFirst, Answer::No);
  f.prompter.expectMessage("Cannot locate c:\\maps\\gone\\gone.tdb");
  withBrowser(w, [&](InstalledProductsDialog& d) { doubleClick(d.list(), 0); });
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, north);
  QCOMPARE(fid->text(), QString("99"));
}

void InstalledProductsTest::createButtonAdapterWritesTheFileAndCallsTheImporter() {
  WindowFixture f;
  FakeInstallEnvironment env;
  env.is64 = true;
  const QString folder = QString::fromStdString(f.workPath(""));
  const QStringList chosen = {folder + "/grid.tdb", folder + "/grid.mdx", folder + "/12340001.img",
                              folder + "/grid_mdr.img", folder + "/grid.img"};
  // One message: written, and read back, not imported (the stand-in importer only records).
  const std::string key = kFamilies + "Grid Map";
  f.prompter.expectMessage(
      "Registry file written: " + f.workPath("Grid Map.reg") + "\r\n\r\n" + *env.windowsFolder(f.workPath("")) +
      "\r\ngrid.img\r\ngrid.tdb\r\ngrid.mdx\r\ngrid_mdr.img" +
      "\r\n\r\nThe import failed: the importer ended, but the registry does not hold\r\n    the key " + key +
      "\r\n    the key " + key + "\\1\r\n");
  const auto result = createRegistryFile(chosen, "Grid Map", "4660", folder, f.prompter, env, quietActivity());
  PROMPTS_OK(f);
  QCOMPARE(result.status, MapsourceFilesStatus::Written);
  QCOMPARE(result.registryFile, f.workPath("Grid Map.reg"));
  QCOMPARE(env.recordingImporter.imported, std::vector<std::string>{result.registryFile});
  const std::string text = readText(result.registryFile);
  QVERIFY(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Garmin\\MapSource\\Families\\Grid Map\\1]\r\n") !=
          std::string::npos);
  // grid.img is named "grid", whose number is 0: the basemap.
  QVERIFY(text.find("\"BMAP\"=\"Z:") != std::string::npos);
}

void InstalledProductsTest::emptyListSaysWhereItLooked() {
  WindowFixture f;
  // This machine's own environment, on a Wine prefix that is not there.
  const std::string prefix = f.workPath("no-such-prefix");
  auto env = systemInstallEnvironment(prefix);
  f.install = env.get();
  MainWindow& w = f.start();
  withBrowser(w, [&](InstalledProductsDialog& d) {
    QCOMPARE(d.list()->count(), 0);
    QVERIFY(d.emptyReason() && d.emptyReason()->isVisible());
    const QString reason = d.emptyReason()->text();
    QVERIFY2(reason.startsWith("MapSource and BaseCamp know no map products here. Looked in the Wine prefix " +
                               QString::fromStdString(prefix) + ", which does not exist"),
             qPrintable(reason));
    QVERIFY2(reason.contains("c:\\programdata\\garmin\\maps, which it does not have"), qPrintable(reason));
    VERIFY_ACCESSIBLE(&d);
  });
  PROMPTS_OK(f);

  // A listed product: no reason shown.
  FakeInstallEnvironment fake;
  fake.registryReader.text(kFamilies + "Alps\\1", "TDB", "C:\\Maps\\Alps\\alps.tdb");
  WindowFixture g;
  g.install = &fake;
  MainWindow& v = g.start();
  withBrowser(v, [&](InstalledProductsDialog& d) {
    QCOMPARE(d.list()->count(), 1);
    QVERIFY(!d.emptyReason());
  });
}

void InstalledProductsTest::removeWritesTheRemovalAndReadsItBack() {
  WindowFixture f;
  FakeInstallEnvironment env;
  env.registryReader.text(kFamilies + "Alps\\1", "TDB", "C:\\Maps\\Alps\\alps.tdb");
  f.install = &env;
  MainWindow& w = f.start();
  // The stand-in importer deletes nothing: the key read back is still there, which is a failure.
  f.prompter.expectMessage(InstalledProductsDialog::kPleaseSelect)
      .expectQuestion(
          "Remove \"alps\" from MapSource and BaseCamp? Its registry keys are deleted; its files stay "
          "where they are.",
          Answer::Yes)
      .expectMessage("The removal failed: the importer ended, but the registry still holds " + kFamilies + "alps");
  withBrowser(w, [&](InstalledProductsDialog& d) {
    VERIFY_ACCESSIBLE(&d);
    d.removeButton()->click();
    d.list()->setCurrentRow(0);
    d.removeButton()->click();
  });
  PROMPTS_OK(f);
  QCOMPARE(env.recordingImporter.imported.size(), std::size_t{1});
  QCOMPARE(QString::fromStdString(readText(env.recordingImporter.imported[0])),
           QString("REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource\\Families\\alps]\r\n\r\n"));
}

void InstalledProductsTest::checkProductListsErrorsFirstAndCopiesThem() {
  WindowFixture f;
  // The product file alone: its tiles, basemap and index are not beside it.
  const std::string north = f.copyFixture("north/north.tdb");
  FakeInstallEnvironment env;
  f.install = &env;
  MainWindow& w = f.start(north);
  bool ran = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* d = qobject_cast<CheckProductDialog*>(QApplication::activeModalWidget());
    if (!d || !d->isVisible()) return;
    poll.stop();
    ran = true;
    QCOMPARE(d->windowTitle(), QString("Check Product"));
    VERIFY_ACCESSIBLE(d);
    QVERIFY(d->list()->count() >= 3);
    QCOMPARE(d->list()->item(0)->text(),
             QString("error: 2 detail maps have no IMG among the files: 63240001.img, 63240002.img"));
    QVERIFY(d->list()->item(d->list()->count() - 1)->text().startsWith("ok: "));
    d->copyButton()->click();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromStdString(findingsText(d->findings())));
    d->closeButton()->click();
  });
  poll.start();
  test::choose(w.menus()->checkProduct());
  QVERIFY(ran);
  PROMPTS_OK(f);
}

QTEST_MAIN(InstalledProductsTest)
#include "installed_products_test.moc"
