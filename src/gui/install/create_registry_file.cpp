#include "create_registry_file.hpp"

#include <QFileInfo>

#include "core/common/prompter.hpp"
#include "core/install/install_environment.hpp"
#include "core/platform/file_services.hpp"

namespace velmor {

MapsourceFilesResult createRegistryFile(const QStringList& chosenFiles, const QString& mapsourceName,
                                        const QString& fidText, const QString& productFolder, Prompter& prompter,
                                        InstallEnvironment& environment, Activity& activity) {
  MapsourceFilesRequest request;
  for (const QString& file : chosenFiles) request.chosenFiles.push_back(file.toStdString());
  request.familyKeyName = mapsourceName.toStdString();
  request.fidText = fidText.toStdString();
  request.localFolder = productFolder.toStdString();
  request.is64BitWindows = environment.is64BitWindows();
  const auto windowsFolder = environment.windowsFolder(request.localFolder);
  if (!windowsFolder) {
    prompter.message("The folder " + request.localFolder +
                     " cannot be reached from the Windows MapSource runs in. No registry file was written.");
    return {};
  }
  request.registryFolder = *windowsFolder;
  // The keys are read back after the import: the one message then says what is installed.
  return create_mapsourcefiles(request, prompter, systemFiles(), &environment.importer(), activity,
                               environment.liveRegistry());
}

QString productFolderOf(const QStringList& chosenFiles, const QString& shownFolder) {
  for (const QString& file : chosenFiles) {
    if (file.endsWith(QStringLiteral(".tdb"), Qt::CaseInsensitive)) return QFileInfo(file).absolutePath();
  }
  return shownFolder;
}

}  // namespace velmor
