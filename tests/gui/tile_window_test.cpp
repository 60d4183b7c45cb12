// The tile views inside the main window: a loaded product is plotted and
// listed, a label click shows its panel text in the window, and the title
// gains its "+" after a kept byte edit.
#include <QListView>
#include <QPlainTextEdit>
#include <QtTest>

#include "mainwindow/file_commands.hpp"
#include "tiles/img_data_panel.hpp"
#include "mainwindow/main_window.hpp"
#include "mainwindow/map_area.hpp"
#include "mainwindow/more_options_panel.hpp"
#include "plot/plot_widget.hpp"
#include "tile_fixture.hpp"
#include "tiles/byte_grid_view.hpp"
#include "tiles/tile_controller.hpp"

using namespace velmor;
using namespace velmor::test;

class TileWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void loadedTilesAreListedPlottedAndClickable() {
    TestPrompter prompter;
    WindowServices services;
    services.prompter = &prompter;
    services.showErrors = [](const std::string&) {};
    MainWindow window(services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    Bytes bytes = block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58)));
    for (const Bytes& t : {tileAt(20001, "West", 0x1E000000, 0x00800000, 0x1C000000, 0),
                           tileAt(20002, "East", 0x1E000000, 0x01000000, 0x1C000000, 0x00800000)}) {
      bytes.insert(bytes.end(), t.begin(), t.end());
    }
    window.fileCommands().openProductFile(writeTemp(bytes), false);
    PlotWidget* plot = window.mapArea()->plot();
    QCOMPARE(window.mapArea()->list()->model()->rowCount(), 2);
    const QRect east = plot->labelRect(2);
    QVERIFY(east.width() > 100);
    QVERIFY(plot->labelRect(1).right() <= east.left() + 1);

    QTest::mouseClick(plot, Qt::LeftButton, {}, east.center());
    QCOMPARE(window.state().form.selectedMap, 1);
    QCOMPARE(window.mapArea()->list()->currentIndex().row(), 1);
    QVERIFY(window.reportBox()->toPlainText().startsWith(QStringLiteral("Description:East\nIMG:20002\n")));

    QTest::mouseClick(plot, Qt::RightButton, {}, plot->labelRect(1).center());
    QVERIFY(window.imgDataPanel()->isVisible());
    ByteGridModel* grid = window.imgDataPanel()->grid()->gridModel();
    grid->setData(grid->index(1, 11), QStringLiteral("77"), Qt::EditRole);  // "West" -> "west"
    QVERIFY(window.windowTitle().endsWith(QLatin1Char('+')));
    QTest::mouseClick(window.imgDataPanel()->keepChangesButton(), Qt::LeftButton);
    QCOMPARE(prompter.said.back(), std::string("Changes saved."));
    const auto k = static_cast<std::size_t>(window.state().form.detailMaps[0].blockIndex);
    QCOMPARE(Bytes(window.state().file.blocks[k]), tileAt(20001, "west", 0x1E000000, 0x00800000, 0x1C000000, 0));
    QCOMPARE(window.mapArea()->list()->model()->index(0, 0).data().toString(), QStringLiteral("west"));
    // The tile that was selected stays as it was.
    const auto other = static_cast<std::size_t>(window.state().form.detailMaps[1].blockIndex);
    QCOMPARE(Bytes(window.state().file.blocks[other]),
             tileAt(20002, "East", 0x1E000000, 0x01000000, 0x1C000000, 0x00800000));
  }

  void streamButtonsAndRecalculate() {
    TestPrompter prompter;
    WindowServices services;
    services.prompter = &prompter;
    services.showErrors = [](const std::string&) {};
    MainWindow window(services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Bytes bytes = block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58)));
    const Bytes t = tileAt(20001, "West");
    bytes.insert(bytes.end(), t.begin(), t.end());
    window.fileCommands().openProductFile(writeTemp(bytes), false);
    ProductForm& form = window.state().form;
    QCOMPARE(form.tailBoxCount, 58);
    window.openMoreOptions();

    QTest::mouseClick(window.moreOptionsPanel()->pasteStreamButton(), Qt::LeftButton);
    QVERIFY(!window.state().file.modified);  // nothing copied yet
    QTest::mouseClick(window.moreOptionsPanel()->copyStreamButton(), Qt::LeftButton);
    QVERIFY(form.streamBuffer.rfind("57,", 0) == 0);
    form.streamBuffer = "2,AA,BB,";
    QTest::mouseClick(window.moreOptionsPanel()->pasteStreamButton(), Qt::LeftButton);
    QCOMPARE(form.tailBoxCount, 3);
    QCOMPARE(form.extraBytes[2].text, std::string("BB"));
    QVERIFY(window.windowTitle().endsWith(QLatin1Char('+')));

    // The tile spans 42.1875 to 39.375 north and 0 to 0.703125 east.
    QTest::mouseClick(window.moreOptionsPanel()->recalculateButton(), Qt::LeftButton);
    QCOMPARE(form.overviewNorth, std::string("42.1875"));
    QCOMPARE(form.overviewSouth, std::string("39.375"));
    QCOMPARE(form.overviewEast, std::string("0.70312"));
    QCOMPARE(form.overviewWest, std::string("0"));
    QVERIFY(window.state().file.overviewEdited);
  }
};

QTEST_MAIN(TileWindowTest)
#include "tile_window_test.moc"
