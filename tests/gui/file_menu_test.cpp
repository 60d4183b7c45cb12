// The File menu end to end: open, edit, save, reload; Save As onto an
// existing file; the unsaved-changes questions; recent files; the Errors window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QtTest>

#include "core/settings/settings.hpp"
#include "mainwindow/header_row.hpp"
#include "core/settings/recent_files.hpp"
#include "mainwindow/main_menus.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class FileMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void openFromTheMenuShowsTheFields();
  void openRefusesOtherFilesButTakesNamesWithoutDot();
  void editSaveAndReload();
  void saveAsOntoAnExistingFileOnlyAfterYes();
  void saveAsAppendsTheExtension();
  void closeWithUnsavedEdits();
  void leavingAnEditedFileAsksFirst();
  void aCopyLeavesTheEditsUnsaved();
  void recentFilesMoveAndGrey();
  void errorsWindowAfterAnOpeningWithErrors();
  void noCloseWhileAFileIsRead();
};

namespace {

std::uint8_t byteAt(const std::string& bytes, std::size_t at) { return static_cast<std::uint8_t>(bytes.at(at)); }

QString lower(const std::string& path) { return QString::fromStdString(path).toLower(); }

std::string backupMessage(const std::string& backup) {
  return "Created backup of original TDB as read only:\r\n\r\n" + backup;
}

}  // namespace

void FileMenuTest::openFromTheMenuShowsTheFields() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb", "North.tdb");
  MainWindow& w = f.start();
  f.dialogs.answer(path);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(f.dialogs.calls.size(), std::size_t{1});
  const DialogCall& call = f.dialogs.calls[0];
  QVERIFY(!call.save);
  QCOMPARE(call.filter.description, std::string("tdb Files"));
  QCOMPARE(call.filter.pattern, std::string("*.tdb"));
  // With no start path in the settings the dialog starts in the program folder.
  QCOMPARE(call.startPath, f.programFolder());
  HeaderRow* h = w.headerRow();
  QCOMPARE(h->textBox(HeaderText::Pid)->text(), QString("1"));
  QCOMPARE(h->textBox(HeaderText::Fid)->text(), QString("4660"));
  QCOMPARE(h->textBox(HeaderText::FamilyName)->text(), QString("North Family"));
  QCOMPARE(h->versionBox()->currentText(), QString("4.07"));
  QCOMPARE(w.windowTitle(), "Velmor 2.1 " + lower(path));
  // The file itself keeps its name: on this system case makes another file.
  QCOMPARE(w.state().file.path, path);
  QCOMPARE(w.state().settings.dialogPath, path);
  QVERIFY(f.errorsShown.empty());
  // The tile list shows both tiles.
  QCOMPARE(w.state().form.detailMaps.size(), std::size_t{2});
}

void FileMenuTest::openRefusesOtherFilesButTakesNamesWithoutDot() {
  WindowFixture f;
  const std::string text = f.workPath("notes.txt");
  {
    QFile out(QString::fromStdString(text));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("not a product");
  }
  const std::string bare = f.copyFixture("north/north.tdb", "northcopy");
  MainWindow& w = f.start();
  f.prompter.expectMessage("This is not a tdb file.");
  f.dialogs.answer(text);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QVERIFY(w.state().file.data.empty());
  // A chosen name that does not exist is ignored without a word.
  f.dialogs.answer(f.workPath("absent.tdb"));
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QVERIFY(w.state().file.data.empty());
  f.dialogs.answer(bare);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.headerRow()->textBox(HeaderText::SeriesName)->text(), QString("North Series"));
  // Only the file name counts: a dot in a folder name does not make
  // "roads" another kind of file.
  QVERIFY(QDir(QString::fromStdString(f.workPath(""))).mkdir("maps.old"));
  const std::string dotted = f.workPath("maps.old/roads");
  QVERIFY(QFile::copy(QString::fromStdString(bare), QString::fromStdString(dotted)));
  f.dialogs.answer(dotted);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, dotted);
}

