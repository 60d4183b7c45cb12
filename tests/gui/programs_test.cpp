// Preferences, "Locate Programs" and "Settings", the launch button and
// Tools, "Create Basemap" in the window, with stand-in programs that record
// how they were started.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QThread>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <sys/stat.h>

#include "core/editor/colour.hpp"
#include "dialogs/colour_chooser_dialog.hpp"
#include "dialogs/colour_widgets.hpp"
#include "dialogs/locate_programs_dialog.hpp"
#include "dialogs/preferences_dialog.hpp"
#include "install/compiler_wait_dialog.hpp"
#include "mainwindow/file_commands.hpp"
#include "mainwindow/header_row.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/map_area.hpp"
#include "plot/plot_widget.hpp"
#include "support/accessibility.hpp"
#include "support/modal.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class ProgramsTest : public QObject {
  Q_OBJECT
 private slots:
  void locateProgramsTakesBrowsedPathsAtOnceAndTheRestOnOk();
  void preferencesStoreOnlyOnOkAndTheColoursReachThePlot();
  void launchButtonAsksAboutUnsavedChangesAndStartsTheProgram();
  void createBasemapSuggestsTheProductsNameAndCompilesIt();
  void createBasemapWaitsInADialogWhoseCancelStopsTheCompiler();
};

namespace {

void writeFile(const std::string& path, const std::string& text) {
  QFile out(QString::fromStdString(path));
  QVERIFY(out.open(QIODevice::WriteOnly));
  out.write(text.data(), static_cast<qint64>(text.size()));
}

// Whether a process has gone (a zombie waiting for its reaper counts as gone).
bool processGone(const QString& pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  return !stat.open(QIODevice::ReadOnly) || stat.readAll().split(' ').value(2) == "Z";
}

// A program that writes its argument count to `record`.
std::string recordingProgram(const std::string& path, const std::string& record, const std::string& more = "") {
  writeFile(path, "#!/bin/sh\necho \"$#\" > '" + record + "'\n" + more + "\n");
  ::chmod(path.c_str(), 0755);
  return path;
}

bool waitForFile(const std::string& path) {
  return QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(path)); }, 5000);
}

}  // namespace

