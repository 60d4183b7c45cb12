#include "tile_keyboard.hpp"

#include <QAction>
#include <QContextMenuEvent>
#include <QListView>
#include <QMenu>

#include "core/editor/tile_selection.hpp"
#include "core/product/product_form.hpp"
#include "plot/plot_widget.hpp"
#include "tile_controller.hpp"

namespace velmor {

TileKeyboard::TileKeyboard(TileController& controller, const ProductForm& form, Prompter& prompter,
                           const TileViews& views, QWidget* window)
    : QObject(window), controller_(controller), form_(form), prompter_(prompter), plot_(views.plot) {
  editDescription_ = new QAction(QStringLiteral("&Edit Description"), window);
  editDescription_->setObjectName("editDescriptionAction");
  editDescription_->setShortcut(QKeySequence(Qt::Key_F2));
  showImgData_ = new QAction(QStringLiteral("Show &img data"), window);
  showImgData_->setObjectName("showImgDataAction");
  showImgData_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  for (QAction* action : {editDescription_, showImgData_}) {
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
  }
  connect(editDescription_, &QAction::triggered, this, [this] { controller_.editDescription(); });
  connect(showImgData_, &QAction::triggered, this, &TileKeyboard::showImgData);

  if (views.list) {
    QListView* list = views.list;
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& at) {
      // From the keyboard the menu opens at the current entry.
      const QRect current = list->visualRect(list->currentIndex());
      showMenu(list->viewport(), current.isValid() && !list->viewport()->rect().contains(at) ? current.center() : at);
    });
  }
  // A right click on the plot already opens the byte panel; only the
  // keyboard's context-menu request opens the menu there.
  if (plot_) plot_->installEventFilter(this);
}

bool TileKeyboard::eventFilter(QObject* watched, QEvent* event) {
  if (watched != plot_ || event->type() != QEvent::ContextMenu) return false;
  auto* request = static_cast<QContextMenuEvent*>(event);
  if (request->reason() == QContextMenuEvent::Mouse) return true;
  const int tile = form_.tileState.listIndex;
  QRect label = tile >= 0 ? static_cast<PlotWidget*>(plot_)->labelRect(tile + 1) : QRect();
  label = label.intersected(plot_->rect());
  showMenu(plot_, label.isValid() ? label.center() : plot_->rect().center());
  return true;
}

void TileKeyboard::showMenu(QWidget* over, const QPoint& at) {
  QMenu menu(over);
  menu.setObjectName("tileMenu");
  menu.addAction(editDescription_);
  menu.addAction(showImgData_);
  menu_ = &menu;
  menu.exec(over->mapToGlobal(at));
  menu_ = nullptr;
}

void TileKeyboard::showImgData() {
  // Without a tile the same answer as "Edit Description".
  if (!mayEditDescription(form_, prompter_)) return;
  controller_.labelRightClicked(form_.tileState.listIndex + 1);
}

}  // namespace velmor