void FileMenuTest::editSaveAndReload() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  const std::string original = readText(path);
  MainWindow& w = f.start(path);
  QLineEdit* pid = w.headerRow()->textBox(HeaderText::Pid);
  pid->setFocus();
  pid->end(false);
  // "-" is not a digit and never reaches the box.
  QTest::keyClicks(pid, "-7");
  QCOMPARE(pid->text(), QString("17"));
  QVERIFY(w.windowTitle().endsWith("+"));
  QCheckBox* routable = w.headerRow()->option(FeatureOption::Routable);
  QTest::mouseClick(routable, Qt::LeftButton);
  QVERIFY(!routable->isChecked());
  QVERIFY(!w.state().form.routable);

  f.prompter.expectMessage(backupMessage(f.workPath("north_bak.tdb")));
  w.menus()->save()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.windowTitle(), "Velmor 2.1 " + lower(path));
  const std::string saved = readText(path);
  // PID 17 at offset 3 (little-endian); the rest of the header as it was.
  QCOMPARE(byteAt(saved, 3), std::uint8_t{17});
  QCOMPARE(byteAt(saved, 4), std::uint8_t{0});
  QCOMPARE(byteAt(saved, 5), std::uint8_t{0x34});
  QCOMPARE(byteAt(saved, 6), std::uint8_t{0x12});
  // Tail byte 38 (file offset 0x25 + 38 = 0x4B) held 1: not routable now.
  QCOMPARE(byteAt(original, 0x4B), std::uint8_t{1});
  QCOMPARE(byteAt(saved, 0x4B), std::uint8_t{0});
  // The file's first save leaves the original beside it, once.
  QCOMPARE(readText(f.workPath("north_bak.tdb")), original);

  f.dialogs.answer(path);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.headerRow()->textBox(HeaderText::Pid)->text(), QString("17"));
  QVERIFY(!w.headerRow()->option(FeatureOption::Routable)->isChecked());
  QVERIFY(!w.windowTitle().endsWith("+"));
}

void FileMenuTest::saveAsOntoAnExistingFileOnlyAfterYes() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  const std::string other = f.copyFixture("grid/grid.tdb", "other.tdb");
  const std::string otherBefore = readText(other);
  MainWindow& w = f.start(path);

  f.prompter.expectQuestion("File exists. Replace this file?", Answer::No);
  f.dialogs.answer(other);
  w.menus()->saveAs()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(readText(other), otherBefore);
  QCOMPARE(w.state().file.path, path);
  QCOMPARE(w.windowTitle(), "Velmor 2.1 " + lower(path));
  // The dialog proposed the current file and was a Save dialog.
  QVERIFY(f.dialogs.calls.back().save);
  QCOMPARE(f.dialogs.calls.back().fileName, path);

  f.prompter.expectQuestion("File exists. Replace this file?", Answer::Yes);
  f.prompter.expectMessage(backupMessage(f.workPath("other_bak.tdb")));
  f.dialogs.answer(other);
  w.menus()->saveAs()->trigger();
  PROMPTS_OK(f);
  // Nothing was edited: the file is written as it was loaded.
  QCOMPARE(readText(other), readText(path));
  QCOMPARE(w.state().file.path, other);
  QCOMPARE(w.windowTitle(), "Velmor 2.1 " + lower(other));
}

void FileMenuTest::saveAsAppendsTheExtension() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  f.dialogs.answer(f.workPath("renamed"));
  w.menus()->saveAs()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(readText(f.workPath("renamed.tdb")), readText(path));
  // "Save a Copy" writes the copy but stays with the open file.
  f.dialogs.answer(f.workPath("copy.tdb"));
  w.menus()->saveCopy()->trigger();
  PROMPTS_OK(f);
  QVERIFY(QFile::exists(QString::fromStdString(f.workPath("copy.tdb"))));
  QCOMPARE(w.state().file.path, f.workPath("renamed.tdb"));
  // A name with another extension is refused.
  f.prompter.expectMessage("This is not a tdb file.");
  f.dialogs.answer(f.workPath("roads.txt"));
  w.menus()->saveAs()->trigger();
  PROMPTS_OK(f);
  QVERIFY(!QFile::exists(QString::fromStdString(f.workPath("roads.txt"))));
}

