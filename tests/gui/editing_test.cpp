// The binding of the controls to the editing rules: what the user sees
// after a refused or accepted edit, the debounced re-plot, the panels and
// the Logs menu.
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "core/editor/header_rules.hpp"
#include "dialogs/errors_dialog.hpp"
#include "mainwindow/extra_byte_boxes.hpp"
#include "mainwindow/header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/map_area.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "mainwindow/replot_debouncer.hpp"
#include "plot/plot_widget.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class EditingTest : public QObject {
  Q_OBJECT
 private slots:
  void versionAcceptedThenRefusedWhileMapWindowIsTicked();
  void printingNeedsALongTail();
  void codePageListFillsItsTailBytes();
  void pastedTextPassesTheKeyRules();
  void typedExtraBytesAreKept();
  void typedVersionOutsideTheListIsRefused();
  void burstOfResizesGivesOneReplot();
  void plotAt1366NamesTilesAndKeepsTheReport();
  void moreOptionsOpensAndCloses();
  void imgDataPanelDragsAndCloses();
  void logsMenuAndOptionLogLines();
  void fidEnterWithoutAFile();
  void tileListCopesWithManyTiles();
  void errorsWindowShowsTheText();
};

namespace {

// What a pick in the list does: the list shows the entry, then reports it.
void pickVersion(QComboBox* box, const QString& text) {
  box->setCurrentIndex(box->findText(text));
  emit box->textActivated(text);
}

std::uint8_t byteAt(const std::string& bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes.at(at)); }

}  // namespace

void EditingTest::versionAcceptedThenRefusedWhileMapWindowIsTicked() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  HeaderRow* h = w.headerRow();
  QComboBox* version = h->versionBox();

  // 4.07 to 4.11: the tail grows from 41 to 61 bytes.
  pickVersion(version, "4.11");
  PROMPTS_OK(f);
  QCOMPARE(w.moreOptionsPanel()->countBox()->text(), QString("61"));
  QVERIFY(w.windowTitle().endsWith("+"));
  QVERIFY(!w.versionRevertPending());

  // With a long tail, Printing can go and Map Window can come.
  QTest::mouseClick(h->option(FeatureOption::Printing), Qt::LeftButton);
  QTest::mouseClick(h->option(FeatureOption::MapWindow), Qt::LeftButton);
  PROMPTS_OK(f);
  QVERIFY(!h->option(FeatureOption::Printing)->isChecked());
  QVERIFY(h->option(FeatureOption::MapWindow)->isChecked());
  QVERIFY(h->widthList()->isEnabled());
  QVERIFY(h->heightList()->isEnabled());

  // Back to 4.07 would cut the map-window bytes off: refused, and the list
  // shows 4.11 again once the pick is over.
  f.prompter.expectMessage(kMapFrameFirst);
  pickVersion(version, "4.07");
  PROMPTS_OK(f);
  QVERIFY(w.versionRevertPending());
  QTRY_VERIFY(!w.versionRevertPending());
  QCOMPARE(version->currentText(), QString("4.11"));
  QCOMPARE(w.moreOptionsPanel()->countBox()->text(), QString("61"));

  f.prompter.expectMessage("Created backup of original TDB as read only:\r\n\r\n" + f.workPath("north_bak.tdb"));
  w.menus()->save()->trigger();
  PROMPTS_OK(f);
  const std::string saved = readText(path);
  // Version 411 = 0x019B at offset 7.
  QCOMPARE(byteAt(saved, 7), std::uint8_t{0x9B});
  QCOMPARE(byteAt(saved, 8), std::uint8_t{0x01});
  f.dialogs.answer(path);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(version->currentText(), QString("4.11"));
  QVERIFY(h->option(FeatureOption::MapWindow)->isChecked());
  QVERIFY(!h->option(FeatureOption::Printing)->isChecked());
}

