#pragma once
// The row of header fields and flags along the top of the main window. It
// shows what the form holds and reports what the user did; the rules that
// decide what an edit means are the core's.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "core/editor/header_rules.hpp"
#include "core/product/product_form.hpp"

namespace velmor {

enum class HeaderText { Pid, Fid, FamilyName, SeriesName };

class HeaderRow : public QWidget {
  Q_OBJECT
 public:
  explicit HeaderRow(QWidget* parent = nullptr);

  // Shows the form without reporting anything back.
  void showForm(const ProductForm& form);

  QComboBox* versionBox() const { return version_; }
  QLineEdit* textBox(HeaderText which) const;
  QCheckBox* option(FeatureOption which) const;
  QComboBox* widthList() const { return width_; }
  QComboBox* heightList() const { return height_; }
  QPushButton* moreOptionsButton() const { return moreOptions_; }
  QToolButton* launchButton() const { return launch_; }
  // The controls in the order they stand on the screen, for the Tab key.
  QList<QWidget*> tabOrder() const;

 signals:
  void textEdited(velmor::HeaderText which, const QString& text);
  void enterPressed(velmor::HeaderText which);
  void versionPicked(const QString& text);
  // Enter in the version box, or the focus left it: the text it holds.
  void versionTyped(const QString& text);
  void optionClicked(velmor::FeatureOption which);
  void mapWindowSizeEdited(bool width, const QString& text);
  void moreOptionsPressed();

 private:
  QLineEdit* addText(HeaderText which, const char* caption, int width);
  QComboBox* version_ = nullptr;
  QLineEdit* pid_ = nullptr;
  QLineEdit* fid_ = nullptr;
  QLineEdit* family_ = nullptr;
  QLineEdit* series_ = nullptr;
  QCheckBox* routable_ = nullptr;
  QCheckBox* dem_ = nullptr;
  QCheckBox* profile_ = nullptr;
  QCheckBox* printing_ = nullptr;
  QCheckBox* mapWindow_ = nullptr;
  QComboBox* width_ = nullptr;
  QComboBox* height_ = nullptr;
  QPushButton* moreOptions_ = nullptr;
  QToolButton* launch_ = nullptr;
};

// The entries of the two map-window size lists: "10%" to "100%".
QStringList mapWindowSizeEntries();
// The entries of the version list, oldest first.
QStringList versionEntries();

}  // namespace velmor
