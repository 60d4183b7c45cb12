#pragma once
// Tools, "Get tdb from Mapsource": pick an installed product and open its
// product file the way File, Open does.
namespace velmor {

struct CommandContext;

void getTdbFromMapsource(const CommandContext& context);

inline constexpr const char* kSaveAsTdbFirst = "Do you want to save your changes as a TDB file first?";
inline constexpr const char* kCannotLocate = "Cannot locate ";

}  // namespace velmor