void FileMenuTest::closeWithUnsavedEdits() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  const std::string original = readText(path);
  MainWindow& w = f.start(path);
  QLineEdit* series = w.headerRow()->textBox(HeaderText::SeriesName);
  series->setFocus();
  series->end(false);
  QTest::keyClicks(series, "X");
  QVERIFY(w.windowTitle().endsWith("+"));

  f.prompter.expectQuestion("Save changes?", Answer::Cancel);
  QVERIFY(!w.close());
  PROMPTS_OK(f);
  QVERIFY(w.isVisible());
  QVERIFY(w.windowTitle().endsWith("+"));
  QCOMPARE(series->text(), QString("North SeriesX"));
  QCOMPARE(readText(path), original);
  QVERIFY(!QFile::exists(QString::fromStdString(f.settingsFile())));

  // No discards the edits; the settings are still written.
  f.prompter.expectQuestion("Save changes?", Answer::No);
  QVERIFY(w.close());
  PROMPTS_OK(f);
  QCOMPARE(readText(path), original);
  QVERIFY(QFile::exists(QString::fromStdString(f.settingsFile())));
}

void FileMenuTest::leavingAnEditedFileAsksFirst() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  MainWindow& w = f.start(path);
  QLineEdit* fid = w.headerRow()->textBox(HeaderText::Fid);
  fid->setFocus();
  fid->selectAll();
  QTest::keyClicks(fid, "99");
  // Yes saves before the dialog opens; a cancelled dialog then changes nothing else.
  f.prompter.expectQuestion("Save changes?", Answer::Yes);
  f.prompter.expectMessage(backupMessage(f.workPath("north_bak.tdb")));
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(f.dialogs.unanswered, 1);
  const std::string saved = readText(path);
  QCOMPARE(byteAt(saved, 5), std::uint8_t{99});
  QCOMPARE(byteAt(saved, 6), std::uint8_t{0});
  QVERIFY(!w.windowTitle().endsWith("+"));
}

void FileMenuTest::aCopyLeavesTheEditsUnsaved() {
  WindowFixture f;
  const std::string path = f.copyFixture("north/north.tdb");
  const std::string original = readText(path);
  MainWindow& w = f.start(path);
  QLineEdit* pid = w.headerRow()->textBox(HeaderText::Pid);
  pid->setFocus();
  pid->selectAll();
  QTest::keyClicks(pid, "9");
  f.dialogs.answer(f.workPath("copy.tdb"));
  w.menus()->saveCopy()->trigger();
  PROMPTS_OK(f);
  // The copy holds the edit; the open file does not, and still says so.
  QCOMPARE(byteAt(readText(f.workPath("copy.tdb")), 3), std::uint8_t{9});
  QCOMPARE(readText(path), original);
  QCOMPARE(w.state().file.path, path);
  QVERIFY(w.windowTitle().endsWith("+"));
  // Leaving the file asks once; No then opens without a second question.
  f.prompter.expectQuestion("Save changes?", Answer::No);
  f.dialogs.answer(path);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(pid->text(), QString("1"));
  QVERIFY(!w.windowTitle().endsWith("+"));
}

