#include "create_files_dialog.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/common/prompter.hpp"
#include "create_gmap_command.hpp"
#include "context/editor_state.hpp"
#include "services/progress_activity.hpp"

namespace velmor {

namespace {

constexpr const char* kCreateNotYet = "Writing the registry file is not available yet.";

QLabel* labelFor(QWidget* control, const QString& caption, QWidget* parent) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(control);
  control->setAccessibleName(caption);
  return label;
}

QPushButton* button(const QString& caption, const QString& objectName, QWidget* parent) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(objectName);
  b->setAccessibleName(caption);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

std::string folderPart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

CreateFilesDialog::CreateFilesDialog(EditorState& state, Prompter& prompter, QWidget* parent)
    : QDialog(parent), state_(state), prompter_(prompter) {
  setObjectName("createFilesDialog");
  setWindowTitle(QStringLiteral("Create TDB Files"));
  setModal(true);
  buildLayout();
  activity_ = std::make_unique<ProgressActivity>(progress_);
  fillVolumes();

  state_.settings.lastMapFolder = folderPart(state_.file.path);
  setFolder(QString::fromStdString(state_.settings.lastMapFolder));
  fid_->setText(QString::fromStdString(state_.form.fidText));
  pid_->setText(QString::fromStdString(state_.form.pidText));
  if (!state_.form.seriesNameText.empty()) name_->setText(QString::fromStdString(state_.form.seriesNameText));
  resize(860, 620);
}

CreateFilesDialog::~CreateFilesDialog() = default;

void CreateFilesDialog::buildLayout() {
  auto* column = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  volumes_ = new QComboBox(this);
  volumes_->setObjectName("volumeList");
  top->addWidget(labelFor(volumes_, QStringLiteral("Drive"), this));
  top->addWidget(volumes_, 1);
  column->addLayout(top);
  // The lists show bare names; this says where they are.
  listedFolder_ = new QLabel(this);
  listedFolder_->setObjectName("listedFolder");
  listedFolder_->setAccessibleName(QStringLiteral("Listed folder"));
  listedFolder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  listedFolder_->setTextFormat(Qt::PlainText);
  column->addWidget(listedFolder_);

  auto* middle = new QHBoxLayout;
  auto* treeColumn = new QVBoxLayout;
  folders_ = new QFileSystemModel(this);
  folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders_->setRootPath(QDir::rootPath());
  tree_ = new QTreeView(this);
  tree_->setObjectName("folderTree");
  tree_->setModel(folders_);
  for (int c = 1; c < folders_->columnCount(); ++c) tree_->hideColumn(c);
  tree_->header()->hide();
  treeColumn->addWidget(labelFor(tree_, QStringLiteral("Folder"), this));
  treeColumn->addWidget(tree_, 1);
  middle->addLayout(treeColumn, 2);

  auto* lists = new QGridLayout;
  for (int i = 0; i < static_cast<int>(kFileKindCount); ++i) {
    const FileKind& kind = kFileKinds[i];
    auto* list = new QListWidget(this);
    list->setObjectName(QStringLiteral("fileList%1").arg(i));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setAccessibleDescription(QString::fromUtf8(kind.listName) + " in the folder");
    auto* add = button(QStringLiteral("Add Selected"), QStringLiteral("addSelected%1").arg(i), this);
    add->setAccessibleDescription(QStringLiteral("Adds the selected %1 to the chosen files").arg(kind.listName));
    auto* cell = new QVBoxLayout;
    cell->addWidget(labelFor(list, QString::fromUtf8(kind.pattern), this));
    cell->addWidget(list, 1);
    cell->addWidget(add);
    lists->addLayout(cell, i / 2, i % 2);
    fileLists_[static_cast<std::size_t>(i)] = list;
    addButtons_[static_cast<std::size_t>(i)] = add;
    connect(add, &QPushButton::clicked, this, [this, i] { addSelected(i); });
  }
  middle->addLayout(lists, 3);

  auto* chosenColumn = new QVBoxLayout;
  chosen_ = new QListWidget(this);
  chosen_->setObjectName("chosenFiles");
  chosen_->setSelectionMode(QAbstractItemView::SingleSelection);
  chosenColumn->addWidget(labelFor(chosen_, QStringLiteral("Chosen Files"), this));
  chosenColumn->addWidget(chosen_, 1);
  remove_ = button(QStringLiteral("Remove"), QStringLiteral("removeChosen"), this);
  chosenColumn->addWidget(remove_);
  middle->addLayout(chosenColumn, 2);
  column->addLayout(middle, 1);

  auto* boxes = new QHBoxLayout;
  name_ = new QLineEdit(QStringLiteral("mymap"), this);
  name_->setObjectName("mapsourceName");
  fid_ = new QLineEdit(this);
  fid_->setObjectName("fidBox");
  pid_ = new QLineEdit(this);
  pid_->setObjectName("pidBox");
  boxes->addWidget(labelFor(name_, QStringLiteral("Mapsource Name"), this));
  boxes->addWidget(name_, 2);
  boxes->addWidget(labelFor(fid_, QStringLiteral("FID"), this));
  boxes->addWidget(fid_, 1);
  boxes->addWidget(labelFor(pid_, QStringLiteral("PID"), this));
  boxes->addWidget(pid_, 1);
  column->addLayout(boxes);

  auto* scanRow = new QHBoxLayout;
  auto* boundsColumn = new QVBoxLayout;
  boundsButtons_[0] = button(QStringLiteral("Set Overview Bounds"), QStringLiteral("setOverviewBounds"), this);
  boundsButtons_[1] = button(QStringLiteral("Bounds from Tiles"), QStringLiteral("boundsFromTiles"), this);
  for (QPushButton* b : boundsButtons_) {
    b->setToolTip(
        QStringLiteral("Scans the chosen files and puts the box around their tiles into the overview bounds"));
    boundsColumn->addWidget(b);
    connect(b, &QPushButton::clicked, this, &CreateFilesDialog::computeBounds);
  }
  boundsColumn->addStretch(1);
  scanRow->addLayout(boundsColumn);
  scanView_ = new QPlainTextEdit(this);
  scanView_->setObjectName("lastScan");
  scanView_->setReadOnly(true);
  scanView_->setMaximumHeight(110);
  auto* scanColumn = new QVBoxLayout;
  scanColumn->addWidget(labelFor(scanView_, QStringLiteral("Last scan"), this));
  scanColumn->addWidget(scanView_);
  scanRow->addLayout(scanColumn, 1);
  column->addLayout(scanRow);

  progress_ = new QProgressBar(this);
  progress_->setObjectName("scanProgress");
  progress_->setAccessibleName(QStringLiteral("Scan progress"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(12);
  column->addWidget(progress_);

  auto* bottom = new QHBoxLayout;
  create_ = button(QStringLiteral("Create"), QStringLiteral("createMapsourceFiles"), this);
  create_->setEnabled(false);
  create_->setToolTip(QString::fromUtf8(kCreateNotYet));
  close_ = button(QStringLiteral("Close"), QStringLiteral("closeDialog"), this);
  gmap_ = button(QStringLiteral("Create gmap"), QStringLiteral("createGmap"), this);
  gmap_->setToolTip(QStringLiteral("Writes the map bundle (.gmap folder) BaseCamp reads, from the chosen files"));
  bottom->addStretch(1);
  bottom->addWidget(create_);
  bottom->addWidget(gmap_);
  bottom->addWidget(close_);
  column->addLayout(bottom);

  connect(volumes_, &QComboBox::currentIndexChanged, this, &CreateFilesDialog::volumeChosen);
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!settingFolder_ && current.isValid()) setFolder(folders_->filePath(current));
  });
  connect(remove_, &QPushButton::clicked, this, &CreateFilesDialog::removeSelected);
  connect(close_, &QPushButton::clicked, this, &CreateFilesDialog::closeDialog);
  connect(create_, &QPushButton::clicked, this, [this] {
    if (createHandler_ && !scanning_) createHandler_(request());
  });
  connect(gmap_, &QPushButton::clicked, this, [this] {
    if (scanning_) return;
    GmapChoices choices = fileDialogChoices(this);
    choices.mapsFolder = mapsFolder_;
    createGmapFromChosen(chosenFiles(), prompter_, choices);
  });
}

