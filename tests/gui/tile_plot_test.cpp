// The plot widget and its binding: geometry on screen, label clicks and the
// z-order, the highlight colours, zoom buttons and arrow keys.
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

#include "core/editor/tile_selection.hpp"
#include "plot/plot_captions.hpp"
#include "plot/plot_widget.hpp"
#include "tile_fixture.hpp"
#include "tiles/tile_controller.hpp"

using namespace velmor;
using namespace velmor::test;

namespace {

// 1000 x 600 pixels are 15000 x 9000 twips: the product (0 to 1 east, 1 to 2
// north) is drawn from 150 to 14850 and from 90 to 8910 twips.
struct PlotFixture {
  ProductFile file;
  ProductForm form;
  TestPrompter prompter;
  QWidget window;
  QLineEdit* textBox = nullptr;
  PlotWidget* plot = nullptr;
  TileController* controller = nullptr;

  explicit PlotFixture(const std::vector<RoundTile>& tiles) {
    openRoundTiles(file, form, tiles);
    file.overallBounds.leastLongitude = 0;
    file.overallBounds.greatestLongitude = 1000;
    file.overallBounds.leastLatitude = 1000;
    file.overallBounds.greatestLatitude = 2000;
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    textBox = new QLineEdit(&window);
    column->addWidget(textBox);
    plot = new PlotWidget(form, file, &window);
    plot->setFixedSize(1000, 600);
    column->addWidget(plot);
    TileViews views2;
    views2.plot = plot;
    controller = new TileController(file, form, prompter, views2, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    plot->setTiles();
  }
};

std::vector<RoundTile> quarterAndWhole() {
  // Label 1: the north-west quarter; label 2: the whole product, on top.
  return {{20001, "Quarter", 2, 0.5f, 1.5f, 0}, {20002, "Whole", 2, 1, 1, 0}};
}

}  // namespace

class TilePlotTest : public QObject {
  Q_OBJECT
 private slots:
  void knownTileAtZoomOneAndAfterPan() {
    PlotFixture f(quarterAndWhole());
    // 150 / 15 = 10, 90 / 15 = 6, 7350 / 15 = 490, 4410 / 15 = 294.
    QCOMPARE(f.plot->labelRect(1), QRect(10, 6, 490, 294));
    QCOMPARE(f.plot->labelRect(2), QRect(10, 6, 980, 588));
    f.plot->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(f.plot, Qt::Key_Left);
    QCOMPARE(f.form.panX, 300);
    QCOMPARE(f.plot->labelRect(1), QRect(30, 6, 490, 294));
    QTest::keyClick(f.plot, Qt::Key_Up);
    QTest::keyClick(f.plot, Qt::Key_Up);
    QTest::keyClick(f.plot, Qt::Key_Up);
    QCOMPARE(f.plot->labelRect(1), QRect(30, 26, 490, 294));
  }

  void arrowKeysInATextBoxDoNotPan() {
    PlotFixture f(quarterAndWhole());
    f.textBox->setFocus();
    QTest::keyClick(f.textBox, Qt::Key_Left);
    QCOMPARE(f.form.panX, 0);
    f.textBox->setReadOnly(true);  // a read-only box is no text box to type in
    QTest::keyClick(f.textBox, Qt::Key_Left);
    QCOMPARE(f.form.panX, 100);
  }

  void sameLabelClickedTwiceKeepsItsSelection() {
    PlotFixture f(quarterAndWhole());
    const QPoint onlyWhole(800, 500);  // outside the quarter
    QTest::mouseClick(f.plot, Qt::LeftButton, {}, onlyWhole);
    QCOMPARE(f.form.selectedMap, 1);
    QTest::mouseClick(f.plot, Qt::LeftButton, {}, onlyWhole);
    QCOMPARE(f.form.selectedMap, 1);
    QCOMPARE(f.form.tileState.highlightLabel, 2);
  }

