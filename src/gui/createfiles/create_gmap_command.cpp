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
  return target;
}

}  // namespace velmor
