#include "main_menus.hpp"

#include <QMenu>

namespace velmor {

MainMenus::MainMenus(QMenuBar* bar) : QObject(bar), bar_(bar) {
  // The "&" marks the mnemonic letter (Alt+F opens File); accessible names
  // and lookups by caption see the caption without it.
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->setObjectName("fileMenu");
  open_ = file->addAction(QStringLiteral("&Open"));
  open_->setShortcut(QKeySequence::Open);
  file->addSeparator();
  save_ = file->addAction(QStringLiteral("&Save"));
  save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveAs_ = file->addAction(QStringLiteral("Save &As"));
  saveAs_->setShortcut(QKeySequence::SaveAs);
  saveCopy_ = file->addAction(QStringLiteral("Save a &Copy"));
  file->addSeparator();
  exit_ = file->addAction(QStringLiteral("E&xit"));
  exit_->setShortcut(QKeySequence::Quit);
  for (int k = 0; k < kRecentFileCount; ++k) {
    QAction* action = file->addAction(QString());
    action->setObjectName(QStringLiteral("recentFile%1").arg(k + 1));
    // An empty entry has nothing to open and nothing to read out: it stays
    // out of sight until a file fills it.
    action->setVisible(false);
    // Captions are paths: "&" must show as itself, not as a shortcut mark.
    connect(action, &QAction::triggered, this, [this, k] { emit recentChosen(k); });
    recent_[static_cast<std::size_t>(k)] = action;
  }

  QMenu* preferences = bar->addMenu(QStringLiteral("&Preferences"));
  locatePrograms_ = preferences->addAction(QStringLiteral("&Locate Programs"));
  preferences->addSeparator();
  settings_ = preferences->addAction(QStringLiteral("&Settings"));

  QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
  getTdb_ = tools->addAction(QStringLiteral("&Get tdb from Mapsource"));
  checkProduct_ = tools->addAction(QStringLiteral("Check &Product"));
  tools->addSeparator();
  QMenu* create = tools->addMenu(QStringLiteral("Create &Mapsource Files"));
  createAll_ = create->addAction(QStringLiteral("Create &All"));
  create->addSeparator();
  createBasemap_ = create->addAction(QStringLiteral("Create &Basemap"));
  create->addSeparator();
  createMdx_ = create->addAction(QStringLiteral("Create m&dx"));

  QMenu* logs = bar->addMenu(QStringLiteral("&Logs"));
  readLogs_ = logs->addAction(QStringLiteral("&Read Logs"));
  logs->addSeparator();
  clearMainLog_ = logs->addAction(QStringLiteral("&Clear Main Log"));

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  manual_ = help->addAction(QStringLiteral("&Manual"));
  help->addSeparator();
  checkForUpdates_ = help->addAction(QStringLiteral("Check for &Updates"));
  help->addSeparator();
  about_ = help->addAction(QStringLiteral("&About"));
  help->addSeparator();
  whatsNew_ = help->addAction(QStringLiteral("&What's New"));
}

QString plainCaption(const QString& caption) {
  // "&&" is a literal "&"; a single "&" only marks the next letter.
  QString plain;
  plain.reserve(caption.size());
  for (qsizetype k = 0; k < caption.size(); ++k) {
    if (caption[k] == QLatin1Char('&')) {
      if (k + 1 < caption.size() && caption[k + 1] == QLatin1Char('&')) {
        plain += QLatin1Char('&');
        ++k;
      }
      continue;
    }
    plain += caption[k];
  }
  return plain;
}

QAction* MainMenus::entry(const QString& caption) const {
  const QString wanted = plainCaption(caption);
  for (QAction* top : bar_->actions()) {
    QMenu* menu = top->menu();
    if (!menu) continue;
    for (QAction* action : menu->actions()) {
      if (plainCaption(action->text()) == wanted) return action;
      if (QMenu* sub = action->menu()) {
        for (QAction* inner : sub->actions())
          if (plainCaption(inner->text()) == wanted) return inner;
      }
    }
  }
  return nullptr;
}

QMenu* MainMenus::menu(const QString& caption) const {
  const QString wanted = plainCaption(caption);
  for (QAction* top : bar_->actions()) {
    if (top->menu() && plainCaption(top->text()) == wanted) return top->menu();
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
    action->setVisible(!caption.trimmed().isEmpty());
  }
}

}  // namespace velmor
