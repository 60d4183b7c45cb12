// The tile views bound together: list clicks and the panel text, search by
// Enter in the search box, the "Edit Description" dialog and the " img data"
// panel with its byte grid, "keep changes" and "X".
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include "core/editor/tile_selection.hpp"
#include "tiles/detail_map_list_model.hpp"
#include "tiles/img_data_panel.hpp"
#include "plot/plot_widget.hpp"
#include "tile_fixture.hpp"
#include "tiles/byte_grid_view.hpp"
#include "tiles/description_dialog.hpp"
#include "tiles/tile_controller.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

struct Views {
  ProductFile file;
  ProductForm form;
  TestPrompter prompter;
  QWidget window;
  QListView* list = nullptr;
  QLineEdit* search = nullptr;
  QPushButton* searchButton = nullptr;
  PlotWidget* plot = nullptr;
  ImgDataPanel* panel = nullptr;
  TileController* controller = nullptr;
  QString panelText;

  explicit Views(const std::vector<Bytes>& tiles) {
    openBytes(file, form, tiles);
    auto* column = new QVBoxLayout(&window);
    search = new QLineEdit(&window);
    column->addWidget(search);
    list = new QListView(&window);
    list->setModel(new DetailMapListModel(form, file, list));
    column->addWidget(list);
    searchButton = new QPushButton(QStringLiteral("Search Map TXT"), &window);
    column->addWidget(searchButton);
    plot = new PlotWidget(form, file, &window);
    plot->setFixedSize(600, 400);
    column->addWidget(plot);
    panel = new ImgDataPanel(form, &window);
    TileViews v;
    v.list = list;
    v.searchBox = search;
    v.searchButton = searchButton;
    v.plot = plot;
    v.imgPanel = panel;
    v.showPanelText = [this](const QString& text) { panelText = text; };
    controller = new TileController(file, form, prompter, v, &window);
    window.resize(700, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    controller->showTiles();
  }

  QString listText(int row) const { return list->model()->index(row, 0).data().toString(); }
  Bytes blockOf(int tile) const {
    return file.blocks[static_cast<std::size_t>(form.detailMaps[static_cast<std::size_t>(tile)].blockIndex)];
  }
};

std::vector<Bytes> lakes() {
  return {tileAt(20001, "Lake north"), tileAt(20002, "Forest"), tileAt(20003, "Lake south")};
}

}  // namespace

class TilePanelTest : public QObject {
  Q_OBJECT
 private slots:
  void listClickSelectsAndShowsThePanelText() {
    Views v(lakes());
    QCOMPARE(v.list->model()->rowCount(), 3);
    QCOMPARE(v.listText(1), QStringLiteral("Forest"));
    v.controller->listClicked(1);
    QCOMPARE(v.form.selectedMap, 1);
    QCOMPARE(v.list->currentIndex().row(), 1);
    QVERIFY(v.panelText.startsWith(QStringLiteral("Forest:\n42.1875,0.70312\n39.375,0\n\nOverview Map Number:123456")));
    QVERIFY(v.plot->hasFocus());
  }

  void enterInTheSearchBoxCyclesAndFindsImgNames() {
    Views v(lakes());
    v.search->setFocus();
    QTest::keyClicks(v.search, QStringLiteral("LAKE"));
    QList<int> found;
    for (int i = 0; i < 3; ++i) {
      QTest::keyClick(v.search, Qt::Key_Return);
      found.append(v.form.selectedMap);
    }
    QCOMPARE(found, (QList<int>{0, 2, 0}));
    QCOMPARE(v.list->currentIndex().row(), 0);
    v.search->clear();
    QTest::keyClicks(v.search, QStringLiteral("20002"));
    QTest::mouseClick(v.searchButton, Qt::LeftButton);
    QCOMPARE(v.form.selectedMap, 1);
    QCOMPARE(v.list->currentIndex().row(), 1);
    QVERIFY(v.prompter.said.empty());
  }

  void doubleClickWithoutSelectionAsksForOne() {
    Views v(lakes());
    v.controller->editDescription();
    QCOMPARE(v.prompter.said, (std::vector<std::string>{"Select an img."}));
  }

  void editDescriptionDialogRenamesTheTile() {
    Views v(lakes());
    v.controller->listClicked(1);
    bool checked = false;
    QTimer::singleShot(0, [&] {
      DescriptionDialog* d = v.controller->openDialog();
      QVERIFY(d);
      QCOMPARE(d->imgLabel()->text(), QStringLiteral("20002"));
      QCOMPARE(d->textBox()->text(), QStringLiteral("Forest"));
      QCOMPARE(d->textBox()->cursorPosition(), 6);
      QCOMPARE(d->okButton()->text(), QStringLiteral("OK"));
      QCOMPARE(d->cancelButton()->text(), QStringLiteral("Cancel"));
      QVERIFY(!d->findChildren<QLabel*>().isEmpty());
      bool hasDescriptionLabel = false;
      for (QLabel* label : d->findChildren<QLabel*>()) hasDescriptionLabel |= label->text() == "IMG Description";
      QVERIFY(hasDescriptionLabel);
      d->textBox()->setText(QStringLiteral("Forest and hills"));
      QTest::mouseClick(d->okButton(), Qt::LeftButton);
      checked = true;
    });
    v.controller->editDescription();
    QVERIFY(checked);
    QCOMPARE(v.listText(1), QStringLiteral("Forest and hills"));
    const Bytes want = tileAt(20002, "Forest and hills");
    QCOMPARE(v.blockOf(1), want);
    QVERIFY(v.file.modified);
    QVERIFY(v.panelText.startsWith(QStringLiteral("Forest and hills:\n")));
  }

