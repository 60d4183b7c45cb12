#include "detail_map_list_model.hpp"

#include "core/product/tile_texts.hpp"

namespace velmor {

DetailMapListModel::DetailMapListModel(const ProductForm& form, const ProductFile& file, QObject* parent)
    : QAbstractListModel(parent), form_(form), file_(file) {}

int DetailMapListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return shownRows_;
}

QVariant DetailMapListModel::data(const QModelIndex& index, int role) const {
  // A load that lets the window paint between blocks may have shortened
  // the tiles since the last reload: such rows show nothing until it ends.
  if (!index.isValid() || index.row() < 0 || index.row() >= rowCount() ||
      static_cast<std::size_t>(index.row()) >= form_.detailMaps.size())
    return {};
  switch (role) {
    case Qt::DisplayRole: return QString::fromStdString(tileListText(file_, form_, index.row()));
    case Qt::ToolTipRole:
      return QString::fromStdString(tileListText(file_, form_, index.row()) + "\n" +
                                    tileImgName(file_, form_, index.row()));
    default: return {};
  }
}

void DetailMapListModel::reload() {
  beginResetModel();
  shownRows_ = static_cast<int>(form_.detailMaps.size());
  endResetModel();
}

void DetailMapListModel::rowChanged(int row) {
  if (row < 0 || row >= rowCount() || static_cast<std::size_t>(row) >= form_.detailMaps.size()) return;
  const QModelIndex at = index(row);
  emit dataChanged(at, at, {Qt::DisplayRole, Qt::ToolTipRole});
}

}  // namespace velmor
