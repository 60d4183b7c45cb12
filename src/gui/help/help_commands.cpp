#include "help_commands.hpp"

#include <QAction>
#include <QFile>

#include "about_box.hpp"
#include "context/connect_later.hpp"
#include "build_addresses.hpp"
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

HelpCommands::HelpCommands(CommandContext context, const HelpActions& actions)
    : QObject(context.parent), context_(std::move(context)), addresses_(helpAddresses(builtInHelpAddresses())) {
  connectLater(actions.manual, this, &HelpCommands::manual);
  connectLater(actions.checkForUpdates, this, &HelpCommands::checkForUpdates);
  connectLater(actions.about, this, &HelpCommands::about);
  connectLater(actions.whatsNew, this, &HelpCommands::whatsNew);
}

void HelpCommands::manual() { openManual(addresses_.manual, context_.shell, context_.prompter); }

void HelpCommands::checkForUpdates() {
  UpdatesDialog dialog(addresses_.version, addresses_.download, context_.shell, context_.prompter, context_.parent);
  dialog.exec();
}

void HelpCommands::about() {
  AboutBox box(addresses_.home, context_.shell, context_.prompter, context_.parent);
  box.exec();
}

void HelpCommands::whatsNew() { openWhatsNew(context_.state.folders, context_.shell); }

}  // namespace velmor
