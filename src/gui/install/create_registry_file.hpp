#pragma once
// The "Create" button of the "Create TDB Files" dialog: the registry file
// that installs the listed product into MapSource and BaseCamp, written next
// to the map files and handed to the importer.
#include <QString>
#include <QStringList>

#include "core/install/registry_file.hpp"

namespace velmor {

class Activity;
class InstallEnvironment;
class Prompter;

// `chosenFiles`: the dialog's listed files as full paths; `mapsourceName`
// and `fidText`: its "Mapsource Name" and "FID" boxes; `productFolder`: the
// folder the files lie in (lastMapFolder). The folder is written into the
// registry file as MapSource's Windows names it (through the Wine prefix on
// Linux), and keys go under Wow6432Node when that Windows is 64-bit.
MapsourceFilesResult createRegistryFile(const QStringList& chosenFiles, const QString& mapsourceName,
                                        const QString& fidText, const QString& productFolder, Prompter& prompter,
                                        InstallEnvironment& environment, Activity& activity);

// The folder the registry file describes: the folder of the chosen product
// file, which the chosen names are looked for in, else `shownFolder`. The
// dialog may show another folder than the one the files were chosen from.
QString productFolderOf(const QStringList& chosenFiles, const QString& shownFolder);

}  // namespace velmor
