#pragma once
// The two widgets the main window hands to the tile views: the detail-map
// list down the left and the map plot in the middle. Everything the window
// knows of them goes through this class, so that the plot and the list can
// be replaced without touching the rest of the window.
#include <QListView>
#include <QPushButton>
#include <QLineEdit>
#include <QWidget>

#include "core/product/product_form.hpp"
#include "core/product/product_file.hpp"
#include "plot/plot_widget.hpp"

namespace velmor {

class DetailMapListModel;

class MapArea : public QObject {
  Q_OBJECT
 public:
  MapArea(const ProductForm& form, const ProductFile& file, QWidget* parent);

  // Down the left: hint, search box, list and search button.
  QWidget* listPanel() const { return listPanel_; }
  // In the middle: the map plot.
  PlotWidget* plot() const { return plot_; }
  QPushButton* searchButton() const { return searchButton_; }
  QListView* list() const { return list_; }
  QLineEdit* searchBox() const { return searchBox_; }

  // The form's tiles were replaced (a file was loaded).
  void showTiles();
  // Redraws the plot; called by the debounced re-plot.
  void replot();
  int replotCount() const;

 signals:
  void tileSelected(int index);

 private:
  const ProductForm& form_;
  QWidget* listPanel_ = nullptr;
  QListView* list_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QPushButton* searchButton_ = nullptr;
  DetailMapListModel* model_ = nullptr;
  PlotWidget* plot_ = nullptr;
};

}  // namespace velmor
