#pragma once
// The tile commands without a mouse: "Edit Description" (F2) and "Show img
// data" (Ctrl+I) work on the selected tile from anywhere in the window, and
// the context-menu key (or Shift+F10) on the detail-map list or the plot
// opens a menu with both. A double click and a right click stay as they are.
#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace velmor {

class Prompter;
class TileController;
struct ProductForm;
struct TileViews;

class TileKeyboard : public QObject {
  Q_OBJECT
 public:
  TileKeyboard(TileController& controller, const ProductForm& form, Prompter& prompter, const TileViews& views,
               QWidget* window);

  QAction* editDescriptionAction() const { return editDescription_; }
  QAction* showImgDataAction() const { return showImgData_; }
  // The menu of the context-menu key, while it is open (for tests).
  QMenu* openMenu() const { return menu_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showMenu(QWidget* over, const QPoint& at);
  void showImgData();

  TileController& controller_;
  const ProductForm& form_;
  Prompter& prompter_;
  QWidget* plot_ = nullptr;
  QAction* editDescription_ = nullptr;
  QAction* showImgData_ = nullptr;
  QMenu* menu_ = nullptr;
};

}  // namespace velmor