void CreateFilesDialog::fillVolumes() {
  // On Linux the mounted volumes and the home folder stand in for drives.
  QStringList roots{QDir::homePath()};
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) continue;
    if (!roots.contains(volume.rootPath())) roots << volume.rootPath();
  }
  settingFolder_ = true;
  for (const QString& root : roots) volumes_->addItem(QDir::toNativeSeparators(root), root);
  settingFolder_ = false;
}

void CreateFilesDialog::volumeChosen(int index) {
  if (settingFolder_ || index < 0) return;
  setFolder(volumes_->itemData(index).toString());
}

void CreateFilesDialog::setFolder(const QString& folder) {
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return;
  const QString path = QDir(folder).absolutePath();
  folder_ = path;
  // The drive: the volume with the longest root that holds the folder.
  int drive = -1;
  qsizetype longest = -1;
  for (int i = 0; i < volumes_->count(); ++i) {
    QString root = volumes_->itemData(i).toString();
    const QString prefix = root.endsWith('/') ? root : root + '/';
    if ((path == root || path.startsWith(prefix)) && root.size() > longest) {
      drive = i;
      longest = root.size();
    }
  }
  settingFolder_ = true;
  if (drive >= 0) {
    volumes_->setCurrentIndex(drive);
    tree_->setRootIndex(folders_->index(volumes_->itemData(drive).toString()));
  }
  const QModelIndex shown = folders_->index(path);
  tree_->setCurrentIndex(shown);
  tree_->scrollTo(shown);
  settingFolder_ = false;

  listedFolder_->setText(QStringLiteral("Files in: ") + QDir::toNativeSeparators(path));
  const QDir dir(path);
  for (std::size_t i = 0; i < kFileKindCount; ++i) {
    QListWidget* list = fileLists_[i];
    list->clear();
    // Patterns match in any letter case, as they do on Windows: GMAPSUPP.IMG is an IMG file.
    list->addItems(dir.entryList({QString::fromUtf8(kFileKinds[i].pattern)}, QDir::Files, QDir::Name));
  }
}

