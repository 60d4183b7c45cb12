#include "help_commands.hpp"

#include <QAction>
#include <QFile>

#include "about_box.hpp"
#include "build_addresses.hpp"
#include "mainwindow/main_menus.hpp"
#include "mainwindow/main_window.hpp"
#include "updates_dialog.hpp"

// Resources of a static library are registered by hand, outside any namespace.
static void registerHelpResources() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  Q_INIT_RESOURCE(help);
}

namespace velmor {

HelpAddresses builtInHelpAddresses() {
  return {build::kManualAddress, build::kVersionAddress, build::kDownloadAddress, build::kHomeAddress};
}

std::string releaseNotes() {
  registerHelpResources();
  QFile notes(QStringLiteral(":/help/whatsnew.txt"));
  if (!notes.open(QIODevice::ReadOnly)) return {};
  return notes.readAll().toStdString();
}

HelpCommands::HelpCommands(MainWindow& window)
    : QObject(&window), window_(window), addresses_(helpAddresses(builtInHelpAddresses())) {
  MainMenus* menus = window.menus();
  connectLater(menus->manual(), this, &HelpCommands::manual);
  connectLater(menus->checkForUpdates(), this, &HelpCommands::checkForUpdates);
  connectLater(menus->about(), this, &HelpCommands::about);
  connectLater(menus->whatsNew(), this, &HelpCommands::whatsNew);
}

void HelpCommands::manual() { openManual(addresses_.manual, window_.shell(), window_.prompter()); }

void HelpCommands::checkForUpdates() {
  UpdatesDialog dialog(addresses_.version, addresses_.download, window_.shell(), window_.prompter(), &window_);
  dialog.exec();
}

void HelpCommands::about() {
  AboutBox box(addresses_.home, window_.shell(), window_.prompter(), &window_);
  box.exec();
}

void HelpCommands::whatsNew() { openWhatsNew(window_.state().folders, window_.shell()); }

}  // namespace velmor
