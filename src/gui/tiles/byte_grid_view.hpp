#pragma once
// The byte boxes of the " img data" panel as one table of 16 columns over
// the form's box texts. A block holds up to 65538 bytes; a table paints only
// the rows in view, where one edit box per byte would take seconds to build.
#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include "core/product/product_form.hpp"

namespace velmor {

class ByteGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ByteGridModel(const ProductForm& form, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Box number (0-based) of a cell, -1 past the last byte.
  int boxAt(const QModelIndex& index) const;
  QModelIndex cellOf(int box) const;
  // The form's boxes were refilled or changed.
  void reload();
  void boxChanged(int box);

 signals:
  // The user typed a box's text; the form is changed by whoever listens.
  void boxEdited(int box, const QString& text);

 private:
  const ProductForm& form_;
};

class ByteGridView : public QTableView {
  Q_OBJECT
 public:
  explicit ByteGridView(const ProductForm& form, QWidget* parent = nullptr);
  ByteGridModel* gridModel() const { return model_; }
  void showForm();

 signals:
  void boxEdited(int box, const QString& text);

 protected:
  // Hexadecimal digits typed on a box replace its byte: the first digit
  // starts the box afresh, the second completes it and moves to the next box.
  void keyPressEvent(QKeyEvent* event) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

 private:
  ByteGridModel* model_ = nullptr;
  int typingBox_ = -1;  // the box a run of typed digits is filling
};

// Edits one box: two hexadecimal digits at most; a full box moves the edit on
// to the next box, so bytes can be typed in one go.
class ByteBoxDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The box's text comes up selected, so a typed digit replaces the byte.
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
};

}  // namespace velmor
