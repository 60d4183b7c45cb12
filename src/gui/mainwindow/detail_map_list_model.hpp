#pragma once
// The detail-map list as a view over the form's tiles. A product can hold
// hundreds of thousands of tiles, so the list never copies them into items:
// it reads form.detailMaps[row].listText when a row is painted. The row
// count changes only on reload(), so a view never sees rows come and go
// behind its back while a file is being read.
#include <QAbstractListModel>

#include "core/product/product_form.hpp"

namespace velmor {

class DetailMapListModel : public QAbstractListModel {
  Q_OBJECT
 public:
  explicit DetailMapListModel(const ProductForm& form, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Call after the form's tile list was replaced (a load) or a text changed.
  void reload();
  void rowChanged(int row);

 private:
  const ProductForm& form_;
  int shownRows_ = 0;
};

}  // namespace velmor
