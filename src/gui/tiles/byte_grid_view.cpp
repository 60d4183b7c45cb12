#include "byte_grid_view.hpp"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "core/editor/plot_geometry.hpp"
#include "core/editor/raw_block_panel.hpp"
#include "plot/plot_widget.hpp"

namespace velmor {

ByteGridModel::ByteGridModel(const ProductForm& form, QObject* parent) : QAbstractTableModel(parent), form_(form) {}

int ByteGridModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>((form_.rawBlockBoxes.size() + kBytesPerRow - 1) / kBytesPerRow);
}

int ByteGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kBytesPerRow; }

int ByteGridModel::boxAt(const QModelIndex& index) const {
  if (!index.isValid()) return -1;
  const int box = index.row() * kBytesPerRow + index.column();
  return static_cast<std::size_t>(box) < form_.rawBlockBoxes.size() ? box : -1;
}

QModelIndex ByteGridModel::cellOf(int box) const {
  if (box < 0 || static_cast<std::size_t>(box) >= form_.rawBlockBoxes.size()) return {};
  return index(box / kBytesPerRow, box % kBytesPerRow);
}

QVariant ByteGridModel::data(const QModelIndex& index, int role) const {
  const int box = boxAt(index);
  if (box < 0) return {};
  const auto k = static_cast<std::size_t>(box);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return QString::fromStdString(form_.rawBlockBoxes[k]);
    case Qt::ForegroundRole:
      if (k < form_.rawBlockColours.size() && form_.rawBlockColours[k] != kDefaultColour) {
        return colourFromBgr(classicColour(form_.rawBlockColours[k]));
      }
      return {};
    case Qt::TextAlignmentRole: return int(Qt::AlignCenter);
    default: return {};
  }
}

bool ByteGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  const int box = boxAt(index);
  if (box < 0 || role != Qt::EditRole) return false;
  emit boxEdited(box, value.toString());
  emit dataChanged(index, index, {Qt::DisplayRole});
  return true;
}

Qt::ItemFlags ByteGridModel::flags(const QModelIndex& index) const {
  if (boxAt(index) < 0) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant ByteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  // Row headers give the position of the row's first byte in the block.
  if (orientation == Qt::Vertical) return QString::number(section * kBytesPerRow + 1);
  return QString::number(section + 1);
}

void ByteGridModel::reload() {
  beginResetModel();
  endResetModel();
}

void ByteGridModel::boxChanged(int box) {
  const QModelIndex at = cellOf(box);
  if (at.isValid()) emit dataChanged(at, at);
}

QWidget* ByteBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(2);
  edit->setAlignment(Qt::AlignCenter);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{0,2}")), edit));
  // Every typed key reaches the form at once (it marks the file modified and
  // offers "keep changes"), not only when the edit ends.
  connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
    auto* self = const_cast<ByteBoxDelegate*>(this);
    emit self->commitData(edit);
    if (text.size() >= 2) emit self->closeEditor(edit, QAbstractItemDelegate::EditNextItem);
  });
  return edit;
}

void ByteBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  auto* edit = qobject_cast<QLineEdit*>(editor);
  if (!edit) return;
  // The model repeats each typed key back to the open editor; leave the
  // editor alone then, or the next key would replace what was just typed.
  const QString value = index.data(Qt::EditRole).toString();
  if (edit->text() == value) return;
  edit->setText(value);
  edit->selectAll();
}

ByteGridView::ByteGridView(const ProductForm& form, QWidget* parent) : QTableView(parent) {
  setObjectName("byteGrid");
  model_ = new ByteGridModel(form, this);
  setModel(model_);
  setItemDelegate(new ByteBoxDelegate(this));
  // Typing is handled by keyPressEvent; an edit box opens on a double click or F2.
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setSelectionMode(QAbstractItemView::SingleSelection);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setDefaultSectionSize(28);
  horizontalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(22);
  connect(model_, &ByteGridModel::boxEdited, this, &ByteGridView::boxEdited);
}

void ByteGridView::showForm() {
  typingBox_ = -1;
  model_->reload();
}

void ByteGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  if (model_->boxAt(current) != typingBox_) typingBox_ = -1;
}

void ByteGridView::keyPressEvent(QKeyEvent* event) {
  const int box = model_->boxAt(currentIndex());
  const QString typed = event->text();
  const bool digit = typed.size() == 1 && QStringLiteral("0123456789abcdefABCDEF").contains(typed[0]);
  if (box < 0 || state() == QAbstractItemView::EditingState || (!digit && event->key() != Qt::Key_Backspace)) {
    QTableView::keyPressEvent(event);
    return;
  }
  QString text =
      box == typingBox_ ? model_->index(currentIndex().row(), currentIndex().column()).data().toString() : QString();
  if (digit) {
    text += typed.toUpper();
  } else {
    text.chop(1);
  }
  typingBox_ = box;
  model_->setData(currentIndex(), text, Qt::EditRole);
  event->accept();
  const QModelIndex next = model_->cellOf(box + 1);
  if (text.size() >= 2 && next.isValid()) setCurrentIndex(next);
}

}  // namespace velmor
