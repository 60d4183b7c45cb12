#pragma once
// Binds the tile views of the window (detail-map list, search box, plot,
// " img data" panel, "Edit Description") to the core's tile rules: an event
// calls the rule, the rule changes the form, the views refresh from the form.
#include <QObject>
#include <QPointer>
#include <functional>

#include "core/product/product_form.hpp"
#include "core/common/prompter.hpp"
#include "core/product/product_file.hpp"

class QLineEdit;
class QListView;
class QPushButton;

namespace velmor {

class DescriptionDialog;
class ImgDataPanel;
class PlotWidget;
class TileKeyboard;

struct TileViews {
  QListView* list = nullptr;
  QLineEdit* searchBox = nullptr;
  QPushButton* searchButton = nullptr;
  PlotWidget* plot = nullptr;
  ImgDataPanel* imgPanel = nullptr;  // may be absent
  // Where the panel text of a click is shown.
  std::function<void(const QString&)> showPanelText;
  // The model changed (the title's "+" and the other controls follow).
  std::function<void()> changed;
};

class TileController : public QObject {
  Q_OBJECT
 public:
  TileController(ProductFile& file, ProductForm& form, Prompter& prompter, TileViews views, QWidget* window);
  ~TileController() override;

  // After a load: list, plot and panel from the form.
  void showTiles();

  // A click on list entry `row`; the plot takes the focus unless the entry
  // was reached with the keyboard.
  void listClicked(int row, bool focusPlot = true);
  void labelClicked(int label);
  void labelRightClicked(int label);
  // Double click on a list entry or a label: the "Edit Description" dialog.
  void editDescription();
  void runSearch();
  void zoom(bool in);
  void pan(int qtKey);
  void keepChanges();
  void closeImgPanel();
  void byteEdited(int box, const QString& text);

  // The dialog of the last double click, while it is open (for tests).
  DescriptionDialog* openDialog() const { return dialog_; }
  // The keyboard's way to the tile commands; null without a window.
  TileKeyboard* keyboard() const { return keyboard_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showSelection();
  bool textBoxHasFocus() const;

  ProductFile& file_;
  ProductForm& form_;
  Prompter& prompter_;
  TileViews views_;
  QPointer<QWidget> window_;
  DescriptionDialog* dialog_ = nullptr;
  TileKeyboard* keyboard_ = nullptr;
  bool syncing_ = false;
};

}  // namespace velmor
