#include "overview_bounds.hpp"

#include <algorithm>
#include <cmath>

#include "../product/loader.hpp"
#include "../product/number_text.hpp"

namespace velmor {

std::string overviewBoundText(double degrees) {
  // The tile bounds carry five decimals as single-precision numbers: 7.1 is
  // held as 7.0999999. Rounding to the nearest fifth decimal gives back the
  // bound the tile shows; cutting or rounding at the sixth would give 7.09999
  // and leave the tile's edge outside the overview.
  const double rounded = std::nearbyint(degrees * 1e5) / 1e5;
  return numberText(rounded == 0 ? 0.0 : rounded);
}

CreateTdbResult create_tdb(ProductFile& file, ProductForm& form, const std::vector<std::string>& paths,
                           Prompter& prompter, Activity& activity) {
  CreateTdbResult result;
  if (file.blocks.empty()) {
    prompter.message(kNoProductOpen);
    return result;
  }
  if (file.overviewIndex < 0) {
    prompter.message(kNoOverviewBlock);
    return result;
  }
  OverviewBounds& b = result.bounds;
  for (const std::string& path : paths) {
    ImgScanResult scan = loadbinaryfst(path, prompter, activity);
    get_imglimits(scan);
    file.errorText += scan.errorText;
    result.tiles += static_cast<int>(scan.tiles.size());
    if (!scan.readable || scan.truncated) result.failedFiles.push_back(path);
    if (scan.hasBounds) {
      b.north = std::max(b.north, static_cast<double>(scan.tileBounds[0]));
      b.east = std::max(b.east, static_cast<double>(scan.tileBounds[1]));
      b.south = std::min(b.south, static_cast<double>(scan.tileBounds[2]));
      b.west = std::min(b.west, static_cast<double>(scan.tileBounds[3]));
      ++result.filesWithBounds;
    }
    result.lastScan = std::move(scan);
    result.lastPath = path;
  }
  if (!result.failedFiles.empty()) {
    std::string list;
    for (const std::string& path : result.failedFiles) list += "\r\n" + path;
    prompter.message("These files could not be read to their end or are cut short, so the overview bounds were "
                     "left as they were:" + list);
    return result;
  }
  if (result.filesWithBounds == 0) {
    prompter.message(kNoBoundsFound);
    return result;
  }
  result.boundsFound = true;
  form.overviewSouth = overviewBoundText(b.south);
  form.overviewNorth = overviewBoundText(b.north);
  form.overviewEast = overviewBoundText(b.east);
  form.overviewWest = overviewBoundText(b.west);
  file.overviewEdited = true;
  MarkModified(file);
  return result;
}

}  // namespace velmor
