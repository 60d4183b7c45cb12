// The colour chooser as the window opens it from the block sample: picking
// a palette swatch, typing a hue and "OK" set the block colour; "Cancel"
// leaves it alone.
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "core/settings/settings_file.hpp"
#include "dialogs/block_sample.hpp"
#include "dialogs/colour_chooser_dialog.hpp"
#include "dialogs/colour_widgets.hpp"
#include "support/accessibility.hpp"
#include "support/modal.hpp"
#include "support/window_fixture.hpp"

using namespace velmor;

class ColourChooserTest : public QObject {
  Q_OBJECT
 private slots:
  void swatchThenHueThenOkSetsTheBlockColour();
  void cancelKeepsTheBlockColour();
};

namespace {

void whenChooserShown(std::function<void(ColourChooserDialog*)> act) { test::whenShown<ColourChooserDialog>(act); }

void typeInto(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, text);
}

}  // namespace

void ColourChooserTest::swatchThenHueThenOkSetsTheBlockColour() {
  test::WindowFixture fx;
  MainWindow& window = fx.start();
  auto* sample = window.findChild<BlockSample*>("blockSample");
  QVERIFY(sample);
  QCOMPARE(sample->accessibleName(), QString("Block Colour"));

  QString title, hexAfterSwatch, hueAfterSwatch;
  bool stillOpenAfterEnter = false;
  QStringList unnamed;
  fx.prompter.expectMessage("Maximum value:360");
  whenChooserShown([&](ColourChooserDialog* dialog) {
    title = dialog->windowTitle();
    // Every control as a screen reader sees it has a name.
    unnamed = test::accessibilityProblems(dialog);
    QTest::mouseClick(dialog->paletteSwatch(2), Qt::LeftButton);  // 0000ff
    hexAfterSwatch = dialog->hexBox()->text();
    hueAfterSwatch = dialog->numberBox(NumberBox::Hue)->text();
    QLineEdit* hue = dialog->numberBox(NumberBox::Hue);
    typeInto(hue, "400");
    QTest::keyClick(hue, Qt::Key_Return);  // too high: the message, and the colour stays
    typeInto(hue, "1x20");                 // the letter is dropped
    QTest::keyClick(hue, Qt::Key_Return);
    stillOpenAfterEnter = dialog->isVisible();
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  });
  QTest::mouseClick(sample, Qt::LeftButton);

  QCOMPARE(title, QString("Colour"));
  QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join("\n")));
  QCOMPARE(hexAfterSwatch, QString("0000FF"));
  QCOMPARE(hueAfterSwatch, QString("240"));
  QVERIFY(stillOpenAfterEnter);
  QCOMPARE(window.state().settings.blockColour, 0x00FF00);  // hue 120 at full saturation: green
  QVERIFY2(fx.prompter.problems().isEmpty(), qPrintable(fx.prompter.problems().join("\n")));

  // The chosen colour is what the settings file keeps.
  QVERIFY(window.writeSettings());
  QCOMPARE(test::crlfLines(test::readText(fx.settingsFile())).value(17), QString::number(0x00FF00));
}

void ColourChooserTest::cancelKeepsTheBlockColour() {
  test::WindowFixture fx;
  MainWindow& window = fx.start();
  const std::int32_t before = window.state().settings.blockColour;
  std::int32_t returned = 0;
  whenChooserShown([&](ColourChooserDialog* dialog) {
    QTest::mouseClick(dialog->paletteSwatch(19), Qt::LeftButton);
    typeInto(dialog->hexBox(), "123456");
    QCOMPARE(dialog->chooser().modified(), 0x563412);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    returned = dialog->exchangedValue();
  });
  QTest::mouseClick(window.findChild<BlockSample*>("blockSample"), Qt::LeftButton);
  QCOMPARE(returned, -1);
  QCOMPARE(window.state().settings.blockColour, before);
}

QTEST_MAIN(ColourChooserTest)
#include "colour_chooser_test.moc"