void EditingTest::printingNeedsALongTail() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  QCheckBox* printing = w.headerRow()->option(FeatureOption::Printing);
  QVERIFY(printing->isChecked());
  f.prompter.expectMessage(kOptionNeeds409);
  QTest::mouseClick(printing, Qt::LeftButton);
  PROMPTS_OK(f);
  // Refused: ticked again, but the click still counts as an edit.
  QVERIFY(printing->isChecked());
  QVERIFY(w.state().form.printing);
  QVERIFY(w.windowTitle().endsWith("+"));
  // With a 4.11 tail both options are allowed, but not together: the one
  // just clicked goes off again.
  pickVersion(w.headerRow()->versionBox(), "4.11");
  QCheckBox* mapWindow = w.headerRow()->option(FeatureOption::MapWindow);
  f.prompter.expectMessage(kCrashWarning);
  QTest::mouseClick(mapWindow, Qt::LeftButton);
  PROMPTS_OK(f);
  QVERIFY(!mapWindow->isChecked());
  QVERIFY(printing->isChecked());
  QVERIFY(!w.headerRow()->widthList()->isEnabled());
}

void EditingTest::codePageListFillsItsTailBytes() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  MoreOptionsPanel* panel = w.moreOptionsPanel();
  QComboBox* pages = panel->codePageBox();
  // A pick shows 1250 = 0x04E2 in boxes 31 and 30, and is no edit by itself.
  pages->setCurrentIndex(pages->findText("1250"));
  emit pages->textActivated("1250");
  QCOMPARE(panel->extraBytes()->box(31)->text(), QString("04"));
  QCOMPARE(panel->extraBytes()->box(30)->text(), QString("E2"));
  QVERIFY(!w.windowTitle().endsWith("+"));
  // Typing 1251 (0x04E3) is.
  pages->lineEdit()->selectAll();
  QTest::keyClicks(pages->lineEdit(), "1251");
  QCOMPARE(panel->extraBytes()->box(30)->text(), QString("E3"));
  QVERIFY(w.windowTitle().endsWith("+"));
  f.prompter.expectMessage("Created backup of original TDB as read only:\r\n\r\n" + f.workPath("north_bak.tdb"));
  w.menus()->save()->trigger();
  PROMPTS_OK(f);
  // Tail bytes 30 and 31 at file offsets 0x25 + 30 and 0x25 + 31.
  const std::string saved = readText(path);
  QCOMPARE(byteAt(saved, 0x43), std::uint8_t{0xE3});
  QCOMPARE(byteAt(saved, 0x44), std::uint8_t{0x04});
}

void EditingTest::pastedTextPassesTheKeyRules() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  QLineEdit* pid = w.headerRow()->textBox(HeaderText::Pid);
  pid->setFocus();
  pid->selectAll();
  QGuiApplication::clipboard()->setText("4x2");
  QTest::keySequence(pid, QKeySequence::Paste);
  // "x" is no digit: the box goes back to what the form holds.
  QCOMPARE(pid->text(), QString("1"));
  QCOMPARE(w.state().form.pidText, std::string("1"));
  QGuiApplication::clipboard()->setText("42");
  pid->selectAll();
  QTest::keySequence(pid, QKeySequence::Paste);
  QCOMPARE(w.state().form.pidText, std::string("42"));
  // Delete types no character: it is not refused as one, and it is an edit.
  pid->home(false);
  // As X11 delivers it: the Delete key with the text DEL (127).
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
  QApplication::sendEvent(pid, &del);
  QCOMPARE(pid->text(), QString("2"));
  QCOMPARE(w.state().form.pidText, std::string("2"));
  // "." is dropped from a name box, a letter is not.
  QLineEdit* family = w.headerRow()->textBox(HeaderText::FamilyName);
  family->setFocus();
  family->end(false);
  QTest::keyClicks(family, ".b");
  QCOMPARE(family->text(), QString("North Familyb"));
  QCOMPARE(w.state().form.familyNameText, std::string("North Familyb"));
  QVERIFY(w.state().file.overviewEdited);
}

void EditingTest::typedExtraBytesAreKept() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  w.moreOptionsPanel()->show();
  QLineEdit* box = w.moreOptionsPanel()->extraBytes()->box(5);
  // Tail byte 5 of north.tdb (file offset 0x2A) is 0.
  QCOMPARE(box->text(), QString("0"));
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "7F");
  QCOMPARE(w.state().form.extraBytes[5].text, std::string("7F"));
  // A typed byte is an edit: the title says so and closing asks first.
  QVERIFY(w.state().file.modified);
  QVERIFY(w.windowTitle().endsWith("+"));
  // Enter hands the focus to the next box.
  QTest::keyClick(box, Qt::Key_Return);
  QCOMPARE(w.focusWidget(), static_cast<QWidget*>(w.moreOptionsPanel()->extraBytes()->box(6)));
  // Boxes past the 41-byte tail are greyed and cannot be typed in.
  QVERIFY(w.moreOptionsPanel()->extraBytes()->box(41)->isReadOnly());
  QVERIFY(!w.moreOptionsPanel()->extraBytes()->box(40)->isReadOnly());

  f.prompter.expectQuestion("Save changes?", Answer::Yes);
  f.prompter.expectMessage("Created backup of original TDB as read only:\r\n\r\n" + f.workPath("north_bak.tdb"));
  QVERIFY(w.close());
  PROMPTS_OK(f);
  QCOMPARE(byteAt(readText(path), 0x25 + 5), std::uint8_t{0x7F});
}

