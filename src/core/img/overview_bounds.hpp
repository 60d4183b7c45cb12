#pragma once
// The overview bounds of a product computed from its IMG tiles: every chosen
// file is scanned, the boxes of its tiles are merged, and the merged box goes
// into the overview bound boxes, to be written by the next save.
#include <string>
#include <vector>

#include "../common/prompter.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"
#include "img_scanner.hpp"

namespace velmor {

inline constexpr const char* kNoBoundsFound =
    "None of the chosen files holds a map tile. The overview bounds were left as they were.";
inline constexpr const char* kNoProductOpen = "No Data.";
inline constexpr const char* kNoOverviewBlock = "This file has no overview map block.";

// Degrees, as create_tdb merges them; the starting values lie outside every
// real coordinate.
struct OverviewBounds {
  double north = -180000, east = -180000, south = 180000, west = 180000;
};

struct CreateTdbResult {
  bool boundsFound = false;  // some file gave bounds; the boxes were filled
  OverviewBounds bounds;
  int filesWithBounds = 0;
  int tiles = 0;           // TRE headers met in all files
  ImgScanResult lastScan;  // of the last file scanned, for display
  std::string lastPath;
  // Files that could not be read to their end or are cut short: bounds from
  // the rest would make an overview that leaves their tiles out, so none
  // are set.
  std::vector<std::string> failedFiles;
};

// Scans `paths` (full paths, in list order) and, when at least one file gave
// bounds, writes the merged box into the four overview boxes as texts of at
// most five decimals, sets overviewEdited and marks the model modified (a
// save of an unmodified model writes the loaded bytes, which would lose the
// new bounds). When no file gave bounds, the boxes stay as they are and the
// user is told. Nothing is done for a model without a file or without an
// overview block. Each scan's error lines are appended to file.errorText.
// When any file cannot be read or is cut short, nothing is set either and the
// user is told which files failed.
CreateTdbResult create_tdb(ProductFile& file, ProductForm& form, const std::vector<std::string>& paths,
                           Prompter& prompter, Activity& activity = quietActivity());

// The text a bound box gets: the degrees rounded to five decimals, written
// without trailing zeros ("52.5", "-34.2", "180").
std::string overviewBoundText(double degrees);

}  // namespace velmor
