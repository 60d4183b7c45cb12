#include "main_window.hpp"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/editor/file_log.hpp"
#include "core/editor/log_menu.hpp"
#include "core/editor/stream_tools.hpp"
#include "core/editor/window_title.hpp"
#include "core/install/install_environment.hpp"
#include "core/platform/process_launcher.hpp"
#include "core/platform/shell.hpp"
#include "core/settings/settings_file.hpp"
#include "dialogs/block_sample.hpp"
#include "dialogs/errors_dialog.hpp"
#include "extra_byte_boxes.hpp"
#include "file_commands.hpp"
#include "form_binding.hpp"
#include "header_row.hpp"
#include "tiles/img_data_panel.hpp"
#include "main_menus.hpp"
#include "map_area.hpp"
#include "more_options_panel.hpp"
#include "replot_debouncer.hpp"
#include "services/file_dialog_provider.hpp"
#include "services/message_box_prompter.hpp"
#include "services/progress_activity.hpp"
#include "plot/plot_widget.hpp"
#include "tiles/byte_grid_view.hpp"
#include "tiles/tile_controller.hpp"
#include "twips.hpp"

namespace velmor {

MainWindow::MainWindow(WindowServices services, QWidget* parent) : QMainWindow(parent) {
  setObjectName("mainWindow");
  if (services.prompter) {
    prompter_ = services.prompter;
  } else {
    ownPrompter_ = std::make_unique<MessageBoxPrompter>(this);
    prompter_ = ownPrompter_.get();
  }
  if (services.dialogs) {
    dialogs_ = services.dialogs;
  } else {
    ownDialogs_ = std::make_unique<QtFileDialogProvider>();
    dialogs_ = ownDialogs_.get();
  }
  if (services.shell) {
    shell_ = services.shell;
  } else {
    ownShell_ = desktopShell();
    shell_ = ownShell_.get();
  }
  install_ = services.install;
  processes_ = services.processes ? services.processes : &systemProcesses();
  errorsPresenter_ = services.showErrors;

  buildLayout();
  activity_ = std::make_unique<ProgressActivity>(progress_);
  menus_ = new MainMenus(menuBar());
  replot_ = new ReplotDebouncer(
      [this] {
        keepImgPanelInView();
        mapArea_->replot();
      },
      this);
  versionRevert_.setSingleShot(true);
  versionRevert_.setInterval(100);
  connect(&versionRevert_, &QTimer::timeout, this, [this] { header_->showForm(state_.form); });

  fileCommands_ = std::make_unique<FileCommands>(*this);
  binding_ = std::make_unique<FormBinding>(*this);
  TileViews views;
  views.list = mapArea_->list();
  views.searchBox = mapArea_->searchBox();
  views.searchButton = mapArea_->searchButton();
  views.plot = mapArea_->plot();
  views.imgPanel = imgData_;
  views.showPanelText = [this](const QString& text) { report_->setPlainText(text); };
  views.changed = [this] { rebuildTitle(); };
  tiles_ = new TileController(state_.file, state_.form, *prompter_, std::move(views), this);
  for (QPushButton* button :
       {moreOptions_->copyStreamButton(), moreOptions_->pasteStreamButton(), moreOptions_->recalculateButton()}) {
    button->setEnabled(true);
    button->setToolTip(QString());
  }
  connect(moreOptions_->copyStreamButton(), &QPushButton::clicked, this, [this] { copyStream(state_.form); });
  connect(moreOptions_->pasteStreamButton(), &QPushButton::clicked, this, [this] {
    if (pasteStream(state_.file, state_.form)) refreshFromForm();
  });
  connect(moreOptions_->recalculateButton(), &QPushButton::clicked, this, [this] {
    if (recalculate(state_.file, state_.form)) refreshFromForm();
  });
  connectLogs();
  installBlockSample(commandContext(), mapArea_->plot());
  orderTabs();
  connectCommands();
  rebuildTitle();
}

void MainWindow::orderTabs() {
  // Tab walks the window as it is read: the header row from the version box
  // on, the list on the left, the plot's buttons and the report, then the
  // panels. Hidden controls are skipped by Qt.
  QList<QWidget*> order = header_->tabOrder();
  order << mapArea_->searchBox() << mapArea_->list() << mapArea_->searchButton();
  order << mapArea_->plot()->zoomInButton() << mapArea_->plot()->zoomOutButton() << report_;
  order << moreOptions_->tabOrder();
  order << imgData_->keepChangesButton() << imgData_->closeButton() << imgData_->grid();
  for (qsizetype k = 1; k < order.size(); ++k) QWidget::setTabOrder(order[k - 1], order[k]);
}

MainWindow::~MainWindow() {
  // The tile views read the form and the file: take them down while the
  // state still exists, not after it as the widget tree would.
  delete tiles_;
  tiles_ = nullptr;
  delete takeCentralWidget();
}

void MainWindow::buildLayout() {
  auto* central = new QWidget(this);
  central->setObjectName("centralArea");
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(4);

  header_ = new HeaderRow(central);
  column->addWidget(header_);

  auto* body = new QHBoxLayout;
  mapArea_ = new MapArea(state_.form, state_.file, central);
  body->addWidget(mapArea_->listPanel());

  auto* middle = new QVBoxLayout;
  middle->addWidget(mapArea_->plot(), 3);
  report_ = new QPlainTextEdit(central);
  report_->setObjectName("reportBox");
  report_->setAccessibleName(QStringLiteral("Block report"));
  report_->setReadOnly(true);
  report_->setTabChangesFocus(true);
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  middle->addWidget(report_, 1);
  progress_ = new QProgressBar(central);
  progress_->setObjectName("progressBar");
  progress_->setAccessibleName(QStringLiteral("Progress"));
  progress_->setRange(0, 100);
  progress_->setValue(1);
  progress_->setTextVisible(false);
  progress_->setMaximumHeight(12);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(progress_, 1);
  createFiles_ = new QPushButton(QStringLiteral("Create TDB Files"), central);
  createFiles_->setObjectName("createTdbFilesButton");
  createFiles_->setAccessibleName(createFiles_->text());
  createFiles_->setToolTip(QStringLiteral("Overview bounds from IMG tiles, and the files that install the map"));
  bottom->addWidget(createFiles_);
  middle->addLayout(bottom);
  body->addLayout(middle, 1);

  moreOptions_ = new MoreOptionsPanel(central);
  moreOptions_->hide();
  body->addWidget(moreOptions_);
  column->addLayout(body, 1);
  setCentralWidget(central);

  // Floats over the window, outside every layout.
  imgData_ = new ImgDataPanel(state_.form, central);
  imgData_->move(260, 120);

  connect(header_, &HeaderRow::moreOptionsPressed, this, &MainWindow::openMoreOptions);
  connect(moreOptions_, &MoreOptionsPanel::closePressed, this, &MainWindow::closeMoreOptions);
  // A first window that fits small screens too; the settings never size it.
  QSize size(1200, 760);
  if (const QScreen* shown = screen()) size = size.boundedTo(shown->availableGeometry().size() * 0.95);
  resize(size);
}

void MainWindow::connectLogs() {
  connect(menus_->readLogs(), &QAction::triggered, this,
          [this] { readLogs(state_.folders.logFolder, *shell_, *prompter_); });
  connect(menus_->clearMainLog(), &QAction::triggered, this,
          [this] { clearMainLog(state_.folders.logFolder, *prompter_); });
}

Activity& MainWindow::activity() { return *activity_; }

InstallEnvironment& MainWindow::installEnvironment() {
  if (!install_) {
    ownInstall_ = systemInstallEnvironment();
    install_ = ownInstall_.get();
  }
  return *install_;
}

LogSink& MainWindow::log() {
  if (fileLog_) return *fileLog_;
  return silentLog_;
}

void MainWindow::rebuildTitle() {
  setWindowTitle(QString::fromStdString(velmor::windowTitle(state_.file.path, state_.file.modified)));
}

void MainWindow::refreshFromForm() {
  header_->showForm(state_.form);
  moreOptions_->showForm(state_.form);
  imgData_->showForm(state_.form);
  menus_->showRecent(state_.recent);
  rebuildTitle();
}

void MainWindow::showLoadedFile() {
  refreshFromForm();
  QString report = QString::fromStdString(state_.file.report);
  report.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  report_->setPlainText(report);
  applyBlockColours();
  mapArea_->showTiles();
}

void MainWindow::refreshp1() { replot_->refreshp1(); }

void MainWindow::startVersionRevert() { versionRevert_.start(); }

void MainWindow::keepImgPanelInView() {
  // The layout keeps the panel on the right and gives the plot the rest of
  // the width; the floating panel must stay wholly inside the window, shown
  // or not, since the settings keep where it is.
  imgData_->keepInside();
}

void MainWindow::openMoreOptions() {
  header_->moreOptionsButton()->hide();
  moreOptions_->show();
  refreshp1();
}

void MainWindow::closeMoreOptions() {
  moreOptions_->hide();
  refreshp1();
  header_->moreOptionsButton()->show();
}

void MainWindow::showErrors(const std::string& errorText) {
  if (errorsPresenter_) {
    errorsPresenter_(errorText);
    return;
  }
  ErrorsDialog dialog(QString::fromStdString(errorText), this);
  dialog.exec();
}

void MainWindow::applyBlockColours() {
  mapArea_->plot()->setHighlightColours(static_cast<std::uint32_t>(state_.settings.blockColour),
                                        static_cast<std::uint32_t>(state_.settings.blockBorderColour));
  if (auto* sample = mapArea_->plot()->findChild<QWidget*>(QStringLiteral("blockSample"))) sample->update();
}

bool MainWindow::writeSettings() {
  Settings& s = state_.settings;
  for (int k = 0; k < kRecentFileCount; ++k)
    s.recentFiles[static_cast<std::size_t>(k)] = state_.recent.captions[static_cast<std::size_t>(k)];
  s.moreOptionsShown = !moreOptions_->isHidden();
  s.overrideSettings = state_.form.overrideSettings;
  s.imgPanelLeft = static_cast<float>(twipsFromPixels(imgData_->x()));
  s.imgPanelTop = static_cast<float>(twipsFromPixels(imgData_->y()));
  s.windowWidth = static_cast<int>(twipsFromPixels(width()));
  s.windowHeight = static_cast<int>(twipsFromPixels(height()));
  s.windowTop = static_cast<float>(twipsFromPixels(y()));
  s.windowLeft = static_cast<float>(twipsFromPixels(x()));
  if (state_.folders.systemFolder.empty()) return false;
  return savedata(state_.folders, s, *prompter_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    return;
  }
  if (fileCommands_->working() || toolRunning() || !fileCommands_->closeRule()) {
    event->ignore();
    return;
  }
  writeSettings();
  closing_ = true;
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  refreshp1();
}

}  // namespace velmor
