#include "main_menus.hpp"

#include <QMenu>

namespace velmor {

namespace {

// An entry whose tool is not in the program yet: visible, so the menu has
// its familiar shape, but disabled so that it cannot be chosen.
QAction* later(QMenu* menu, const char* caption) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setEnabled(false);
  action->setStatusTip(QStringLiteral("Not available yet."));
  action->setToolTip(QStringLiteral("Not available yet."));
  return action;
}

}  // namespace

MainMenus::MainMenus(QMenuBar* bar) : QObject(bar), bar_(bar) {
  QMenu* file = bar->addMenu(QStringLiteral("File"));
  file->setObjectName("fileMenu");
  open_ = file->addAction(QStringLiteral("Open"));
  file->addSeparator();
  save_ = file->addAction(QStringLiteral("Save"));
  save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveAs_ = file->addAction(QStringLiteral("Save As"));
  saveCopy_ = file->addAction(QStringLiteral("Save a Copy"));
  file->addSeparator();
  exit_ = file->addAction(QStringLiteral("Exit"));
  for (int k = 0; k < kRecentFileCount; ++k) {
    QAction* action = file->addAction(QString());
    action->setObjectName(QStringLiteral("recentFile%1").arg(k + 1));
    // Captions are paths: "&" must show as itself, not as a shortcut mark.
    connect(action, &QAction::triggered, this, [this, k] { emit recentChosen(k); });
    recent_[static_cast<std::size_t>(k)] = action;
  }

  QMenu* preferences = bar->addMenu(QStringLiteral("Preferences"));
  later(preferences, "Locate Programs");
  preferences->addSeparator();
  later(preferences, "Settings");

  QMenu* tools = bar->addMenu(QStringLiteral("Tools"));
  later(tools, "Get tdb from Mapsource");
  tools->addSeparator();
  QMenu* create = tools->addMenu(QStringLiteral("Create Mapsource Files"));
  createAll_ = create->addAction(QStringLiteral("Create All"));
  create->addSeparator();
  later(create, "Create Basemap");
  create->addSeparator();
  createMdx_ = create->addAction(QStringLiteral("Create mdx"));

  QMenu* logs = bar->addMenu(QStringLiteral("Logs"));
  readLogs_ = logs->addAction(QStringLiteral("Read Logs"));
  logs->addSeparator();
  clearMainLog_ = logs->addAction(QStringLiteral("Clear Main Log"));

  QMenu* help = bar->addMenu(QStringLiteral("Help"));
  later(help, "Manual");
  help->addSeparator();
  later(help, "Check for Updates");
  help->addSeparator();
  later(help, "About");
  help->addSeparator();
  later(help, "What's New");
}

QAction* MainMenus::entry(const QString& caption) const {
  for (QAction* top : bar_->actions()) {
    QMenu* menu = top->menu();
    if (!menu) continue;
    for (QAction* action : menu->actions()) {
      if (action->text() == caption) return action;
      if (QMenu* sub = action->menu()) {
        for (QAction* inner : sub->actions())
          if (inner->text() == caption) return inner;
      }
    }
  }
  return nullptr;
}

void MainMenus::showRecent(const RecentFileMenu& recent) {
  for (int k = 0; k < kRecentFileCount; ++k) {
    QAction* action = recent_[static_cast<std::size_t>(k)];
    QString caption = QString::fromStdString(recent.captions[static_cast<std::size_t>(k)]);
    caption.replace(QStringLiteral("&"), QStringLiteral("&&"));
    action->setText(caption);
    action->setData(QString::fromStdString(recent.captions[static_cast<std::size_t>(k)]));
    action->setEnabled(recent.enabled[static_cast<std::size_t>(k)]);
  }
}

}  // namespace velmor
