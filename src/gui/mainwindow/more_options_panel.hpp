#pragma once
// The panel on the right, hidden until "More Options" is pressed: code page,
// overview map, copyright, tile copyrights and the header's extra bytes.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "core/product/product_form.hpp"

namespace velmor {

class ExtraByteBoxes;

enum class OverviewText { Name, Number, Parent };
enum class Bound { North, East, South, West };
enum class CopyrightOption { Display, Print, Sources, CopyrightInfo };

class MoreOptionsPanel : public QFrame {
  Q_OBJECT
 public:
  explicit MoreOptionsPanel(QWidget* parent = nullptr);

  void showForm(const ProductForm& form);

  QComboBox* codePageBox() const { return codePage_; }
  QLineEdit* overviewBox(OverviewText which) const;
  QLineEdit* boundBox(Bound which) const;
  QPlainTextEdit* copyrightBox() const { return copyright_; }
  QCheckBox* displayOption() const { return display_; }
  QCheckBox* printOption() const { return print_; }
  QLineEdit* tileCopyrightBox(int which) const { return which == 1 ? tileCopyright1_ : tileCopyright2_; }
  ExtraByteBoxes* extraBytes() const { return extraBytes_; }
  QLineEdit* countBox() const { return count_; }
  QCheckBox* overrideSettings() const { return override_; }
  QPushButton* copyStreamButton() const { return copyStream_; }
  QPushButton* pasteStreamButton() const { return pasteStream_; }
  QPushButton* recalculateButton() const { return recalculate_; }
  // The controls in the order they stand on the screen, for the Tab key.
  QList<QWidget*> tabOrder() const;

 signals:
  void codePageEdited(const QString& text);
  void codePagePicked(const QString& text);
  void overviewEdited(velmor::OverviewText which, const QString& text);
  void boundEdited(velmor::Bound which, const QString& text);
  void copyrightOptionClicked(velmor::CopyrightOption which);
  void copyrightTextEdited(const QString& text);
  void tileCopyrightEdited(int which, const QString& text);
  void extraByteEdited(int number, const QString& text);
  void overrideClicked(bool ticked);
  void closePressed();

 private:
  QComboBox* codePage_ = nullptr;
  QToolButton* close_ = nullptr;
  QLineEdit* overviewName_ = nullptr;
  QLineEdit* overviewNumber_ = nullptr;
  QLineEdit* parentNumber_ = nullptr;
  QLineEdit* north_ = nullptr;
  QLineEdit* east_ = nullptr;
  QLineEdit* south_ = nullptr;
  QLineEdit* west_ = nullptr;
  QRadioButton* sources_ = nullptr;
  QRadioButton* copyrightInfo_ = nullptr;
  QCheckBox* display_ = nullptr;
  QCheckBox* print_ = nullptr;
  QLineEdit* copyrightByte2_ = nullptr;
  QLineEdit* copyrightByte3_ = nullptr;
  QPlainTextEdit* copyright_ = nullptr;
  QLineEdit* tileCopyright1_ = nullptr;
  QLineEdit* tileCopyright2_ = nullptr;
  ExtraByteBoxes* extraBytes_ = nullptr;
  QLineEdit* count_ = nullptr;
  QCheckBox* override_ = nullptr;
  QPushButton* copyStream_ = nullptr;
  QPushButton* pasteStream_ = nullptr;
  QPushButton* recalculate_ = nullptr;
};

// The entries of the code-page list: "1250" to "1258".
QStringList codePageEntries();

}  // namespace velmor
