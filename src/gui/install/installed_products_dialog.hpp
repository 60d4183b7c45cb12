#pragma once
// "TDBs in Mapsource/Basecamp": the products MapSource and BaseCamp know,
// with a search box; "Open" (or a double click) picks one for the main
// window to open.
#include <QDialog>
#include <optional>
#include <vector>

#include "core/install/installed_products.hpp"
#include "core/install/installed_search.hpp"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmor {

class Activity;
class InstallEnvironment;
class Prompter;

class InstalledProductsDialog : public QDialog {
  Q_OBJECT
 public:
  // Fills the list once, from the registry and the maps folder.
  InstalledProductsDialog(InstallEnvironment& environment, Prompter& prompter, Activity& activity,
                          QWidget* parent = nullptr);

  // The product the user opened; nullopt after "Close".
  const std::optional<InstalledProduct>& chosenProduct() const { return chosen_; }

  QListWidget* list() const { return list_; }
  // Only when nothing is listed; null otherwise.
  QLabel* emptyReason() const { return emptyReason_; }
  QLineEdit* searchBox() const { return searchBox_; }
  QPushButton* searchButton() const { return searchButton_; }
  QPushButton* openButton() const { return openButton_; }
  QPushButton* removeButton() const { return removeButton_; }
  QPushButton* closeButton() const { return closeButton_; }

  static constexpr const char* kTitle = "TDBs in Mapsource/Basecamp";
  static constexpr const char* kPleaseSelect = "Please select.";
  static constexpr const char* kNotInRegistry =
      "Only a product installed in the registry can be removed here. A map in BaseCamp's maps folder is removed by "
      "deleting its folder.";

 private:
  void search();
  void open();
  // "Remove": the registry file that deletes the chosen family's keys,
  // imported and read back; the list is then read again.
  void remove();
  void fill();

  InstallEnvironment& environment_;
  Activity& activity_;
  Prompter& prompter_;
  std::vector<InstalledProduct> products_;  // parallel to the list's lines
  std::vector<std::string> lines_;
  InstalledSearch searchState_;
  std::optional<InstalledProduct> chosen_;
  QListWidget* list_ = nullptr;
  QLabel* emptyReason_ = nullptr;
  QLineEdit* searchBox_ = nullptr;
  QPushButton* searchButton_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* removeButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

}  // namespace velmor
