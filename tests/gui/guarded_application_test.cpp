// An exception that escapes a window action is shown, and the program goes
// on: the next click still works.
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "services/guarded_application.hpp"

using namespace velmor;

class GuardedApplicationTest : public QObject {
  Q_OBJECT
 private slots:
  void exceptionFromAClickIsReportedAndTheWindowGoesOn();
};

void GuardedApplicationTest::exceptionFromAClickIsReportedAndTheWindowGoesOn() {
  auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
  QStringList reported;
  app->report = [&reported](const QString& what) { reported << what; };
  QPushButton button(QStringLiteral("Open"));
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&clicks] {
    if (++clicks == 1) throw std::runtime_error("cannot allocate memory");
  });
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(reported, QStringList{QStringLiteral("cannot allocate memory")});
  QTest::mouseClick(&button, Qt::LeftButton);
  QCOMPARE(clicks, 2);
  QCOMPARE(reported.size(), 1);
  app->report = nullptr;
}

int main(int argc, char** argv) {
  GuardedApplication app(argc, argv);
  GuardedApplicationTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "guarded_application_test.moc"
