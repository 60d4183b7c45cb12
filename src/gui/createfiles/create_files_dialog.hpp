#pragma once
// "Create TDB Files": the files of one map product gathered from a folder
// (IMG tiles, product file, MDX and MDR index), the overview bounds of the
// open product computed from the chosen tiles, and the hook of the "Create"
// button that writes the product's registry file.
#include <QDialog>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/img/overview_bounds.hpp"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace velmor {

struct EditorState;
class Prompter;
class ProgressActivity;

// What "Create" hands on: the chosen files with their full paths, in the
// order chosen, the three boxes and the folder shown.
struct CreateFilesRequest {
  std::vector<std::string> chosenFiles;
  std::string mapsourceName;
  std::string fidText;
  std::string pidText;
  std::string folder;
};
using CreateFilesHandler = std::function<void(const CreateFilesRequest&)>;

class CreateFilesDialog : public QDialog {
  Q_OBJECT
 public:
  // Opening: lastMapFolder becomes the open product's folder and the tree
  // shows it; the boxes take the main window's Mapsource Name, FID and PID.
  CreateFilesDialog(EditorState& state, Prompter& prompter, QWidget* parent = nullptr);
  ~CreateFilesDialog() override;

  // Enables "Create"; until a handler is set it stays greyed with a tip.
  void setCreateHandler(CreateFilesHandler handler);
  // Where "Create gmap" may install the bundle as well (BaseCamp's maps
  // folder); without it nothing is offered.
  void setMapsFolder(std::function<std::optional<std::string>()> mapsFolder) { mapsFolder_ = std::move(mapsFolder); }

  // Points the drive list, the tree and the four file lists at `folder`.
  // A folder that does not exist is ignored.
  void setFolder(const QString& folder);
  QString folder() const { return folder_; }
  // The chosen files as full paths, in the order chosen.
  std::vector<std::string> chosenFiles() const;
  CreateFilesRequest request() const;

  // "Add Selected" of one file list, numbered as kFileKinds.
  void addSelected(int list);
  void removeSelected();
  // Either bounds button: create_tdb over the chosen files.
  void computeBounds();
  bool scanning() const { return scanning_; }

  QComboBox* volumeList() const { return volumes_; }
  QTreeView* folderTree() const { return tree_; }
  QListWidget* fileList(int list) const { return fileLists_[static_cast<std::size_t>(list)]; }
  QPushButton* addButton(int list) const { return addButtons_[static_cast<std::size_t>(list)]; }
  QListWidget* chosenList() const { return chosen_; }
  QPushButton* removeButton() const { return remove_; }
  QLineEdit* nameBox() const { return name_; }
  QLineEdit* fidBox() const { return fid_; }
  QLineEdit* pidBox() const { return pid_; }
  QPushButton* boundsButton(int which) const { return boundsButtons_[static_cast<std::size_t>(which)]; }
  QPushButton* createButton() const { return create_; }
  QPushButton* gmapButton() const { return gmap_; }
  QPushButton* closeButton() const { return close_; }
  QPlainTextEdit* scanView() const { return scanView_; }
  QLabel* listedFolder() const { return listedFolder_; }

  // The kinds of file the dialog lists, one list each, in this order: a
  // new kind is one more line here.
  struct FileKind {
    const char* pattern;   // the list's caption and what it shows
    const char* listName;  // how its descriptions name the files
  };
  static constexpr FileKind kFileKinds[] = {
      {"*.img", "IMG files"},
      {"*.tdb", "TDB files"},
      {"*.mdx", "MDX files"},
      {"*.mdr", "MDR files"},
  };
  static constexpr std::size_t kFileKindCount = std::size(kFileKinds);

 signals:
  // The overview boxes and the modified flag changed: the window shows them.
  void boundsSet();

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildLayout();
  void fillVolumes();
  void volumeChosen(int index);
  void showScan(const CreateTdbResult& result);
  void setControlsEnabled(bool enabled);
  void closeDialog();

  EditorState& state_;
  Prompter& prompter_;
  std::unique_ptr<ProgressActivity> activity_;
  CreateFilesHandler createHandler_;
  std::function<std::optional<std::string>()> mapsFolder_;
  QString folder_;
  bool scanning_ = false;
  bool settingFolder_ = false;

  QComboBox* volumes_ = nullptr;
  QFileSystemModel* folders_ = nullptr;
  QTreeView* tree_ = nullptr;
  std::array<QListWidget*, kFileKindCount> fileLists_{};
  std::array<QPushButton*, kFileKindCount> addButtons_{};
  QListWidget* chosen_ = nullptr;
  QPushButton* remove_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* fid_ = nullptr;
  QLineEdit* pid_ = nullptr;
  std::array<QPushButton*, 2> boundsButtons_{};
  QPushButton* create_ = nullptr;
  QPushButton* gmap_ = nullptr;
  QPushButton* close_ = nullptr;
  QPlainTextEdit* scanView_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* listedFolder_ = nullptr;
};

// The folder part of a path, up to and including its last separator ("" for
// a bare name or an empty path).
std::string folderPart(const std::string& path);

}  // namespace velmor