  void cancelLeavesTheTileAlone() {
    Views v(lakes());
    v.controller->listClicked(0);
    QTimer::singleShot(0, [&] {
      DescriptionDialog* d = v.controller->openDialog();
      QVERIFY(d);
      d->textBox()->setText(QStringLiteral("Other"));
      QTest::mouseClick(d->cancelButton(), Qt::LeftButton);
    });
    v.controller->editDescription();
    QCOMPARE(v.listText(0), QStringLiteral("Lake north"));
    QVERIFY(!v.file.modified);
  }

  void rightClickShowsTheBlockInTheGrid() {
    // Map number 5, description "A", no subfiles: 3 + 24 + 2 + 2 + 2 + 7 = 40 bytes.
    Views v({tileAt(5, "A")});
    QCOMPARE(v.blockOf(0).size(), std::size_t(40));
    const QRect label = v.plot->labelRect(1);
    QTest::mouseClick(v.plot, Qt::RightButton, {}, label.center());
    QVERIFY(v.panel->isVisible());
    QCOMPARE(v.form.selectedMap, 0);
    ByteGridModel* model = v.panel->grid()->gridModel();
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("4C"));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("25"));  // body 37
    QCOMPARE(model->index(0, 3).data().toString(), QStringLiteral("5"));
    QVERIFY(model->flags(model->index(2, 7)) & Qt::ItemIsEditable);
    QCOMPARE(model->flags(model->index(2, 8)), Qt::NoItemFlags);
    QVERIFY(!model->index(2, 8).data().isValid());
    // "A" at box 27 blue, its zero red.
    QCOMPARE(model->index(1, 11).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    QCOMPARE(model->index(1, 12).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    QVERIFY(!v.panel->keepChangesButton()->isEnabled());
  }

  void keepChangesAndClose() {
    Views v({tileAt(5, "A")});
    QTest::mouseClick(v.plot, Qt::RightButton, {}, v.plot->labelRect(1).center());
    ByteGridModel* model = v.panel->grid()->gridModel();
    QVERIFY(model->setData(model->index(1, 11), QStringLiteral("42"), Qt::EditRole));
    QVERIFY(v.panel->keepChangesButton()->isEnabled());
    QVERIFY(v.file.modified);
    QTest::mouseClick(v.panel->keepChangesButton(), Qt::LeftButton);
    QCOMPARE(v.prompter.said, (std::vector<std::string>{"Changes saved."}));
    QCOMPARE(v.blockOf(0), tileAt(5, "B"));

    model->setData(model->index(1, 11), QStringLiteral("43"), Qt::EditRole);
    v.prompter.answers.push_back(Answer::No);
    QTest::mouseClick(v.panel->closeButton(), Qt::LeftButton);
    QCOMPARE(v.prompter.said.back(), std::string("Keep changes?"));
    QVERIFY(!v.panel->isVisible());
    QCOMPARE(v.blockOf(0), tileAt(5, "B"));
  }

  void typingAFullBoxMovesToTheNext() {
    Views v({tileAt(5, "A")});
    QTest::mouseClick(v.plot, Qt::RightButton, {}, v.plot->labelRect(1).center());
    ByteGridView* grid = v.panel->grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->gridModel()->index(1, 11));
    QTest::keyClicks(grid, QStringLiteral("4g"));  // "g" is no hexadecimal digit
    QCOMPARE(QString::fromStdString(v.form.rawBlockBoxes[27]), QStringLiteral("4"));
    QVERIFY(v.panel->keepChangesButton()->isEnabled());
    QTest::keyClicks(grid, QStringLiteral("a"));
    QCOMPARE(QString::fromStdString(v.form.rawBlockBoxes[27]), QStringLiteral("4A"));
    QCOMPARE(grid->currentIndex(), grid->gridModel()->index(1, 12));
    // A digit on the next box starts it afresh; backspace takes it back.
    QTest::keyClicks(grid, QStringLiteral("7"));
    QCOMPARE(QString::fromStdString(v.form.rawBlockBoxes[28]), QStringLiteral("7"));
    QTest::keyClick(grid, Qt::Key_Backspace);
    QCOMPARE(QString::fromStdString(v.form.rawBlockBoxes[28]), QString());
    // Arrow keys move between the boxes here instead of panning the plot.
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->currentIndex(), grid->gridModel()->index(1, 13));
    QCOMPARE(v.form.panX, 0);
  }

  void anEditBoxOnDoubleClickMovesOnWhenFull() {
    Views v({tileAt(5, "A")});
    QTest::mouseClick(v.plot, Qt::RightButton, {}, v.plot->labelRect(1).center());
    ByteGridView* grid = v.panel->grid();
    grid->setCurrentIndex(grid->gridModel()->index(1, 11));
    grid->edit(grid->currentIndex());
    auto* editor = grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(editor->selectedText(), QStringLiteral("41"));
    QTest::keyClicks(editor, QStringLiteral("4g2"));
    QCOMPARE(QString::fromStdString(v.form.rawBlockBoxes[27]), QStringLiteral("42"));
  }

  void largestBlockFillsTheGrid() {
    Views v({tileAt(5, std::string(65490, 'x'))});
    QCOMPARE(v.blockOf(0).size(), std::size_t(65529));
    QTest::mouseClick(v.plot, Qt::RightButton, {}, v.plot->labelRect(1).center());
    QCOMPARE(v.panel->grid()->gridModel()->rowCount(), 4096);  // 65529 / 16, rounded up
    QCOMPARE(v.panel->grid()->gridModel()->index(4095, 8).data().toString(), QStringLiteral("0"));
  }
};

QTEST_MAIN(TilePanelTest)
#include "tile_panel_test.moc"