void EditingTest::typedVersionOutsideTheListIsRefused() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QComboBox* version = w.headerRow()->versionBox();
  QCOMPARE(version->currentText(), QString("4.07"));

  // Typed and confirmed with Enter: refused, and the box shows 4.07 again.
  version->setFocus();
  version->lineEdit()->selectAll();
  QTest::keyClicks(version->lineEdit(), "4.10");
  f.prompter.expectMessage(kUnknownVersion);
  QTest::keyClick(version->lineEdit(), Qt::Key_Return);
  PROMPTS_OK(f);
  QTRY_VERIFY(!w.versionRevertPending());
  QCOMPARE(version->currentText(), QString("4.07"));
  QVERIFY(!w.state().file.modified);

  // Typed and left for another box: the same, with one message only.
  version->lineEdit()->selectAll();
  QTest::keyClicks(version->lineEdit(), "9.99");
  f.prompter.expectMessage(kUnknownVersion);
  w.headerRow()->textBox(HeaderText::Pid)->setFocus();
  PROMPTS_OK(f);
  QTRY_VERIFY(!w.versionRevertPending());
  QCOMPARE(version->currentText(), QString("4.07"));

  // A version of the list typed in is taken as if picked.
  version->setFocus();
  version->lineEdit()->selectAll();
  QTest::keyClicks(version->lineEdit(), "4.09");
  QTest::keyClick(version->lineEdit(), Qt::Key_Return);
  PROMPTS_OK(f);
  QCOMPARE(w.moreOptionsPanel()->countBox()->text(), QString("58"));
  QVERIFY(w.windowTitle().endsWith("+"));
  f.prompter.expectMessage("Created backup of original TDB as read only:\r\n\r\n" + f.workPath("north_bak.tdb"));
  w.menus()->save()->trigger();
  PROMPTS_OK(f);
  // Version 409 = 0x0199 at offset 7.
  QCOMPARE(byteAt(readText(path), 7), std::uint8_t{0x99});
  QCOMPARE(version->currentText(), QString("4.09"));
}

void EditingTest::burstOfResizesGivesOneReplot() {
  WindowFixture f;
  MainWindow& w = f.start();
  QTRY_VERIFY(!w.replotDebouncer().pending());
  // A burst is resizes each closer to the one before than the quiet time. On
  // a machine too busy to deliver them so, the burst is tried again.
  int before = 0;
  bool burst = false;
  for (int attempt = 0; attempt < 10 && !burst; ++attempt) {
    QTRY_VERIFY(!w.replotDebouncer().pending());
    before = w.mapArea()->replotCount();
    qint64 longestGap = 0;
    QElapsedTimer sinceLast;
    sinceLast.start();
    for (int k = 0; k < 6; ++k) {
      if (k > 0) longestGap = std::max(longestGap, sinceLast.restart());
      w.resize(900 + 10 * k + attempt, 700);
      QCoreApplication::processEvents();
    }
    // The last resize's own handling counts too: the re-plot may not start during it.
    longestGap = std::max(longestGap, sinceLast.elapsed());
    burst = longestGap < ReplotDebouncer::kQuietMs - 20;
  }
  // Nothing to judge when the machine never managed a burst.
  if (!burst) QSKIP("the machine was too busy to resize six times within the quiet time");
  QVERIFY(w.replotDebouncer().pending());
  QCOMPARE(w.mapArea()->replotCount(), before);
  QTRY_COMPARE(w.mapArea()->replotCount(), before + 1);
  // Quiet from then on: no second re-plot follows.
  QTest::qWait(3 * ReplotDebouncer::kQuietMs);
  QCOMPARE(w.mapArea()->replotCount(), before + 1);
}