void FileMenuTest::recentFilesMoveAndGrey() {
  WindowFixture f;
  const std::string a = f.copyFixture("north/north.tdb", "a.tdb");
  const std::string b = f.copyFixture("north/north.tdb", "b.tdb");
  const std::string c = f.copyFixture("grid/grid.tdb", "c.tdb");
  MainWindow& w = f.start();
  for (const std::string& path : {a, b, c}) {
    f.dialogs.answer(path);
    w.menus()->open()->trigger();
  }
  PROMPTS_OK(f);
  QCOMPARE(w.menus()->recent(0)->text(), QString::fromStdString(c));
  QCOMPARE(w.menus()->recent(1)->text(), QString::fromStdString(b));
  QCOMPARE(w.menus()->recent(2)->text(), QString::fromStdString(a));
  // Entry 3 moves to the top; those above it move down one place.
  w.menus()->recent(2)->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, a);
  QCOMPARE(w.menus()->recent(0)->text(), QString::fromStdString(a));
  QCOMPARE(w.menus()->recent(1)->text(), QString::fromStdString(c));
  QCOMPARE(w.menus()->recent(2)->text(), QString::fromStdString(b));
  // A deleted file shows greyed at the next update and does nothing when chosen.
  QVERIFY(QFile::remove(QString::fromStdString(b)));
  w.menus()->recent(1)->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, c);
  QVERIFY(!w.menus()->recent(2)->isEnabled());
  QVERIFY(w.menus()->recent(1)->isEnabled());

  // A file deleted while its entry still shows enabled: chosen, it says so
  // and offers to drop the entry, before any question about unsaved edits
  // (nothing is opened, so the edits stay).
  QVERIFY(QFile::remove(QString::fromStdString(a)));
  w.state().file.modified = true;
  f.prompter.expectQuestion(missingRecentQuestion(a), Answer::Yes);
  w.menus()->recent(1)->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.state().file.path, c);
  QVERIFY(w.state().file.modified);
  QCOMPARE(w.menus()->recent(1)->text(), QString::fromStdString(b));
  QVERIFY(!w.menus()->recent(1)->isEnabled());
  QCOMPARE(w.state().recent.captions[2], std::string());
  // Kept when the answer is No, greyed from now on.
  QVERIFY(QFile::remove(QString::fromStdString(c)));
  f.prompter.expectQuestion(missingRecentQuestion(c), Answer::No);
  w.menus()->recent(0)->trigger();
  PROMPTS_OK(f);
  QCOMPARE(w.menus()->recent(0)->text(), QString::fromStdString(c));
  QVERIFY(!w.menus()->recent(0)->isEnabled());
  w.state().file.modified = false;
}

void FileMenuTest::errorsWindowAfterAnOpeningWithErrors() {
  WindowFixture f;
  // The header block and the type byte of the next block, without its length:
  // reading the length runs past the end of the data at 0x4F.
  const std::string whole = readText(VELMOR_TEST_DATA "/north/north.tdb");
  const std::string cut = f.workPath("cut.tdb");
  {
    QFile out(QString::fromStdString(cut));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(whole.data(), 0x4F);
  }
  // However it is opened, the map maker is told first that the file is
  // damaged and what was read of it.
  const std::string damaged =
      "The file is damaged: it is cut off. It ends inside the type and length of a block at offset &4E, and the "
      "checksum block is missing. Read: 79 bytes, 1 block, 0 detail maps.";
  f.prompter.expectMessage(damaged);
  MainWindow& w = f.start(cut);
  // Opened from the command line: no Errors window.
  QVERIFY(f.errorsShown.empty());
  f.prompter.expectMessage(damaged);
  f.dialogs.answer(cut);
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(f.errorsShown.size(), std::size_t{1});
  QVERIFY2(QString::fromStdString(f.errorsShown[0]).startsWith("bit2:"), f.errorsShown[0].c_str());
  QVERIFY(QString::fromStdString(f.errorsShown[0]).contains("&4F"));
  // The same file opened whole shows nothing.
  const std::string good = f.copyFixture("north/north.tdb");
  f.dialogs.answer(good);
  w.menus()->open()->trigger();
  QCOMPARE(f.errorsShown.size(), std::size_t{1});
}

void FileMenuTest::noCloseWhileAFileIsRead() {
  WindowFixture f;
  // A block after the checksum block: reading it says the file is corrupt
  // and marks the half-read model modified.
  std::string bytes = readText(VELMOR_TEST_DATA "/north/north.tdb");
  bytes += std::string("\x4C\x02\x00\x00\x00", 5);
  const std::string path = f.workPath("tail.tdb");
  {
    QFile out(QString::fromStdString(path));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  MainWindow& w = f.start();
  bool closed = true;
  f.prompter.whileShown = [&w, &closed](const std::string&) { closed = w.close(); };
  f.prompter.expectMessage("Header 4C past end: File is corrupt.");
  f.prompter.expectMessage("Unknown header:4C Header length incorrect.");
  f.dialogs.answer(path);
  w.menus()->open()->trigger();
  f.prompter.whileShown = nullptr;
  // The close waited: no "Save changes?" about a half-read file, nothing written.
  PROMPTS_OK(f);
  QVERIFY(!closed);
  QVERIFY(w.isVisible());
  QCOMPARE(readText(path), bytes);
}

QTEST_MAIN(FileMenuTest)
#include "file_menu_test.moc"
