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
#include <QContextMenuEvent>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "dialogs/errors_dialog.hpp"
#include "mainwindow/header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/map_area.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "plot/plot_widget.hpp"
#include "support/accessibility.hpp"
#include "support/window_fixture.hpp"
#include "support/modal.hpp"
#include "tiles/description_dialog.hpp"
#include "tiles/tile_controller.hpp"
#include "tiles/tile_keyboard.hpp"

using namespace velmor;
using namespace velmor::test;

#define PROMPTS_OK(f) QVERIFY2((f).prompter.problems().isEmpty(), qPrintable((f).prompter.problems().join("\n")))

class KeyboardAccessTest : public QObject {
  Q_OBJECT
 private slots:
  void menusOpenWithAltAndEntriesKeepTheirCaptions();
  void tabFollowsTheScreenFromTheVersionBox();
  void everyControlAndDialogHasAName();
  void accessibleToggleIsAnEditLikeAClick();
  void tileCommandsFromTheKeyboard();
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

  const QList<QWidget*> expected{h->textBox(HeaderText::Fid),
                                 h->textBox(HeaderText::Pid),
                                 h->textBox(HeaderText::FamilyName),
                                 h->textBox(HeaderText::SeriesName),
                                 h->launchButton(),
                                 h->option(FeatureOption::Routable),
                                 h->option(FeatureOption::Dem),
                                 h->option(FeatureOption::Profile),
                                 h->option(FeatureOption::Printing),
                                 h->option(FeatureOption::MapWindow)};
  for (QWidget* next : expected) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
  }
  // The greyed size lists are passed over; after "More Options" come the
  // list down the left, the plot's buttons and the report.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h->moreOptionsButton()));
  const QList<QWidget*> rest{w.mapArea()->searchBox(),
                             w.mapArea()->list(),
                             w.mapArea()->searchButton(),
                             w.mapArea()->plot()->zoomInButton(),
                             w.mapArea()->plot()->zoomOutButton(),
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

void KeyboardAccessTest::accessibleToggleIsAnEditLikeAClick() {
  // A screen reader's "Toggle" calls toggle(), which emits no clicked():
  // every check box and option must still reach its rule and mark the
  // product modified, so that the save writes what the box shows.
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("grid/grid.tdb"));
  PROMPTS_OK(f);
  ProductForm& form = w.state().form;
  MoreOptionsPanel* panel = w.moreOptionsPanel();
  struct Case {
    QAbstractButton* box;
    std::function<bool()> formState;
  };
  const std::vector<Case> cases = {
      {w.headerRow()->option(FeatureOption::Routable), [&] { return form.routable; }},
      {w.headerRow()->option(FeatureOption::Dem), [&] { return form.dem; }},
      {w.headerRow()->option(FeatureOption::Profile), [&] { return form.profile; }},
      {panel->displayOption(), [&] { return form.copyrightDisplay; }},
      {panel->printOption(), [&] { return form.copyrightPrint; }},
  };
  for (const Case& c : cases) {
    const QString name = c.box->accessibleName().isEmpty() ? c.box->text() : c.box->accessibleName();
    w.state().file.modified = false;
    w.rebuildTitle();
    const bool was = c.box->isChecked();
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(c.box);
    QVERIFY2(face && face->actionInterface(), qPrintable(name));
    QVERIFY2(face->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()),
             qPrintable(name));
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY2(c.box->isChecked() != was, qPrintable(name));
    QVERIFY2(c.formState() == c.box->isChecked(), qPrintable(name));
    QVERIFY2(w.state().file.modified, qPrintable(name));
    QVERIFY2(w.windowTitle().endsWith("+"), qPrintable(name));
  }
  PROMPTS_OK(f);
  // The window's own fills are no edits: opening again leaves the title clean.
  f.prompter.expectQuestion("Save changes?", Answer::No);
  f.dialogs.answer(f.copyFixture("grid/grid.tdb", "again.tdb"));
  w.menus()->open()->trigger();
  PROMPTS_OK(f);
  QVERIFY(!w.state().file.modified);
  QVERIFY(!w.windowTitle().endsWith("+"));
}

void KeyboardAccessTest::tileCommandsFromTheKeyboard() {
  WindowFixture f;
  MainWindow& w = f.start(f.copyFixture("grid/grid.tdb"));
  activate(w);
  TileKeyboard* keys = w.tiles()->keyboard();
  QVERIFY(keys);
  QCOMPARE(keys->editDescriptionAction()->shortcut(), QKeySequence(Qt::Key_F2));
  QCOMPARE(keys->showImgDataAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
  // Without a tile both say so.
  f.prompter.expectMessage("Select an img.");
  QTest::keyClick(&w, Qt::Key_I, Qt::ControlModifier);
  PROMPTS_OK(f);

  // A tile chosen in the list with the arrow keys; F2 edits its description.
  QListView* list = w.mapArea()->list();
  list->setFocus();
  list->setCurrentIndex(list->model()->index(2, 0));
  QCOMPARE(w.state().form.tileState.listIndex, 2);
  bool edited = false;
  whenShown<DescriptionDialog>([&](DescriptionDialog* d) {
    edited = true;
    QVERIFY(d->windowTitle().contains("Description"));
  });
  QTest::keyClick(list, Qt::Key_F2);
  QVERIFY(edited);
  // Ctrl+I opens its bytes in the " img data" panel.
  QVERIFY(!w.imgDataPanel()->isVisible());
  activate(w);  // back from the dialog
  QTest::keyClick(list, Qt::Key_I, Qt::ControlModifier);
  QVERIFY(w.state().form.rawBlockPanelShown);
  QTRY_VERIFY(w.imgDataPanel()->isVisible());
  PROMPTS_OK(f);

  // The context-menu key on the plot opens a menu of both, at the tile.
  QStringList entries;
  QTimer::singleShot(200, [&] {
    if (QMenu* menu = keys->openMenu()) {
      for (QAction* a : menu->actions()) entries << a->text();
      menu->close();
    }
  });
  PlotWidget* plot = w.mapArea()->plot();
  const QPoint centre = plot->rect().center();
  QContextMenuEvent request(QContextMenuEvent::Keyboard, centre, plot->mapToGlobal(centre));
  QApplication::sendEvent(plot, &request);
  QCOMPARE(entries, QStringList({"&Edit Description", "Show &img data"}));
  // A right click there is the byte panel's, with no menu.
  QContextMenuEvent mouse(QContextMenuEvent::Mouse, centre, plot->mapToGlobal(centre));
  QApplication::sendEvent(plot, &mouse);
  QVERIFY(mouse.isAccepted());
  QVERIFY(!keys->openMenu());
}

QTEST_MAIN(KeyboardAccessTest)
#include "keyboard_access_test.moc"
