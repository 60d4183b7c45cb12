#include "tile_controller.hpp"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>

#include "core/editor/description_edit.hpp"
#include "core/editor/plot_navigation.hpp"
#include "core/editor/raw_block_panel.hpp"
#include "core/editor/tile_search.hpp"
#include "core/editor/tile_selection.hpp"
#include "core/product/tile_texts.hpp"
#include "description_dialog.hpp"
#include "tiles/detail_map_list_model.hpp"
#include "tiles/img_data_panel.hpp"
#include "plot/plot_widget.hpp"
#include "tiles/byte_grid_view.hpp"
#include "tiles/tile_keyboard.hpp"

namespace velmor {

namespace {

constexpr int kPanelOffsetPixels = 800 / 15;  // 800 twips right of the label

bool isArrow(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

TileController::TileController(ProductFile& file, ProductForm& form, Prompter& prompter, TileViews views,
                               QWidget* window)
    : QObject(window), file_(file), form_(form), prompter_(prompter), views_(std::move(views)), window_(window) {
  if (views_.list) {
    connect(views_.list, &QListView::clicked, this, [this](const QModelIndex& index) { listClicked(index.row()); });
    connect(views_.list, &QListView::doubleClicked, this, [this] { editDescription(); });
    connect(views_.list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
              // Moving through the list with the keyboard (or Tab into it)
              // selects the tile but leaves the focus in the list.
              if (!syncing_ && current.isValid()) listClicked(current.row(), false);
            });
  }
  if (views_.searchBox) views_.searchBox->installEventFilter(this);
  if (views_.searchButton) {
    views_.searchButton->setEnabled(true);
    connect(views_.searchButton, &QPushButton::clicked, this, &TileController::runSearch);
  }
  if (views_.plot) {
    PlotWidget* plot = views_.plot;
    connect(plot, &PlotWidget::labelClicked, this, &TileController::labelClicked);
    connect(plot, &PlotWidget::labelRightClicked, this, &TileController::labelRightClicked);
    connect(plot, &PlotWidget::labelDoubleClicked, this, [this] { editDescription(); });
    connect(plot, &PlotWidget::zoomInPressed, this, [this] { zoom(true); });
    connect(plot, &PlotWidget::zoomOutPressed, this, [this] { zoom(false); });
    connect(plot, &PlotWidget::arrowKey, this, &TileController::pan);
  }
  if (views_.imgPanel) {
    connect(views_.imgPanel, &ImgDataPanel::keepChangesPressed, this, &TileController::keepChanges);
    connect(views_.imgPanel, &ImgDataPanel::closePressed, this, &TileController::closeImgPanel);
    connect(views_.imgPanel, &ImgDataPanel::boxEdited, this, &TileController::byteEdited);
  }
  if (window) {
    // Arrow keys reach the plot from anywhere in the window but a text box.
    qApp->installEventFilter(this);
    auto* maximise = new QShortcut(QKeySequence(QStringLiteral("Ctrl+W")), window);
    connect(maximise, &QShortcut::activated, window, &QWidget::showMaximized);
    keyboard_ = new TileKeyboard(*this, form_, prompter_, views_, window);
  }
}

TileController::~TileController() {
  if (qApp) qApp->removeEventFilter(this);
}

void TileController::showTiles() {
  if (views_.list) {
    if (auto* model = qobject_cast<DetailMapListModel*>(views_.list->model())) model->reload();
  }
  if (views_.plot) views_.plot->setTiles();
  if (views_.imgPanel) views_.imgPanel->showForm(form_);
}

void TileController::showSelection() {
  const int row = form_.tileState.listIndex;
  if (views_.list && views_.list->model()) {
    syncing_ = true;
    const QModelIndex index = views_.list->model()->index(row, 0);
    if (row >= 0 && index.isValid()) {
      views_.list->setCurrentIndex(index);
      views_.list->scrollTo(index);
    } else {
      views_.list->clearSelection();
    }
    syncing_ = false;
  }
  if (views_.plot) views_.plot->refreshSelection();
  // Until a tile is clicked there is no panel text, and the box keeps what
  // it shows (after a load: the block report).
  if (views_.showPanelText && !form_.tileState.panelText.empty()) {
    QString text = QString::fromStdString(form_.tileState.panelText);
    views_.showPanelText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  }
}

void TileController::listClicked(int row, bool focusPlot) {
  listClick(file_, form_, row);
  showSelection();
  // Arrow keys pan the plot after a list click.
  if (focusPlot && views_.plot) views_.plot->setFocus(Qt::OtherFocusReason);
}

void TileController::labelClicked(int label) {
  if (QWidget* focus = QApplication::focusWidget(); focus && focus != views_.plot) focus->clearFocus();
  labelLeftClick(file_, form_, label);
  showSelection();
}

void TileController::labelRightClicked(int label) {
  if (!views_.imgPanel || !views_.plot) return;
  show_4c(form_, file_, label - 1);
  QWidget* parent = views_.imgPanel->parentWidget();
  const QRect labelRect = views_.plot->labelRect(label);
  QPoint at = views_.plot->mapTo(parent ? parent->window() : views_.plot->window(), labelRect.topLeft());
  if (parent) at = parent->mapFrom(parent->window(), at);
  views_.imgPanel->move(at.x() + kPanelOffsetPixels, at.y());
  views_.imgPanel->showForm(form_);
  views_.imgPanel->raise();
}

void TileController::editDescription() {
  if (!mayEditDescription(form_, prompter_)) return;
  const int tile = form_.tileState.listIndex;
  DescriptionDialog dialog(window_);
  dialog_ = &dialog;
  dialog.setTile(QString::fromStdString(tileImgName(file_, form_, tile)),
                 QString::fromStdString(descriptionDialogText(file_, form_)));
  dialog.adjustSize();
  if (views_.plot) {
    const QRect label = views_.plot->labelRect(tile + 1);
    const QPoint plotTopLeft = views_.plot->mapToGlobal(QPoint(0, 0));
    dialog.move(descriptionDialogLeft(plotTopLeft.x(), label.left(), dialog.width()), plotTopLeft.y() + label.top());
  }
  const bool accepted = dialog.exec() == QDialog::Accepted;
  dialog_ = nullptr;
  if (!accepted) return;
  if (velmor::editDescription(file_, form_, tile, dialog.text().toStdString(), prompter_) != DescriptionEdit::Changed) {
    return;
  }
  if (views_.list) {
    if (auto* model = qobject_cast<DetailMapListModel*>(views_.list->model())) model->rowChanged(tile);
  }
  if (views_.plot) views_.plot->replot();
  if (views_.imgPanel) views_.imgPanel->showForm(form_);
  showSelection();
  if (views_.changed) views_.changed();
}

void TileController::runSearch() {
  const QString term = views_.searchBox ? views_.searchBox->text() : QString();
  if (search(file_, form_, term.toStdString(), prompter_) >= 0) showSelection();
}

void TileController::zoom(bool in) {
  if (!views_.plot) return;
  const int width = views_.plot->plotArea().width;
  if (in) {
    zoomIn(form_, width);
  } else {
    zoomOut(form_, width);
  }
  views_.plot->replot();
  showSelection();
}

void TileController::pan(int qtKey) {
  PanKey key = PanKey::Left;
  switch (qtKey) {
    case Qt::Key_Left: key = PanKey::Left; break;
    case Qt::Key_Right: key = PanKey::Right; break;
    case Qt::Key_Up: key = PanKey::Up; break;
    case Qt::Key_Down: key = PanKey::Down; break;
    default: return;
  }
  if (!panKey(form_, key, textBoxHasFocus())) return;
  if (views_.plot) {
    views_.plot->replot();
    // The arrow keys go on panning: the plot plays the invisible text box.
    views_.plot->setFocus(Qt::OtherFocusReason);
  }
  showSelection();
}

void TileController::keepChanges() {
  const int tile = form_.tileState.rawBlockTile;
  if (velmor::keepChanges(file_, form_, prompter_)) {
    // The tile was decoded again from its new bytes: list, labels and panel follow.
    if (views_.list) {
      if (auto* model = qobject_cast<DetailMapListModel*>(views_.list->model())) model->rowChanged(tile);
    }
    if (views_.plot) views_.plot->setTiles();
    showSelection();
  }
  if (views_.imgPanel) views_.imgPanel->showForm(form_);
  if (views_.changed) views_.changed();
}

void TileController::closeImgPanel() {
  closeRawBlockPanel(file_, form_, prompter_);
  if (views_.imgPanel) views_.imgPanel->showForm(form_);
  if (views_.changed) views_.changed();
}

void TileController::byteEdited(int box, const QString& text) {
  if (box < 0) return;
  rawByteEdited(file_, form_, static_cast<std::size_t>(box), text.toStdString());
  if (views_.imgPanel) views_.imgPanel->showForm(form_);
  if (views_.changed) views_.changed();
}

bool TileController::textBoxHasFocus() const {
  QWidget* focus = QApplication::focusWidget();
  if (!focus) return false;
  if (auto* line = qobject_cast<QLineEdit*>(focus)) return !line->isReadOnly();
  if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) return !text->isReadOnly();
  if (auto* rich = qobject_cast<QTextEdit*>(focus)) return !rich->isReadOnly();
  if (qobject_cast<QAbstractSpinBox*>(focus)) return true;
  if (auto* combo = qobject_cast<QComboBox*>(focus)) return combo->isEditable();
  // The byte boxes are text boxes too: there the arrow keys move between boxes.
  if (qobject_cast<ByteGridView*>(focus)) return true;
  return false;
}

bool TileController::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == views_.searchBox) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      runSearch();
      return true;
    }
    form_.tileState.searchStart = 0;
    return false;
  }
  // Only key presses meant for a widget of this window, and only arrows.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!window_ || !widget || widget->window() != window_ || !isArrow(key->key())) return false;
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  if (textBoxHasFocus()) return false;
  if (QApplication::activeModalWidget()) return false;
  pan(key->key());
  return true;
}

}  // namespace velmor
