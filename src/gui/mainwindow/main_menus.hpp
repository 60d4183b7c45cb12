#pragma once
// The menu tree of the main window, in display order.
#include <QAction>
#include <QMenuBar>
#include <array>

#include "context/connect_later.hpp"
#include "core/settings/recent_files.hpp"

namespace velmor {

// A caption as it is read out: mnemonic marks removed, "&&" read as "&".
QString plainCaption(const QString& caption);

class MainMenus : public QObject {
  Q_OBJECT
 public:
  explicit MainMenus(QMenuBar* bar);

  QAction* open() const { return open_; }
  QAction* save() const { return save_; }
  QAction* saveAs() const { return saveAs_; }
  QAction* saveCopy() const { return saveCopy_; }
  QAction* exit() const { return exit_; }
  QAction* recent(int entry) const { return recent_[static_cast<std::size_t>(entry)]; }  // 0 = most recent
  QAction* locatePrograms() const { return locatePrograms_; }
  QAction* settings() const { return settings_; }
  QAction* getTdb() const { return getTdb_; }
  QAction* checkProduct() const { return checkProduct_; }
  QAction* createBasemap() const { return createBasemap_; }
  QAction* readLogs() const { return readLogs_; }
  QAction* clearMainLog() const { return clearMainLog_; }
  QAction* manual() const { return manual_; }
  QAction* checkForUpdates() const { return checkForUpdates_; }
  QAction* about() const { return about_; }
  QAction* whatsNew() const { return whatsNew_; }
  QAction* createAll() const { return createAll_; }
  QAction* createMdx() const { return createMdx_; }
  // Looks an entry up by its caption ("Create mdx" ...), for the tools that
  // serve them later. Mnemonic marks do not count: "Save As" finds "Save &As".
  QAction* entry(const QString& caption) const;
  // A menu of the bar by its caption ("File" ...).
  QMenu* menu(const QString& caption) const;

  // Shows the recent-file captions and their greyed state.
  void showRecent(const RecentFileMenu& recent);

 signals:
  void recentChosen(int entry);

 private:
  QMenuBar* bar_;
  QAction* open_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QAction* saveCopy_ = nullptr;
  QAction* exit_ = nullptr;
  std::array<QAction*, kRecentFileCount> recent_{};
  QAction* locatePrograms_ = nullptr;
  QAction* settings_ = nullptr;
  QAction* getTdb_ = nullptr;
  QAction* checkProduct_ = nullptr;
  QAction* createBasemap_ = nullptr;
  QAction* readLogs_ = nullptr;
  QAction* clearMainLog_ = nullptr;
  QAction* manual_ = nullptr;
  QAction* checkForUpdates_ = nullptr;
  QAction* about_ = nullptr;
  QAction* whatsNew_ = nullptr;
  QAction* createAll_ = nullptr;
  QAction* createMdx_ = nullptr;
};

}  // namespace velmor