void CreateFilesDialog::addSelected(int list) {
  QListWidget* files = fileLists_[static_cast<std::size_t>(list)];
  if (files->count() == 0) {
    prompter_.message("Please select.");
    return;
  }
  const QDir dir(folder_);
  for (int row = 0; row < files->count(); ++row) {
    QListWidgetItem* item = files->item(row);
    if (!item->isSelected()) continue;
    // The bare name is shown; the full path is kept, so browsing elsewhere
    // never swaps a chosen file for another of the same name.
    auto* chosen = new QListWidgetItem(item->text(), chosen_);
    const QString path = dir.filePath(item->text());
    chosen->setData(Qt::UserRole, path);
    chosen->setToolTip(QDir::toNativeSeparators(path));
  }
}

void CreateFilesDialog::removeSelected() {
  const QList<QListWidgetItem*> selected = chosen_->selectedItems();
  if (selected.isEmpty()) return;
  delete selected.front();
}

std::vector<std::string> CreateFilesDialog::chosenFiles() const {
  std::vector<std::string> paths;
  for (int row = 0; row < chosen_->count(); ++row) {
    paths.push_back(chosen_->item(row)->data(Qt::UserRole).toString().toStdString());
  }
  return paths;
}

CreateFilesRequest CreateFilesDialog::request() const {
  return {chosenFiles(), name_->text().toStdString(), fid_->text().toStdString(), pid_->text().toStdString(),
          folder_.toStdString()};
}

void CreateFilesDialog::setCreateHandler(CreateFilesHandler handler) {
  createHandler_ = std::move(handler);
  create_->setEnabled(static_cast<bool>(createHandler_));
  create_->setToolTip(createHandler_ ? QString() : QString::fromUtf8(kCreateNotYet));
}

void CreateFilesDialog::computeBounds() {
  if (scanning_) return;
  scanning_ = true;
  setControlsEnabled(false);
  const CreateTdbResult result = create_tdb(state_.file, state_.form, chosenFiles(), prompter_, *activity_);
  progress_->setValue(0);
  setControlsEnabled(true);
  scanning_ = false;
  showScan(result);
  if (result.boundsFound) emit boundsSet();
}

void CreateFilesDialog::showScan(const CreateTdbResult& result) {
  const ImgScanResult& scan = result.lastScan;
  QStringList lines;
  if (!result.lastPath.empty()) {
    lines << QStringLiteral("Last file: %1").arg(QFileInfo(QString::fromStdString(result.lastPath)).fileName());
    lines << QStringLiteral("Kinds: %1").arg(QString::fromStdString(scan.subfileKinds));
    lines << QStringLiteral("Sizes: %1 (%2)")
                 .arg(QString::fromStdString(scan.subfileSizes), scan.sizesFromDirectory
                                                                     ? QStringLiteral("from the container's directory")
                                                                     : QStringLiteral("from the subfile headers"));
    lines << QStringLiteral("Tiles: %1 in this file, %2 in all chosen files").arg(scan.tiles.size()).arg(result.tiles);
  }
  if (result.boundsFound) {
    const ProductForm& f = state_.form;
    lines << QStringLiteral("Overview: N %1  E %2  S %3  W %4")
                 .arg(QString::fromStdString(f.overviewNorth), QString::fromStdString(f.overviewEast),
                      QString::fromStdString(f.overviewSouth), QString::fromStdString(f.overviewWest));
  }
  scanView_->setPlainText(lines.join('\n'));
}

void CreateFilesDialog::setControlsEnabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{volumes_, tree_, chosen_, remove_, close_, gmap_, boundsButtons_[0],
                                                    boundsButtons_[1]}) {
    w->setEnabled(enabled);
  }
  for (QPushButton* b : addButtons_) b->setEnabled(enabled);
  create_->setEnabled(enabled && createHandler_);
}

void CreateFilesDialog::closeDialog() {
  // A scan lets window events run; a close in the middle of it waits.
  if (scanning_) return;
  state_.settings.lastMapFolder = folder_.toStdString();
  QDialog::accept();
}

void CreateFilesDialog::reject() {
  if (scanning_) return;
  state_.settings.lastMapFolder = folder_.toStdString();
  QDialog::reject();
}

void CreateFilesDialog::closeEvent(QCloseEvent* event) {
  if (scanning_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

}  // namespace velmor