void EditingTest::plotAt1366NamesTilesAndKeepsTheReport() {
  WindowFixture f;
  MainWindow& window = f.start(f.copyFixture("grid/grid.tdb"));
  window.showNormal();
  window.resize(1366, 768);
  window.openMoreOptions();
  PlotWidget* plot = window.mapArea()->plot();
  QTRY_VERIFY(!window.replotDebouncer().pending());
  // Sixteen tiles of some 0.15 degrees in a 3.75 degree product: labels a
  // few dozen pixels wide, each still named.
  QVERIFY(plot->labelRect(1).width() < 60);
  plot->grab();
  QCOMPARE(plot->captionCount(), 16);

  // Zoom and pan redraw the plot but leave the block report in its box.
  const QString report = window.reportBox()->toPlainText();
  QVERIFY(report.contains(QStringLiteral("Block id=&50")));
  QTest::mouseClick(plot->zoomInButton(), Qt::LeftButton);
  plot->setFocus();
  QTest::keyClick(plot, Qt::Key_Left);
  QTest::mouseClick(plot->zoomOutButton(), Qt::LeftButton);
  QCOMPARE(window.reportBox()->toPlainText(), report);
  // Once a tile is clicked the box shows its text, and keeps it likewise.
  QTest::mouseClick(plot, Qt::LeftButton, {}, plot->labelRect(1).center());
  const QString tile = window.reportBox()->toPlainText();
  QVERIFY(tile.startsWith(QStringLiteral("Description:Tile 1 of grid")));
  QTest::mouseClick(plot->zoomInButton(), Qt::LeftButton);
  QCOMPARE(window.reportBox()->toPlainText(), tile);
  PROMPTS_OK(f);
}

void EditingTest::moreOptionsOpensAndCloses() {
  WindowFixture f;
  MainWindow& w = f.start();
  QVERIFY(w.moreOptionsPanel()->isHidden());
  QTest::mouseClick(w.headerRow()->moreOptionsButton(), Qt::LeftButton);
  QVERIFY(!w.moreOptionsPanel()->isHidden());
  QVERIFY(w.headerRow()->moreOptionsButton()->isHidden());
  QVERIFY(w.replotDebouncer().pending());
  // The plot gives way to the panel.
  QTRY_VERIFY(w.mapArea()->plot()->geometry().right() < w.moreOptionsPanel()->geometry().left());
  auto* close = w.moreOptionsPanel()->findChild<QAbstractButton*>("moreOptionsClose");
  QVERIFY(close);
  QTest::mouseClick(close, Qt::LeftButton);
  QVERIFY(w.moreOptionsPanel()->isHidden());
  QVERIFY(!w.headerRow()->moreOptionsButton()->isHidden());
}

void EditingTest::imgDataPanelDragsAndCloses() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  ProductForm& form = w.state().form;
  form.rawBlockBoxes = {"4C", "0", "A"};
  form.rawBlockPanelShown = true;
  w.refreshFromForm();
  ImgDataPanel* panel = w.imgDataPanel();
  QVERIFY(panel->isVisible());

  const QPoint start = panel->pos();
  const QPoint grip(10, 8);  // on the caption row
  // Up and to the left: the panel may not leave the window, and it may
  // already touch the right edge of a small one.
  QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, grip);
  QTest::mouseMove(panel, grip - QPoint(40, 30));
  QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, grip - QPoint(40, 30));
  QCOMPARE(panel->pos(), start - QPoint(40, 30));
  // Dragged far past the edge, it stops wholly inside.
  QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, grip);
  QTest::mouseMove(panel, grip + QPoint(5000, 5000));
  QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, grip + QPoint(5000, 5000));
  QVERIFY(panel->parentWidget()->rect().contains(panel->geometry()));
  const QPoint kept = panel->pos();

  // "X" hides the panel; its place is kept in the settings, in twips.
  QTest::mouseClick(panel->closeButton(), Qt::LeftButton);
  QVERIFY(!panel->isVisible());
  QVERIFY(w.close());
  PROMPTS_OK(f);
  const QStringList lines = crlfLines(readText(f.settingsFile()));
  QCOMPARE(lines[21], QString::number(kept.x() * 15));
  QCOMPARE(lines[22], QString::number(kept.y() * 15));
}

