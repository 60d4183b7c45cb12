#pragma once
// Turns what the user does to a control into a change of the form: each
// event is handed to the editing rule that governs it, then the window shows
// the form again.
#include <QObject>
#include <QString>

namespace velmor {

class MainWindow;
enum class HeaderText;
enum class FeatureOption;
enum class OverviewText;
enum class Bound;
enum class CopyrightOption;

class FormBinding : public QObject {
  Q_OBJECT
 public:
  explicit FormBinding(MainWindow& window);

 private:
  void connectHeader();
  void connectMoreOptions();
  void connectImgData();
  void connectFileMenu();
  void headerText(HeaderText which, const QString& text);
  void featureOption(FeatureOption which);
  void versionPicked(const QString& text);
  void overview(OverviewText which, const QString& text);
  void bound(Bound which, const QString& text);
  void copyrightOption(CopyrightOption which);
  // After a rule ran: the controls show the form again.
  void applied();

  MainWindow& window_;
  bool versionBusy_ = false;
};

}  // namespace velmor
