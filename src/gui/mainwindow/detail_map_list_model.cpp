#include "detail_map_list_model.hpp"

namespace velmor {

DetailMapListModel::DetailMapListModel(const ProductForm& form, QObject* parent)
    : QAbstractListModel(parent), form_(form) {}

int DetailMapListModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return static_cast<int>(form_.detailMaps.size());
}

QVariant DetailMapListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) return {};
  const DetailMapView& tile = form_.detailMaps[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(tile.listText);
    case Qt::ToolTipRole:
      return QString::fromStdString(tile.listText + "\n" + tile.imgName);
    default:
      return {};
  }
}

void DetailMapListModel::reload() {
  beginResetModel();
  endResetModel();
}

void DetailMapListModel::rowChanged(int row) {
  if (row < 0 || row >= rowCount()) return;
  const QModelIndex at = index(row);
  emit dataChanged(at, at, {Qt::DisplayRole, Qt::ToolTipRole});
}

}  // namespace velmor
