// The "Create TDB Files" dialog end to end: choose the tiles of a folder,
// browse elsewhere, compute the overview bounds, see them and the "+", save,
// reload; and "Create mdx" from the Tools menu.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <fstream>

#include "core/img/typ_file.hpp"
#include "createfiles/create_gmap_command.hpp"
#include "createfiles/mapsource_commands.hpp"
#include "mainwindow/file_commands.hpp"
#include "mainwindow/header_row.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "support/accessibility.hpp"
#include "support/fake_install.hpp"
#include "support/modal.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class CreateFilesTest : public QObject {
  Q_OBJECT
 private slots:
  void boundsFromChosenTilesAreSavedAndReloaded();
  void createMdxWritesTheIndexOfTheOpenProduct();
  void createGmapWritesTheBundleOfTheChosenFiles();
};

namespace {

QStringList items(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

void CreateFilesTest::boundsFromChosenTilesAreSavedAndReloaded() {
  WindowFixture f;
  const std::string tdb = f.copyFixture("north/north.tdb");
  f.copyFixture("north/63240001.img");
  f.copyFixture("north/63240002.img");
  // Another folder with a tile of the same name that lies elsewhere (the grid
  // set is in central Europe): browsing to it must not swap the chosen tile.
  const QString other = QString::fromStdString(f.workPath("other"));
  QDir().mkpath(other);
  f.copyFixture("grid/12340001.img", "other/63240001.img");
  FakeInstallEnvironment install;
  f.install = &install;
  MainWindow& w = f.start(tdb);
  PROMPTS_OK(f);
  const QString folder = QFileInfo(QString::fromStdString(tdb)).absolutePath();

  bool ran = false;
  auto inDialog = [&](CreateFilesDialog* d) {
    QCOMPARE(d->windowTitle(), QStringLiteral("Create TDB Files"));
    QCOMPARE(d->folder(), folder);
    QCOMPARE(w.state().settings.lastMapFolder, folder.toStdString() + "/");
    QCOMPARE(d->fidBox()->text(), QStringLiteral("4660"));
    QCOMPARE(d->pidBox()->text(), QStringLiteral("1"));
    QCOMPARE(d->nameBox()->text(), QString::fromStdString(w.state().form.seriesNameText));
    QCOMPARE(items(d->fileList(0)), QStringList({"63240001.img", "63240002.img"}));
    QCOMPARE(items(d->fileList(1)), QStringList({"north.tdb"}));
    // The lists show bare names; the folder they come from is shown above them.
    QCOMPARE(d->listedFolder()->text(), "Files in: " + QDir::toNativeSeparators(folder));
    // Every control can be found by a screen reader.
    VERIFY_ACCESSIBLE(d);
    QVERIFY(d->createButton()->isEnabled());
    QCOMPARE(d->gmapButton()->accessibleName(), QStringLiteral("Create gmap"));
    QVERIFY(d->gmapButton()->isEnabled());

    f.prompter.expectMessage("Please select.");
    QTest::mouseClick(d->addButton(2), Qt::LeftButton);  // no MDX file in the folder
    d->fileList(1)->selectAll();
    QTest::mouseClick(d->addButton(1), Qt::LeftButton);
    d->fileList(0)->selectAll();
    QTest::mouseClick(d->addButton(0), Qt::LeftButton);
    QCOMPARE(items(d->chosenList()), QStringList({"north.tdb", "63240001.img", "63240002.img"}));

    // Browse to the other folder through the tree.
    auto* model = qobject_cast<QFileSystemModel*>(d->folderTree()->model());
    d->folderTree()->setCurrentIndex(model->index(other));
    QCOMPARE(d->folder(), other);
    QCOMPARE(items(d->fileList(0)), QStringList({"63240001.img"}));
    QCOMPARE(d->listedFolder()->text(), "Files in: " + QDir::toNativeSeparators(other));

    // The product file holds no tile: it says so and leaves the bounds alone.
    f.prompter.expectMessage("needs xorring").expectMessage("no data");
    QTest::mouseClick(d->boundsButton(0), Qt::LeftButton);
    QVERIFY(w.windowTitle().endsWith("+"));
    MoreOptionsPanel* panel = w.moreOptionsPanel();
    // Rounded outward, so that the box holds both tiles whole.
    QCOMPARE(panel->boundBox(Bound::North)->text(), QStringLiteral("52.00001"));
    QCOMPARE(panel->boundBox(Bound::East)->text(), QStringLiteral("1"));
    QCOMPARE(panel->boundBox(Bound::South)->text(), QStringLiteral("50.99999"));
    QCOMPARE(panel->boundBox(Bound::West)->text(), QStringLiteral("0"));
    QVERIFY2(d->scanView()->toPlainText().contains("Tiles: 1 in this file, 2 in all chosen files"),
             qPrintable(d->scanView()->toPlainText()));
    QVERIFY(d->scanView()->toPlainText().contains(
        "Last file: 63240002.img\nKinds: RGN,TRE,LBL,NET,NOD,\nSizes: 2D8,2C8,25B,133,400,"));

    // "Create": the registry file of the chosen files, in their folder (not
    // the one browsed to), handed to the importer.
    const QString windowsFolder = QString::fromStdString(*install.windowsFolder(folder.toStdString()));
    // One message says what was written (no basemap, index or MDR) and,
    // read back, that the keys did not arrive: this importer only records.
    const std::string registryFile = folder.toStdString() + "/North Test.reg";
    const std::string key = "SOFTWARE\\Garmin\\MapSource\\Families\\North Test";
    f.prompter.expectMessage("Registry file written: " + registryFile + "\r\n\r\n" + windowsFolder.toStdString() +
                             "\r\n\r\nnorth.tdb\r\n\r\n\r\n\r\nThe import failed: the importer ended, but the registry "
                             "does not hold\r\n    the key " +
                             key + "\r\n    the key " + key + "\\1\r\n");
    d->nameBox()->setText(QStringLiteral("North Test"));
    QTest::mouseClick(d->createButton(), Qt::LeftButton);
    QCOMPARE(install.recordingImporter.imported, std::vector<std::string>{registryFile});
    const QString text = QString::fromStdString(readText(registryFile));
    QVERIFY2(text.contains("\"TDB\"=\"" + QString(windowsFolder).replace("\\", "\\\\") + "\\\\north.tdb\"\r\n"),
             qPrintable(text));
    QVERIFY(text.contains("\"ID\"=hex:34,12\r\n"));

    ran = true;
  };
  // A timer, not a queued call: the command itself is queued after this line.
  QTimer::singleShot(10, [&] {
    CreateFilesDialog* d = w.mapsourceCommands().openDialog();
    QVERIFY(d);
    inDialog(d);
    // Closed whatever happened above, so that a failure cannot hang the test.
    QTest::mouseClick(d->closeButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->createAll());
  QVERIFY(ran);
  PROMPTS_OK(f);
  QCOMPARE(w.state().settings.lastMapFolder, other.toStdString());

  const std::string backup = tdb.substr(0, tdb.size() - 4) + "_bak.tdb";
  f.prompter.expectMessage("Created backup of original TDB as read only:\r\n\r\n" + backup);
  QVERIFY(w.fileCommands().save(SaveKind::Save));
  QVERIFY(!w.windowTitle().endsWith("+"));
  w.fileCommands().openProductFile(tdb, false);
  PROMPTS_OK(f);
  // Reloaded as the file holds it, cut to five decimals again.
  QCOMPARE(w.state().form.overviewNorth.substr(0, 4), std::string("52.0"));
  QCOMPARE(w.state().form.overviewWest, std::string("0"));
  QVERIFY(std::abs(std::stod(w.state().form.overviewSouth) - 50.99999) < 1.1e-5);
}

void CreateFilesTest::createMdxWritesTheIndexOfTheOpenProduct() {
  WindowFixture f;
  MainWindow& w = f.start();
  f.prompter.expectMessage("No Data.");
  test::choose(w.menus()->createMdx());
  PROMPTS_OK(f);

  const std::string tdb = f.copyFixture("north/north.tdb");
  w.fileCommands().openProductFile(tdb, false);
  const std::string target = f.workPath("north.mdx");
  f.dialogs.answer(target);
  test::choose(w.menus()->createMdx());
  PROMPTS_OK(f);
  QCOMPARE(f.dialogs.calls.size(), std::size_t{1});
  const DialogCall& call = f.dialogs.calls[0];
  QVERIFY(call.save);
  QCOMPARE(call.filter.description, std::string("MDX Files"));
  QCOMPARE(call.filter.pattern, std::string("*.mdx"));
  QCOMPARE(call.fileName, std::string("*.mdx"));
  QCOMPARE(call.startPath, tdb);
  // The same bytes as mkgmap's index of this product.
  QCOMPARE(readText(target), readText(VELMOR_TEST_DATA "/north/north.mdx"));

  // The ids come from the boxes: an FID that does not fit is refused by name.
  QLineEdit* fid = w.headerRow()->textBox(HeaderText::Fid);
  fid->selectAll();
  QTest::keyClicks(fid, "70000");
  QCOMPARE(w.state().form.fidText, std::string("70000"));
  f.dialogs.answer(target);
  f.prompter.expectMessage("The FID box must hold a whole number from 0 to 65535. No MDX was written.");
  test::choose(w.menus()->createMdx());
  PROMPTS_OK(f);
  QCOMPARE(readText(target), readText(VELMOR_TEST_DATA "/north/north.mdx"));
}

void CreateFilesTest::createGmapWritesTheBundleOfTheChosenFiles() {
  WindowFixture f;
  f.start();
  std::vector<std::string> chosen = {f.copyFixture("north/north.tdb")};
  for (const char* name : {"north.img", "63240001.img", "63240002.img", "north.mdx", "north_mdr.img"})
    chosen.push_back(f.copyFixture(std::string("north/") + name));
  // A style made for another product (family 1234, product 5).
  std::vector<std::uint8_t> typ(0x9C, 0);
  typ[0] = 0x9C;
  const std::string signature = "GARMIN TYP";
  std::copy(signature.begin(), signature.end(), typ.begin() + 2);
  typ[0x2F] = 0xD2;
  typ[0x30] = 0x04;
  typ[0x31] = 5;
  const std::string typPath = f.workPath("style.typ");
  std::ofstream(typPath, std::ios::binary)
      .write(reinterpret_cast<const char*>(typ.data()), std::streamsize(typ.size()));
  const std::string out = f.workPath("bundles");
  QDir().mkpath(QString::fromStdString(out));
  std::string folderAsked;
  // BaseCamp's maps folder, not there yet.
  const std::string maps = f.workPath("ProgramData/Garmin/Maps");
  GmapChoices choices{[&](const std::string& start) {
                        folderAsked = start;
                        return out;
                      },
                      [&](const std::string&) { return typPath; },
                      [&]() -> std::optional<std::string> { return maps; }};

  const std::string bundle = out + "/North Family.gmap";
  f.prompter.expectQuestion(
      "The TYP file " + typPath +
          " has the ids family 1234, product 5, the product family "
          "4660, product 1: BaseCamp will not use its style. Give the bundle's copy the product's ids?",
      Answer::Yes);
  f.prompter.expectMessage(std::string(kGmapWritten) + " " + bundle);
  f.prompter.expectQuestion(installGmapQuestion(maps), Answer::Yes);
  f.prompter.expectMessage(std::string(kGmapInstalled) + " " + maps + "/North Family.gmap");
  QCOMPARE(createGmapFromChosen(chosen, f.prompter, choices), bundle);
  PROMPTS_OK(f);
  QCOMPARE(readText(maps + "/North Family.gmap/Info.xml"), readText(bundle + "/Info.xml"));
  QCOMPARE(folderAsked + "/north.tdb", chosen[0]);
  std::string error;
  auto ids = readTypIds(bundle + "/xstyle.typ", error);
  QVERIFY2(ids, error.c_str());
  QCOMPARE(ids->familyId, 4660);
  QCOMPARE(ids->productId, 1);
  QCOMPARE(readText(bundle + "/Product1/north.tdb"), readText(chosen[0]));
  QVERIFY(QFileInfo::exists(QString::fromStdString(bundle + "/Product1/63240002/63240002.RGN")));

  // Again into the same folder: told, and the bundle stays as it was.
  f.prompter.expectQuestion(
      "The TYP file " + typPath +
          " has the ids family 1234, product 5, the product family "
          "4660, product 1: BaseCamp will not use its style. Give the bundle's copy the product's ids?",
      Answer::No);
  f.prompter.expectMessage(bundle + " exists already; nothing was written");
  QCOMPARE(createGmapFromChosen(chosen, f.prompter, choices), std::string());
  PROMPTS_OK(f);
  QVERIFY(!QFileInfo::exists(QString::fromStdString(bundle + "/style.typ")));

  // Without a product file among the chosen files.
  f.prompter.expectMessage("Cannot find tdb file");
  QCOMPARE(createGmapFromChosen({chosen[1]}, f.prompter, choices), std::string());
  PROMPTS_OK(f);
}

QTEST_MAIN(CreateFilesTest)
#include "create_files_test.moc"
