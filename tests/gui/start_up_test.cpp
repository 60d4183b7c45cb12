// Start-up and shutdown of the main window: the command-line file, the
// settings file written at close, the panels restored, the box layout.
#include <QAction>
#include <QFile>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QtTest>

#include "core/settings/settings.hpp"
#include "mainwindow/extra_byte_boxes.hpp"
#include "mainwindow/header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "mainwindow/start_up.hpp"
#include "mainwindow/twips.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

class StartUpTest : public QObject {
  Q_OBJECT
 private slots:
  void commandLineInQuotesOpensTheFile();
  void commandLineNamingNoFileIsIgnored();
  void closeWritesTheSettingsFile();
  void settingsRestoreThePanelsAndRecentFiles();
  void panelPlacedByWildSettingsStartsInsideTheWindow();
  void extraByteBoxesWrapAt7600Twips();
  void commandLinePieces();
  void listsAndMenusAsTheUserKnowsThem();
  void startWritesTheDateLineWhenLogging();
};

void StartUpTest::commandLineInQuotesOpensTheFile() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb", "North.tdb");
  MainWindow& w = f.start("\"" + path + "\"");
  QVERIFY2(f.prompter.problems().isEmpty(), qPrintable(f.prompter.problems().join("\n")));
  // north.tdb: PID 1, FID 0x1234, version 0x197, names as stored.
  HeaderRow* h = w.headerRow();
  QCOMPARE(h->textBox(HeaderText::Pid)->text(), QString("1"));
  QCOMPARE(h->textBox(HeaderText::Fid)->text(), QString("4660"));
  QCOMPARE(h->textBox(HeaderText::SeriesName)->text(), QString("North Series"));
  QCOMPARE(h->textBox(HeaderText::FamilyName)->text(), QString("North Family"));
  QCOMPARE(h->versionBox()->currentText(), QString("4.07"));
  // Tail byte 38 is 1: routable; 39 and 40 are 0.
  QVERIFY(h->option(FeatureOption::Routable)->isChecked());
  QVERIFY(!h->option(FeatureOption::Dem)->isChecked());
  QVERIFY(!h->option(FeatureOption::Profile)->isChecked());
  // A 41-byte tail: code page 1252 (tail bytes 30-31 = E4 04), count box 41.
  QCOMPARE(w.moreOptionsPanel()->codePageBox()->currentText(), QString("1252"));
  QCOMPARE(w.moreOptionsPanel()->countBox()->text(), QString("41"));
  // The title shows the path in lower case; nothing is unsaved.
  QCOMPARE(w.windowTitle(), "Velmor 2.1 " + QString::fromStdString(path).toLower());
  QCOMPARE(w.menus()->recent(0)->data().toString(), QString::fromStdString(path));
  QVERIFY(w.reportBox()->toPlainText().contains("Block id=&50 length=4B"));
  // The command line is not the File menu: no Errors window, no dialog.
  QVERIFY(f.dialogs.calls.empty());
}

