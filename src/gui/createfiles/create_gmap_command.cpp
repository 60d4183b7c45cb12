#include "create_gmap_command.hpp"

#include <QFileDialog>
#include <QString>

#include "core/common/prompter.hpp"
#include "core/install/gmap_bundle.hpp"
#include "core/install/registry_file.hpp"
#include "core/platform/file_services.hpp"
#include "core/platform/unicode_text.hpp"
#include "core/platform/utf8_path.hpp"

namespace velmor {

GmapChoices fileDialogChoices(QWidget* parent) {
  GmapChoices choices;
  choices.outputFolder = [parent](const std::string& start) {
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Folder for the map bundle"),
                                             QString::fromStdString(start))
        .toStdString();
  };
  choices.typFile = [parent](const std::string& start) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("TYP file for the bundle (Cancel: none)"),
                                        QString::fromStdString(start), QStringLiteral("TYP Files (*.typ)"))
        .toStdString();
  };
  return choices;
}

std::string createGmapFromChosen(const std::vector<std::string>& chosenFiles, Prompter& prompter,
                                 const GmapChoices& choices) {
  GmapRequest request;
  for (const std::string& file : chosenFiles) {
    const std::string name = lowerUtf8(file);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tdb") == 0 && request.productFile.empty())
      request.productFile = file;
    else request.files.push_back(file);
  }
  if (request.productFile.empty()) {
    prompter.message(kNoTdbFile);
    return "";
  }
  const std::string start = utf8FromPath(pathFromUtf8(request.productFile).parent_path());
  const std::string folder = choices.outputFolder ? choices.outputFolder(start) : "";
  if (folder.empty()) return "";
  request.typFile = choices.typFile ? choices.typFile(start) : "";
  request.typIds = TypIdChoice::Ask;
  GmapPlanResult planned = planGmap(request, prompter);
  if (!planned.plan) {
    if (planned.error != "Cancelled") prompter.message(planned.error);
    return "";
  }
  const std::string target = utf8FromPath(pathFromUtf8(folder) / pathFromUtf8(planned.plan->bundleName));
  if (auto failed = writeGmap(*planned.plan, target, false, systemFiles())) {
    prompter.message(*failed);
    return "";
  }
  prompter.message(std::string(kGmapWritten) + " " + target);
  // BaseCamp lists only the bundles in its own maps folder.
  const std::optional<std::string> maps = choices.mapsFolder ? choices.mapsFolder() : std::nullopt;
  if (maps && prompter.ask(installGmapQuestion(*maps), Buttons::YesNo) == Answer::Yes) {
    std::string error;
    if (const auto installed = installGmap(*planned.plan, *maps, prompter, systemFiles(), error))
      prompter.message(std::string(kGmapInstalled) + " " + *installed);
    else prompter.message(error);
  }
  return target;
}

std::string installGmapQuestion(const std::string& mapsFolder) {
  return "Install the bundle into BaseCamp's maps folder " + mapsFolder + " as well?";
}

}  // namespace velmor
