#pragma once
// Everything the main window holds while it runs: the open product, the form
// its controls mirror, the settings and the folders.
#include <string>

#include "core/install/program_locations.hpp"
#include "core/product/product_form.hpp"
#include "core/product/product_file.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/recent_files.hpp"
#include "core/settings/settings.hpp"

namespace velmor {

struct EditorState {
  ProductFile file;  // file.path is the current product file path
  ProductForm form;
  Settings settings;
  RecentFileMenu recent;
  Folders folders;
  bool settingsFileFound = false;
  bool is64BitWindows = false;
  // Where the map programs' Windows keeps its folders (the Wine prefix on
  // Linux), and the two tile caches found there as local folders.
  ProgramLocations locations;
  std::string mapSourceTileCache;
  std::string baseCampTileCache;
};

}  // namespace velmor
