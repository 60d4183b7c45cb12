#pragma once
// Tools, Create Mapsource Files, "Create Basemap": the save dialog for the
// basemap, then the core's create_basemap while the window stays drawn.
#include <string>

namespace velmor {

struct CommandContext;

// The suggestion of the save dialog: the product's path with a final
// ".tdb" (in that letter case) replaced by ".img".
std::string basemapSuggestion(const std::string& productPath);

void createBasemap(const CommandContext& context);

}  // namespace velmor