void ProgramsTest::locateProgramsTakesBrowsedPathsAtOnceAndTheRestOnOk() {
  WindowFixture f;
  MainWindow& w = f.start();
  Settings& settings = w.state().settings;
  settings.mapSourcePath = "/garmin/old/MapSource.exe";
  settings.defaultProgram = 1;
  const std::string notes = f.workPath("notes.txt");
  const std::string mapsource = f.workPath("MapSource.exe");
  writeFile(notes, "");
  writeFile(mapsource, "MZ");
  f.dialogs.answer(notes);
  f.dialogs.answer(mapsource);
  f.prompter.expectMessage("Mapsource not found.");

  bool shown = false;
  whenShown<LocateProgramsDialog>([&](LocateProgramsDialog* d) {
    shown = true;
    QCOMPARE(d->windowTitle(), QString("Settings"));
    VERIFY_ACCESSIBLE(d);
    QCOMPARE(d->pathBox(ProgramRow::MapSource)->text(), QString("/garmin/old/MapSource.exe"));
    QVERIFY(d->defaultOption(MapProgram::BaseCamp)->isChecked());
    QTest::mouseClick(d->browseButton(ProgramRow::MapSource), Qt::LeftButton);  // notes.txt: refused
    QTest::mouseClick(d->browseButton(ProgramRow::MapSource), Qt::LeftButton);
    QCOMPARE(d->pathBox(ProgramRow::MapSource)->text(), QString::fromStdString(mapsource));
    d->pathBox(ProgramRow::Qlandkarte)->setText("typed");
    d->defaultOption(MapProgram::Qlandkarte)->setChecked(true);
    QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->locatePrograms());
  QVERIFY(shown);
  PROMPTS_OK(f);
  QCOMPARE(f.dialogs.calls.size(), std::size_t(2));
  QCOMPARE(f.dialogs.calls[0].startPath, std::string("/garmin/old"));
  QCOMPARE(f.dialogs.calls[0].filter.pattern, std::string("*.exe"));
  // The browsed path was taken at once; Cancel dropped the typed one.
  QCOMPARE(settings.mapSourcePath, mapsource);
  QCOMPARE(settings.qlandkartePath, std::string());
  QCOMPARE(settings.defaultProgram, 1);
  QCOMPARE(w.headerRow()->launchButton()->accessibleName(), QString("Start BaseCamp"));

  // A compiler path that names no file is refused at "OK" (the dialog
  // stays), as is one typed into the file dialog; an existing one is taken.
  const std::string mkgmap = f.workPath("mkgmap");
  writeFile(mkgmap, "#!/bin/sh\n");
  const std::string gone = f.workPath("gone/mkgmap");
  const std::string refusal =
      "The map compiler " + gone + " does not exist. Choose the program file with \"<<\" or leave the box empty.";
  f.prompter.expectMessage(refusal).expectMessage(refusal);
  f.dialogs.answer(gone);
  whenShown<LocateProgramsDialog>([&](LocateProgramsDialog* d) {
    // Two dialogs of Preferences are titled "Settings"; the description tells them apart.
    QVERIFY(d->accessibleDescription().startsWith("Locate Programs"));
    d->defaultOption(MapProgram::Qlandkarte)->setChecked(true);
    QTest::mouseClick(d->browseButton(ProgramRow::MapCompiler), Qt::LeftButton);
    QCOMPARE(d->pathBox(ProgramRow::MapCompiler)->text(), QString());
    d->pathBox(ProgramRow::MapCompiler)->setText(QString::fromStdString(gone));
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
    QVERIFY(d->isVisible());
    QCOMPARE(settings.mapCompilerPath, std::string());
    d->pathBox(ProgramRow::MapCompiler)->setText(QString::fromStdString(mkgmap));
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->locatePrograms());
  QCOMPARE(settings.defaultProgram, 2);
  QCOMPARE(settings.mapCompilerPath, mkgmap);
  QToolButton* launch = w.headerRow()->launchButton();
  QCOMPARE(launch->accessibleName(), QString("Start QlandkarteGT"));
  QVERIFY(!launch->icon().pixmap(32, 32).isNull());
  PROMPTS_OK(f);
}

void ProgramsTest::preferencesStoreOnlyOnOkAndTheColoursReachThePlot() {
  WindowFixture f;
  MainWindow& w = f.start();
  Settings& settings = w.state().settings;
  settings.logsEnabled = true;
  const Settings before = settings;
  const Colour blue = rgbColour(0, 0, 255);

  auto chooseBlue = [](ColourChooserDialog* chooser) {
    QTest::mouseClick(chooser->paletteSwatch(2), Qt::LeftButton);  // 0000ff
    QTest::mouseClick(chooser->okButton(), Qt::LeftButton);
  };
  whenShown<PreferencesDialog>([&](PreferencesDialog* d) {
    QCOMPARE(d->windowTitle(), QString("Settings"));
    QVERIFY(d->accessibleDescription().startsWith("Preferences"));
    VERIFY_ACCESSIBLE(d);
    QVERIFY(d->option(Preference::Logs)->isChecked());
    QVERIFY(!d->option(Preference::ClearCache)->isChecked());
    d->option(Preference::ClearCache)->setChecked(true);
    whenShown<ColourChooserDialog>(chooseBlue);
    QTest::mouseClick(d->blockColourButton(), Qt::LeftButton);
    QCOMPARE(d->blockSwatch()->colour(), blue);
    QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->settings());
  QVERIFY(!settings.clearCache);
  QCOMPARE(settings.blockColour, before.blockColour);

  whenShown<PreferencesDialog>([&](PreferencesDialog* d) {
    d->option(Preference::ClearCache)->setChecked(true);
    d->option(Preference::Logs)->setChecked(false);
    whenShown<ColourChooserDialog>(chooseBlue);
    QTest::mouseClick(d->blockColourButton(), Qt::LeftButton);
    // A cancelled chooser leaves the swatch as it was.
    whenShown<ColourChooserDialog>([](ColourChooserDialog* chooser) {
      QTest::mouseClick(chooser->paletteSwatch(0), Qt::LeftButton);
      QTest::mouseClick(chooser->cancelButton(), Qt::LeftButton);
    });
    QTest::mouseClick(d->borderColourButton(), Qt::LeftButton);
    QCOMPARE(d->borderSwatch()->colour(), before.blockBorderColour);
    QTest::mouseClick(d->okButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->settings());
  QVERIFY(settings.clearCache);
  QVERIFY(!settings.logsEnabled);
  QCOMPARE(settings.blockColour, blue);
  QCOMPARE(settings.blockBorderColour, before.blockBorderColour);
  QCOMPARE(w.mapArea()->plot()->highlightFill(), static_cast<std::uint32_t>(blue));
  PROMPTS_OK(f);
}

void ProgramsTest::launchButtonAsksAboutUnsavedChangesAndStartsTheProgram() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  Settings& settings = w.state().settings;
  QToolButton* launch = w.headerRow()->launchButton();
  QVERIFY(launch->isEnabled());
  f.prompter.expectMessage("Please locate program in Preferences.");
  QTest::mouseClick(launch, Qt::LeftButton);
  PROMPTS_OK(f);

  const std::string record = f.workPath("started.txt");
  settings.qlandkartePath = recordingProgram(f.workPath("qmapshack"), record);
  settings.defaultProgram = 2;
  w.state().file.modified = true;
  f.prompter.expectQuestion("Changes have not been saved. Continue?", Answer::No);
  QTest::mouseClick(launch, Qt::LeftButton);
  QTest::qWait(100);
  QVERIFY(!QFile::exists(QString::fromStdString(record)));
  // Any mouse button starts it.
  f.prompter.expectQuestion("Changes have not been saved. Continue?", Answer::Yes);
  QTest::mouseClick(launch, Qt::RightButton);
  QVERIFY(waitForFile(record));
  PROMPTS_OK(f);
}

void ProgramsTest::createBasemapSuggestsTheProductsNameAndCompilesIt() {
  WindowFixture f;
  MainWindow& w = f.start();
  QAction* entry = w.menus()->createBasemap();
  QVERIFY(entry->isEnabled());
  f.prompter.expectMessage("No Data.");
  test::choose(entry);
  PROMPTS_OK(f);

  const std::string product = f.copyFixture("north/north.tdb");
  w.fileCommands().openProductFile(product, true);
  // cgpsmapper leaves pv.img beside the map source it was given.
  const std::string args = f.workPath("compiler.txt");
  w.state().settings.mapCompilerPath = recordingProgram(f.workPath("cgpsmapper"), args, "cp \"$1\" \"${1%.mp}.img\"");
  const std::string target = f.workPath("North Base.img");
  f.dialogs.answer(target);
  f.prompter.expectMessage("mp saved").expectMessage("New basemap created");
  test::choose(entry);
  PROMPTS_OK(f);
  QCOMPARE(f.dialogs.calls.back().fileName, f.workPath("north.img"));
  QVERIFY(f.dialogs.calls.back().save);
  QCOMPARE(f.dialogs.calls.back().filter.pattern, std::string("*.img"));
  QCOMPARE(readText(args), std::string("1\n"));
  QVERIFY(readText(target).find("Label=") != std::string::npos);
  QVERIFY(!QFile::exists(QString::fromStdString(w.state().folders.systemFolder + "/pv.mp")));
}

void ProgramsTest::createBasemapWaitsInADialogWhoseCancelStopsTheCompiler() {
  WindowFixture f;
  MainWindow& w = f.start();
  w.fileCommands().openProductFile(f.copyFixture("north/north.tdb"), true);
  // A compiler that hangs in a program of its own, as java or wine would.
  const std::string child = f.workPath("child.pid");
  const std::string compiler = recordingProgram(f.workPath("cgpsmapper"), f.workPath("compiler.txt"),
                                                "sleep 300 & echo $! > '" + child + "'; wait");
  w.state().settings.mapCompilerPath = compiler;
  const std::string target = f.workPath("North Base.img");
  f.dialogs.answer(target);
  f.prompter.expectMessage("mp saved")
      .expectMessage("Create Basemap was cancelled: the map compiler " + compiler +
                     " was stopped. Nothing was replaced.");
  QString title, status;
  QStringList problems;
  bool windowBlocked = false, closeRefused = false;
  whenShown<CompilerWaitDialog>([&](CompilerWaitDialog* wait) {
    for (int k = 0; k < 500 && !QFile::exists(QString::fromStdString(child)); ++k) QThread::msleep(10);
    title = wait->windowTitle();
    status = wait->status()->text();
    problems = accessibilityProblems(wait);
    // Menus and Ctrl+Q do not reach the window meanwhile, and it stays open.
    windowBlocked = wait->windowModality() != Qt::NonModal && QApplication::activeModalWidget() == wait;
    closeRefused = !w.close();
    QTest::mouseClick(wait->cancelButton(), Qt::LeftButton);
  });
  test::choose(w.menus()->createBasemap());
  PROMPTS_OK(f);
  QCOMPARE(title, QStringLiteral("Create Basemap"));
  QVERIFY2(status.startsWith(QStringLiteral("The map compiler is running: 0:0")), qPrintable(status));
  QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
  QVERIFY(windowBlocked);
  QVERIFY(closeRefused);
  QVERIFY(!QFile::exists(QString::fromStdString(target)));
  // The compiler's own child went with it.
  QFile pidFile(QString::fromStdString(child));
  QVERIFY(pidFile.open(QIODevice::ReadOnly));
  const QString pid = QString::fromLatin1(pidFile.readAll()).trimmed();
  QTRY_VERIFY_WITH_TIMEOUT(processGone(pid), 2000);
  QDir system(QString::fromStdString(w.state().folders.systemFolder));
  QVERIFY(system.entryList({QStringLiteral("basemap-*")}, QDir::Dirs).isEmpty());
}

QTEST_MAIN(ProgramsTest)
#include "programs_test.moc"
