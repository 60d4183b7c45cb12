#include "map_area.hpp"

#include <QLabel>
#include <QVBoxLayout>

#include "tiles/detail_map_list_model.hpp"
#include "plot/plot_widget.hpp"

namespace velmor {

MapArea::MapArea(const ProductForm& form, const ProductFile& file, QWidget* parent) : QObject(parent), form_(form) {
  listPanel_ = new QWidget(parent);
  listPanel_->setObjectName("detailMapPanel");
  auto* column = new QVBoxLayout(listPanel_);
  column->setContentsMargins(0, 0, 0, 0);
  auto* hint = new QLabel(QStringLiteral("Double Click to Edit"), listPanel_);
  column->addWidget(hint);

  searchBox_ = new QLineEdit(listPanel_);
  searchBox_->setObjectName("searchBox");
  // Named after the button it works with.
  searchBox_->setAccessibleName(QStringLiteral("Search text"));
  // The search box stands out in pale green, as map makers know it.
  searchBox_->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(214, 252, 148); }"));
  column->addWidget(searchBox_);

  list_ = new QListView(listPanel_);
  list_->setObjectName("detailMapList");
  hint->setBuddy(list_);
  list_->setAccessibleName(QStringLiteral("Detail maps"));
  list_->setAccessibleDescription(hint->text());
  list_->setUniformItemSizes(true);  // keeps scrolling through 350,000 rows cheap
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  model_ = new DetailMapListModel(form_, file, list_);
  list_->setModel(model_);
  column->addWidget(list_, 1);

  searchButton_ = new QPushButton(QStringLiteral("Search Map TXT"), listPanel_);
  searchButton_->setObjectName("searchButton");
  column->addWidget(searchButton_);
  listPanel_->setMinimumWidth(180);

  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (current.isValid()) emit tileSelected(current.row());
  });

  plot_ = new PlotWidget(form_, file, parent);
}

void MapArea::showTiles() {
  model_->reload();
  plot_->setTiles();
}

void MapArea::replot() { plot_->replot(); }

int MapArea::replotCount() const { return plot_->replotCount(); }

}  // namespace velmor