void StartUpTest::commandLineNamingNoFileIsIgnored() {
  WindowFixture f;
  // A settings file that leaves the "More Options" panel open.
  QDir().mkpath(QString::fromStdString(f.programFolder() + "/system"));
  QStringList lines;
  for (int k = 0; k < kSettingsLineCount; ++k) lines << QString();
  lines[0] = "123";
  lines[19] = "1";
  {
    QFile out(QString::fromStdString(f.settingsFile()));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write((lines.join("\r\n") + "\r\n").toUtf8());
  }
  // MapSource's Windows: a Wine prefix with its C: drive, and AppData as
  // the environment names it there.
  QDir().mkpath(QString::fromStdString(f.workPath("prefix/drive_c")));
  qputenv("WINEPREFIX", QByteArray::fromStdString(f.workPath("prefix")));
  qputenv("AppData", "C:\\Users\\Ann\\AppData\\Roaming");
  MainWindow& w = f.start("\"" + f.workPath("missing.tdb") + "\"");
  qunsetenv("AppData");
  qunsetenv("WINEPREFIX");
  QVERIFY2(f.prompter.problems().isEmpty(), qPrintable(f.prompter.problems().join("\n")));
  QCOMPARE(w.windowTitle(), QString("Velmor 2.1 "));
  QVERIFY(w.state().file.data.empty());
  // Start-up still ran to its end: the panel is open and the tile caches are
  // set inside the prefix, the BaseCamp one moved from the roaming to the
  // local folder.
  QVERIFY(!w.moreOptionsPanel()->isHidden());
  QVERIFY(w.headerRow()->moreOptionsButton()->isHidden());
  const std::string driveC = QDir(QString::fromStdString(f.workPath("prefix/drive_c"))).canonicalPath().toStdString();
  QCOMPARE(w.state().mapSourceTileCache, driveC + "/Users/Ann/AppData/Roaming/Garmin/MapSource/TileCache");
  QCOMPARE(w.state().baseCampTileCache, driveC + "/Users/Ann/AppData/local/Garmin/BaseCamp/TileCache");
}

void StartUpTest::closeWritesTheSettingsFile() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  QVERIFY(!QFile::exists(QString::fromStdString(f.settingsFile())));
  // Logging is off without a settings file: start-up writes no log.
  QVERIFY(!QFile::exists(QString::fromStdString(f.programFolder() + "/logs/tdblog.txt")));
  QVERIFY(QDir(QString::fromStdString(f.programFolder() + "/tdb")).exists());
  QVERIFY(w.close());
  const QStringList lines = crlfLines(readText(f.settingsFile()));
  QCOMPARE(lines.size(), kSettingsLineCount);
  QCOMPARE(lines[0], QString("123"));
  QCOMPARE(lines[1], QString::fromStdString(path));
  for (int k = 2; k <= 6; ++k) QCOMPARE(lines[k], QString(" "));
  QCOMPARE(lines[13], QString("False"));
  QCOMPARE(lines[16], QString::fromStdString(f.programFolder()));  // lastMapFolder: the program folder
  QCOMPARE(lines[19], QString("0"));                               // panel closed
  QCOMPARE(lines[23], QString("0"));
  // The window's size in twips: 15 to the pixel.
  QCOMPARE(lines[24], QString::number(w.width() * 15));
  QCOMPARE(lines[25], QString::number(w.height() * 15));
}

void StartUpTest::settingsRestoreThePanelsAndRecentFiles() {
  WindowFixture f;
  const std::string kept = f.copyFixture("north/north.tdb");
  QDir().mkpath(QString::fromStdString(f.programFolder() + "/system"));
  QStringList lines;
  for (int k = 0; k < kSettingsLineCount; ++k) lines << QString();
  lines[0] = "123";
  lines[1] = QString::fromStdString(kept);
  lines[2] = "/gone/away.tdb";
  for (int k = 3; k <= 6; ++k) lines[k] = " ";
  lines[13] = "False";
  lines[19] = "1";
  lines[21] = "1500";  // 100 pixels
  lines[22] = "3000";  // 200 pixels
  lines[23] = "1";
  {
    QFile out(QString::fromStdString(f.settingsFile()));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write((lines.join("\r\n") + "\r\n").toUtf8());
  }
  MainWindow& w = f.start();
  QVERIFY(!w.moreOptionsPanel()->isHidden());
  QVERIFY(w.moreOptionsPanel()->overrideSettings()->isChecked());
  QCOMPARE(w.imgDataPanel()->pos(), QPoint(100, 200));
  QCOMPARE(w.menus()->recent(0)->text(), QString::fromStdString(kept));
  QCOMPARE(w.menus()->recent(1)->text(), QString("/gone/away.tdb"));
  QCOMPARE(w.menus()->recent(2)->text(), QString());
  QVERIFY(w.close());
  const QStringList back = crlfLines(readText(f.settingsFile()));
  QCOMPARE(back[2], QString("/gone/away.tdb"));
  QCOMPARE(back[19], QString("1"));
  QCOMPARE(back[21], QString("1500"));
  QCOMPARE(back[22], QString("3000"));
  QCOMPARE(back[23], QString("1"));
}

