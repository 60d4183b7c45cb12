#pragma once
// What a screen reader would find nameless in a window or dialog, checked
// in-process through Qt's accessibility interfaces (the same ones the AT-SPI
// bridge reads): every visible control must have a name, a window its title,
// and every visible menu entry its caption.
//
//   VERIFY_ACCESSIBLE(&dialog);   // in a QtTest slot
#include <QStringList>
#include <QtTest>

class QWidget;

namespace velmor::test {

// One line per problem, naming the control ("QLineEdit pidBox in headerRow:
// no accessible name"); empty when a screen reader can name everything.
QStringList accessibilityProblems(QWidget* top);

// The name a screen reader gives a control: its accessible name or, where
// the platform names a control by its value (an editable list on Linux),
// the label it is labelled by.
QString spokenName(QObject* control);

}  // namespace velmor::test

#define VERIFY_ACCESSIBLE(widget)                                                       \
  do {                                                                                  \
    const QStringList velmorA11yProblems = velmor::test::accessibilityProblems(widget); \
    QVERIFY2(velmorA11yProblems.isEmpty(), qPrintable(velmorA11yProblems.join("\n")));  \
  } while (false)
