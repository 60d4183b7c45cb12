// The window without a mouse and without eyes: menu mnemonics and standard
// shortcuts, the Tab order, and a name for every control a screen reader
// meets in the window and its dialogs.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/errors_dialog.hpp"
#include "mainwindow/header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/map_area.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "plot/plot_widget.hpp"
#include "support/accessibility.hpp"
#include "support/window_fixture.hpp"
#include "tiles/description_dialog.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class KeyboardAccessTest : public QObject {
  Q_OBJECT
 private slots:
  void menusOpenWithAltAndEntriesKeepTheirCaptions();
  void tabFollowsTheScreenFromTheVersionBox();
  void everyControlAndDialogHasAName();
};

namespace {

void activate(QWidget& window) {
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
}

}  // namespace

void KeyboardAccessTest::menusOpenWithAltAndEntriesKeepTheirCaptions() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  activate(w);
  MainMenus* menus = w.menus();

  // Alt+F in a name box opens File and types nothing.
  QLineEdit* family = w.headerRow()->textBox(HeaderText::FamilyName);
  family->setFocus();
  const QString before = family->text();
  QTest::keyClick(family, Qt::Key_F, Qt::AltModifier);
  QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(menus->menu("File")));
  QCOMPARE(family->text(), before);
  QVERIFY(!w.state().file.modified);
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  QTRY_VERIFY(!QApplication::activePopupWidget());

  // Alt+H reaches Help from anywhere in the window.
  QTest::keyClick(w.headerRow()->versionBox(), Qt::Key_H, Qt::AltModifier);
  QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(menus->menu("Help")));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  QTRY_VERIFY(!QApplication::activePopupWidget());

  // Every menu and entry has its mnemonic; lookups and read-out names go
  // by the caption without the mark.
  for (const char* top : {"File", "Preferences", "Tools", "Logs", "Help"}) {
    QMenu* menu = menus->menu(top);
    QVERIFY2(menu, top);
    QVERIFY2(menu->title().contains('&'), top);
    for (QAction* action : menu->actions()) {
      if (action->isSeparator() || !action->isVisible() || action->objectName().startsWith("recentFile")) continue;
      QVERIFY2(action->text().contains('&'), qPrintable(action->text()));
    }
  }
  QCOMPARE(menus->entry("Save As"), menus->saveAs());
  QCOMPARE(plainCaption("Maps && more &Tools"), QString("Maps & more Tools"));
  QCOMPARE(menus->exit()->shortcut(), QKeySequence(QKeySequence::Quit));

  // A recent entry is a path: its "&" is shown as such, not as a mark, and
  // the empty entries are out of sight.
  const std::string odd = f.copyFixture("north/north.tdb", "r&d.tdb");
  f.dialogs.answer(odd);
  menus->open()->trigger();
  PROMPTS_OK(f);
  QCOMPARE(plainCaption(menus->recent(0)->text()), QString::fromStdString(odd));
  QVERIFY(menus->recent(0)->isVisible());
  QVERIFY(!menus->recent(2)->isVisible());

  // Ctrl+O is Open.
  QTest::keyClick(w.headerRow()->versionBox(), Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(f.dialogs.calls.size(), std::size_t{2});
}

void KeyboardAccessTest::tabFollowsTheScreenFromTheVersionBox() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("north/north.tdb"));
  activate(w);
  HeaderRow* h = w.headerRow();
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h->versionBox()));

  const QList<QWidget*> expected{h->textBox(HeaderText::Fid),        h->textBox(HeaderText::Pid),
                                 h->textBox(HeaderText::FamilyName), h->textBox(HeaderText::SeriesName),
                                 h->launchButton(),                  h->option(FeatureOption::Routable), h->option(FeatureOption::Dem),
                                 h->option(FeatureOption::Profile),  h->option(FeatureOption::Printing),
                                 h->option(FeatureOption::MapWindow)};
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  // The greyed size lists are passed over; after "More Options" come the
  // list down the left, the plot's buttons and the report.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h->moreOptionsButton()));
  const QList<QWidget*> rest{w.mapArea()->searchBox(), w.mapArea()->list(), w.mapArea()->searchButton(),
                             w.mapArea()->plot()->zoomInButton(), w.mapArea()->plot()->zoomOutButton(),
                             static_cast<QWidget*>(w.reportBox())};
  for (QWidget* next : rest) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  // With the panel open, the report leads into it, code page first.
  w.openMoreOptions();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.moreOptionsPanel()->codePageBox()));
  PROMPTS_OK(f);
}

void KeyboardAccessTest::everyControlAndDialogHasAName() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("grid/grid.tdb"));
  w.openMoreOptions();
  // The " img data" panel of a tile, as a right click opens it.
  PlotWidget* plot = w.mapArea()->plot();
  QTRY_VERIFY(!plot->labelRect(1).isEmpty());
  QTest::mouseClick(plot, Qt::RightButton, {}, plot->labelRect(1).center());
  QVERIFY(w.imgDataPanel()->isVisible());
  VERIFY_ACCESSIBLE(&w);
  // The names a screen reader reads are the captions beside the fields.
  QCOMPARE(spokenName(w.headerRow()->textBox(HeaderText::Pid)), QString("PID"));
  QCOMPARE(spokenName(w.headerRow()->versionBox()), QString("TDB"));

  ErrorsDialog errors(QStringLiteral("crc error"), &w);
  VERIFY_ACCESSIBLE(&errors);
  DescriptionDialog description(&w);
  description.setTile(QStringLiteral("12340001"), QStringLiteral("Tile"));
  VERIFY_ACCESSIBLE(&description);

  // The check itself finds what is missing.
  QDialog bare;
  auto* nameless = new QLineEdit(&bare);
  nameless->setObjectName("nameless");
  const QStringList problems = accessibilityProblems(&bare);
  QCOMPARE(problems.size(), 2);
  QVERIFY(problems.join('\n').contains("window without a title"));
  QVERIFY(problems.join('\n').contains("QLineEdit nameless"));
  PROMPTS_OK(f);
}

QTEST_MAIN(KeyboardAccessTest)
#include "keyboard_access_test.moc"
