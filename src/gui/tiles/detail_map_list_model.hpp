#pragma once
// The detail-map list as a view over the form's tiles. A product can hold
// millions of tiles, so the list never copies them into items: a row's
// text is made from the tile's block when the row is painted. The row
// count changes only on reload(), so a view never sees rows come and go
// behind its back while a file is being read.
#include <QAbstractListModel>

#include "core/product/product_file.hpp"
#include "core/product/product_form.hpp"

namespace velmor {

class DetailMapListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  DetailMapListModel(const ProductForm& form, const ProductFile& file, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Call after the form's tile list was replaced (a load) or a text changed.
  void reload();
  void rowChanged(int row);

 private:
  const ProductForm& form_;
  const ProductFile& file_;
  int shownRows_ = 0;
};

}  // namespace velmor