  void overlappingTilesAreReachedByAlternateClicks() {
    PlotFixture f(quarterAndWhole());
    const QPoint both(100, 100);
    QList<int> reached;
    for (int i = 0; i < 4; ++i) {
      QTest::mouseClick(f.plot, Qt::LeftButton, {}, both);
      reached.append(f.form.selectedMap);
    }
    QCOMPARE(reached, (QList<int>{1, 0, 1, 0}));
  }

  void highlightIsDrawnInTheBlockColours() {
    PlotFixture f(quarterAndWhole());
    f.plot->setHighlightColours(0x00804020, 0x000000FF);  // fill RGB(32, 64, 128), red border
    QTest::mouseClick(f.plot, Qt::LeftButton, {}, QPoint(800, 500));
    const QImage shot = f.plot->grab().toImage();
    QCOMPARE(shot.pixelColor(600, 400), QColor(32, 64, 128));
    QCOMPARE(shot.pixelColor(10, 400), QColor(255, 0, 0));
    // Before any click nothing is highlighted: the plot is white inside the outlines.
    PlotFixture g(quarterAndWhole());
    QCOMPARE(g.plot->grab().toImage().pixelColor(600, 400), QColor(Qt::white));
  }

  void outlinesUseThePaletteOfTheirTile() {
    PlotFixture f(quarterAndWhole());
    const QImage shot = f.plot->grab().toImage();
    // Tile 1 (index 1): navy (0, 0, 128) on the right edge of the whole product at x 990.
    QCOMPARE(shot.pixelColor(990, 300), QColor(0, 0, 128));
    // Tile 0 (index 0): black on the quarter's right edge at x 500.
    QCOMPARE(shot.pixelColor(500, 150), QColor(0, 0, 0));
  }

  void paleOutlinesAreDrawnDarker() {
    // Tile index 7 is silver, all but invisible on white.
    std::vector<RoundTile> tiles;
    for (int i = 0; i < 7; ++i) tiles.push_back({20000 + i, "Small", 1.1f, 0.1f, 1, 0});
    tiles.push_back({20007, "Whole", 2, 1, 1, 0});
    PlotFixture f(tiles);
    const QColor drawn = f.plot->grab().toImage().pixelColor(990, 300);
    QCOMPARE(drawn, outlineColour(QColor(192, 192, 192)));
    QVERIFY(contrastOnWhite(drawn) >= 3.0);
    // Same hue, only darker; colours dark enough already stay as they are.
    QCOMPARE(drawn.red(), drawn.green());
    QCOMPARE(drawn.green(), drawn.blue());
    for (int c = 0; c < 14; ++c) {
      const QColor palette = colourFromBgr(classicColour(c));
      QVERIFY2(contrastOnWhite(outlineColour(palette)) >= 3.0, qPrintable(palette.name()));
      if (contrastOnWhite(palette) >= 3.0) QCOMPARE(outlineColour(palette), palette);
    }
  }

  void captionsAreCutToTheirLabelOrStandBeside() {
    const QFontMetricsF metrics{QFont()};
    const double line = metrics.height();
    CaptionLayout layout(QSize(400, 300), metrics);
    // A narrow label holds its description cut to its width, and the IMG
    // name below when two lines fit.
    const QRectF narrow(10, 10, 30, 2 * line + 4);
    const auto inside = layout.place(narrow, "Tile 1 of grid (12340001)", "12340001");
    QVERIFY(inside && !inside->beside);
    QCOMPARE(inside->lines.size(), 2);
    QVERIFY(inside->lines[0].endsWith(QChar(0x2026)));
    QVERIFY(narrow.contains(inside->box));
    for (const QString& text : inside->lines) QVERIFY(metrics.horizontalAdvance(text) <= narrow.width() - 4);
    // A label of a few pixels gets its description on one line beside it.
    const QRectF tiny(200, 100, 3, 3);
    const auto beside = layout.place(tiny, "Lake", "12340002");
    QVERIFY(beside && beside->beside);
    QCOMPARE(beside->lines, QStringList{"Lake"});
    QVERIFY(beside->box.left() > tiny.right());
    // Its neighbour's caption would cover it: no caption rather than a smudge.
    QVERIFY(!layout.place(QRectF(201, 101, 3, 3), "Pond", "12340003"));
    // At the right edge of the picture the caption stands on the left.
    const auto edge = layout.place(QRectF(396, 250, 2, 2), "Edge", "12340004");
    QVERIFY(edge && edge->box.right() < 396);
  }