void StartUpTest::panelPlacedByWildSettingsStartsInsideTheWindow() {
  WindowFixture f;
  QDir().mkpath(QString::fromStdString(f.programFolder() + "/system"));
  QStringList lines;
  for (int k = 0; k < kSettingsLineCount; ++k) lines << QStringLiteral(" ");
  lines[0] = "123";
  lines[21] = "2e8";  // 13 million pixels to the right: a place, but on no screen
  lines[22] = "nan";
  {
    QFile out(QString::fromStdString(f.settingsFile()));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write((lines.join("\r\n") + "\r\n").toUtf8());
  }
  MainWindow& w = f.start();
  ImgDataPanel* panel = w.imgDataPanel();
  const QRect area = panel->parentWidget()->rect();
  QVERIFY(area.contains(panel->geometry()));
  QVERIFY(w.close());
  const QStringList back = crlfLines(readText(f.settingsFile()));
  QCOMPARE(back[21].toInt(), panel->x() * 15);
  QCOMPARE(back[22].toInt(), panel->y() * 15);
  QVERIFY2(f.prompter.problems().isEmpty(), qPrintable(f.prompter.problems().join("\n")));
}

void StartUpTest::extraByteBoxesWrapAt7600Twips() {
  // 26 x 20 pixel boxes are 390 x 300 twips: a step of 468 twips across and
  // 360 (24 pixels) down. From x = 0 the 18th box would start at 7956 > 7600.
  const auto places = extraBoxPositions(QPoint(0, 0), QSize(26, 20), 99);
  QCOMPARE(places.size(), std::size_t{99});
  QCOMPARE(places[1], QPoint(31, 0));    // 468 / 15 = 31.2
  QCOMPARE(places[16], QPoint(499, 0));  // 7488 / 15 = 499.2
  QCOMPARE(places[17], QPoint(0, 24));
  QCOMPARE(places[98], QPoint(406, 120));  // row 5, column 13: 6084 / 15 = 405.6
  // From x = 150 twips the 17th box would start at 7638: one box fewer per row,
  // and a wrapped row starts again at the first box's left.
  const auto shifted = extraBoxPositions(QPoint(10, 5), QSize(26, 20), 17);
  QCOMPARE(shifted[15], QPoint(478, 5));  // 7170 / 15
  QCOMPARE(shifted[16], QPoint(10, 29));
  // The panel's boxes are placed by that rule.
  ExtraByteBoxes boxes;
  QCOMPARE(boxes.box(1)->pos(), QPoint(0, 0));
  QCOMPARE(boxes.box(18)->pos(), QPoint(0, 24));
  QCOMPARE(boxes.box(99)->pos(), QPoint(406, 120));
  QCOMPARE(boxes.box(1)->text(), QString("00"));
}

void StartUpTest::commandLinePieces() {
  using namespace std::string_literals;
  QCOMPARE(cleanCommandLine("\"C:\\maps\\my roads.tdb\"\0"s), std::string("C:\\maps\\my roads.tdb"));
  QVERIFY(!commandLineFile("").has_value());
  QVERIFY(!commandLineFile("\"\"").has_value());
  const std::string fixture = VELMOR_TEST_DATA "/north/north.tdb";
  QCOMPARE(commandLineFile("\"" + fixture + "\"").value_or(""), fixture);
  QVERIFY(!commandLineFile(VELMOR_TEST_DATA "/north/*.tdb").has_value());
  QVERIFY(!commandLineFile(VELMOR_TEST_DATA "/north").has_value());
}