void EditingTest::logsMenuAndOptionLogLines() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  const std::string logFolder = f.programFolder() + "/logs";
  const QString mainLog = QString::fromStdString(logFolder + "/tdblog.txt");
  QVERIFY(!QFile::exists(mainLog));
  // Logging off: a flag change writes nothing.
  QTest::mouseClick(w.headerRow()->option(FeatureOption::Dem), Qt::LeftButton);
  QVERIFY(!QFile::exists(mainLog));
  w.state().settings.logsEnabled = true;
  QTest::mouseClick(w.headerRow()->option(FeatureOption::Routable), Qt::LeftButton);
  const QString log = QString::fromStdString(readText(mainLog.toStdString()));
  QVERIFY2(log.endsWith(":Changed Routing\r\n"), qPrintable(log));
  QCOMPARE(log.count("\r\n"), 1);

  w.menus()->readLogs()->trigger();
  QCOMPARE(f.shell.opened, std::vector<std::string>{logFolder});

  f.prompter.expectQuestion("Are you sure?", Answer::No);
  w.menus()->clearMainLog()->trigger();
  QVERIFY(QFile::exists(mainLog));
  f.prompter.expectQuestion("Are you sure?", Answer::Yes);
  w.menus()->clearMainLog()->trigger();
  QVERIFY(!QFile::exists(mainLog));
  PROMPTS_OK(f);
}

void EditingTest::fidEnterWithoutAFile() {
  WindowFixture f;
  MainWindow& w = f.start();
  QLineEdit* fid = w.headerRow()->textBox(HeaderText::Fid);
  fid->setFocus();
  QTest::keyClicks(fid, "12");
  f.prompter.expectMessage("No data");
  QTest::keyClick(fid, Qt::Key_Return);
  PROMPTS_OK(f);
  // With a file, Enter writes the family id into the bytes at once (offset 5).
  const std::string path = f.copyFixture("north/north.tdb");
  f.dialogs.answer(path);
  f.prompter.expectQuestion("Save changes?", Answer::No);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  fid->selectAll();
  QTest::keyClicks(fid, "258");
  QTest::keyClick(fid, Qt::Key_Return);
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.data[5], std::uint8_t{0x02});
  QCOMPARE(w.state().file.data[6], std::uint8_t{0x01});
}

void EditingTest::tileListCopesWithManyTiles() {
  WindowFixture f;
  MainWindow& w = f.start();
  ProductForm& form = w.state().form;
  f.dialogs.answer(f.copyFixture("north/north.tdb"));
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  // Every row stands for the first tile but the last, for the second.
  const DetailMapView first = form.detailMaps[0], last = form.detailMaps[1];
  form.detailMaps.assign(350000, first);
  form.detailMaps[349999] = last;
  w.showLoadedFile();
  QAbstractItemModel* model = w.mapArea()->list()->model();
  QCOMPARE(model->rowCount(), 350000);
  QCOMPARE(model->data(model->index(349999, 0)).toString(), QString("Tile 2 of north (63240002)"));
  // While a file is being read the tiles change under the list: it keeps
  // its rows until the load is over, and the vanished ones show nothing.
  form.detailMaps.resize(1);
  QCOMPARE(model->rowCount(), 350000);
  QVERIFY(!model->data(model->index(349999, 0)).isValid());
  w.mapArea()->list()->scrollToBottom();
  w.mapArea()->list()->repaint();
  w.showLoadedFile();
  QCOMPARE(model->rowCount(), 1);
  QCOMPARE(model->data(model->index(0, 0)).toString(), QString("Tile 1 of north (63240001)"));
  QVERIFY(!model->data(model->index(1, 0)).isValid());
}

void EditingTest::errorsWindowShowsTheText() {
  ErrorsDialog dialog(QStringLiteral("bit2:Read past the end of the data at &4F\r\ncrc error"));
  QCOMPARE(dialog.windowTitle(), QString("Errors"));
  QCOMPARE(dialog.shownText(), QString("bit2:Read past the end of the data at &4F\ncrc error"));
  auto* ok = dialog.findChild<QPushButton*>();
  QVERIFY(ok);
  QCOMPARE(ok->text(), QString("OK"));
  dialog.show();
  QTest::mouseClick(ok, Qt::LeftButton);
  QCOMPARE(dialog.result(), int(QDialog::Accepted));
  QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(EditingTest)
#include "editing_test.moc"