  void buttonsOnThePlotLeaveTheTopLeftTileNamed() {
    // "+", "-" and the colour sample stand at the top left of the plot: the
    // caption of a tile that starts there is written just below them, still
    // inside the tile, and no caption is written under them.
    const QFontMetricsF metrics{QFont()};
    CaptionLayout layout(QSize(1000, 600), metrics);
    const QRectF buttons(2, 2, 78, 24);
    layout.reserve(buttons);
    const QRectF quarter(10, 6, 490, 294);
    const auto placed = layout.place(quarter, "Tile 1 of grid (12340001)", "12340001");
    QVERIFY(placed && !placed->beside);
    QVERIFY(!placed->box.intersects(buttons));
    QVERIFY(quarter.contains(placed->box));
    QCOMPARE(placed->lines.size(), 2);
    // A tile wholly under the buttons has its name beside it, or none.
    const auto under = layout.place(QRectF(4, 4, 40, 18), "Small", "12340002");
    QVERIFY(!under || !under->box.intersects(buttons));
    // The plot keeps its own buttons out of the way.
    PlotFixture f(quarterAndWhole());
    QVERIFY(f.plot->zoomOutButton()->geometry().right() < buttons.right());
  }

  void zoomButtonsAndTheirTip() {
    PlotFixture f(quarterAndWhole());
    QCOMPARE(f.plot->zoomInButton()->text(), QStringLiteral("+"));
    QCOMPARE(f.plot->zoomOutButton()->text(), QStringLiteral("-"));
    QCOMPARE(f.plot->zoomInButton()->toolTip(), QStringLiteral("Use Arrow Keys to move map "));
    QCOMPARE(f.plot->zoomOutButton()->toolTip(), QStringLiteral("Use Arrow Keys to move map "));
    QTest::mouseClick(f.plot->zoomInButton(), Qt::LeftButton);
    QCOMPARE(f.form.zoom, 1.1f);
    // w = 15000 x 0.98 x 1.1 = 16170 twips: the whole product is 1078 pixels wide.
    QCOMPARE(f.plot->labelRect(2).width(), 1078);
    QTest::mouseClick(f.plot->zoomOutButton(), Qt::LeftButton);
    QCOMPARE(f.plot->labelRect(2), QRect(10, 6, 980, 588));
  }

  void toolTipsOfLabelsAndBackground() {
    PlotFixture f(quarterAndWhole());
    QHelpEvent onBoth(QEvent::ToolTip, QPoint(100, 100), f.plot->mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(f.plot, &onBoth);
    QCOMPARE(QToolTip::text(), QStringLiteral("Whole\n\nright click for more"));
    QHelpEvent outside(QEvent::ToolTip, QPoint(3, 595), f.plot->mapToGlobal(QPoint(3, 595)));
    QApplication::sendEvent(f.plot, &outside);
    QCOMPARE(QToolTip::text(), QStringLiteral("Use Arrow Keys to move map "));
  }

  void rightClickShowsNothingWithoutAPanel() {
    PlotFixture f(quarterAndWhole());
    QTest::mouseClick(f.plot, Qt::RightButton, {}, QPoint(800, 500));
    QVERIFY(f.form.rawBlockBoxes.empty());
    QVERIFY(f.prompter.said.empty());
  }
};

QTEST_MAIN(TilePlotTest)
#include "tile_plot_test.moc"