void StartUpTest::listsAndMenusAsTheUserKnowsThem() {
  WindowFixture f;
  MainWindow& w = f.start();
  QComboBox* version = w.headerRow()->versionBox();
  QStringList versions;
  for (int k = 0; k < version->count(); ++k) versions << version->itemText(k);
  QCOMPARE(versions, QStringList({"3.00", "4.03", "4.07", "4.08", "4.09", "4.11"}));
  QCOMPARE(version->currentText(), QString("4.11"));
  QCOMPARE(w.moreOptionsPanel()->countBox()->text(), QString("61"));
  QComboBox* pages = w.moreOptionsPanel()->codePageBox();
  QCOMPARE(pages->count(), 9);
  QCOMPARE(pages->itemText(0), QString("1250"));
  QCOMPARE(pages->itemText(8), QString("1258"));
  QCOMPARE(pages->currentText(), QString());
  QComboBox* width = w.headerRow()->widthList();
  QCOMPARE(width->count(), 10);
  QCOMPARE(width->itemText(0), QString("10%"));
  QCOMPARE(width->itemText(9), QString("100%"));
  QCOMPARE(width->currentText(), QString("50%"));
  QCOMPARE(w.headerRow()->heightList()->currentText(), QString("40%"));
  QCOMPARE(w.progressBar()->value(), 1);

  QStringList top;
  // Read as a screen reader reads them: without the mnemonic marks.
  for (QAction* a : w.menuBar()->actions()) top << plainCaption(a->text());
  QCOMPARE(top, QStringList({"File", "Preferences", "Tools", "Logs", "Help"}));
  QStringList file;
  for (QAction* a : w.menuBar()->actions()[0]->menu()->actions())
    file << (a->isSeparator() ? "-" : plainCaption(a->text()));
  QCOMPARE(file.mid(0, 7), QStringList({"Open", "-", "Save", "Save As", "Save a Copy", "-", "Exit"}));
  QCOMPARE(file.size(), 13);
  QCOMPARE(w.menus()->save()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
  // Every entry of Preferences and Tools can be chosen.
  for (const char* caption : {"Locate Programs", "Settings", "Get tdb from Mapsource", "Check Product", "Create All",
                              "Create Basemap", "Create mdx"}) {
    QAction* entry = w.menus()->entry(caption);
    QVERIFY2(entry != nullptr, caption);
    QVERIFY2(entry->isEnabled(), caption);
  }
  QStringList help;
  for (QAction* a : w.menuBar()->actions()[4]->menu()->actions())
    help << (a->isSeparator() ? "-" : plainCaption(a->text()) + (a->isEnabled() ? "" : " (greyed)"));
  QCOMPARE(help, QStringList({"Manual", "-", "Check for Updates", "-", "About", "-", "What's New"}));
  QVERIFY(w.menus()->readLogs()->isEnabled());
  QVERIFY(w.menus()->createAll()->isEnabled());
  QVERIFY(w.menus()->createMdx()->isEnabled());
}

void StartUpTest::startWritesTheDateLineWhenLogging() {
  WindowFixture f;
  QDir().mkpath(QString::fromStdString(f.programFolder() + "/system"));
  QStringList lines;
  for (int k = 0; k < kSettingsLineCount; ++k) lines << QString();
  lines[0] = "123";
  lines[26] = "1";  // Enable Logs
  {
    QFile out(QString::fromStdString(f.settingsFile()));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write((lines.join("\r\n") + "\r\n").toUtf8());
  }
  f.start();
  const QString log = QString::fromStdString(readText(f.programFolder() + "/logs/tdblog.txt"));
  // "hh:mm:ss:" then 20 dashes, the date as month-day-year, 20 dashes.
  const QString dashes(20, '-');
  const QString expected = dashes + QDate::currentDate().toString("MM-dd-yyyy") + dashes + "\r\n";
  QVERIFY2(log.size() == 9 + expected.size() && log.endsWith(expected), qPrintable(log));
  QCOMPARE(log.mid(2, 1), QString(":"));
  QCOMPARE(log.mid(8, 1), QString(":"));
}

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
