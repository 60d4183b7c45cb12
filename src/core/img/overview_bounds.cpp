#include "overview_bounds.hpp"

#include <algorithm>
#include <cmath>

#include "../product/loader.hpp"
#include "../common/number_text.hpp"

namespace velmor {

namespace {

// A tile edge in degrees, exact: 24-bit units, signed, the east edge 0x800000
// on the antimeridian at +180.
double exactDegrees(std::uint32_t units, bool east) {
  units &= 0xFFFFFF;
  if (east && units == 0x800000) return 180.0;
  double degrees = static_cast<double>(units) * (360.0 / 16777216.0);
  if (units > 0x7FFFFF) degrees -= 360.0;
  return degrees;
}

// To five decimals, away from the box's inside: the tiles' edges fall
// between fifth decimals (a unit is 0.0000215 degrees), and cutting or
// rounding to the nearest would leave a strip of the outer tiles outside
// the overview. The small slack keeps an edge that is a fifth decimal
// already from moving by one.
double roundUp5(double degrees) { return std::ceil(degrees * 1e5 - 1e-6) / 1e5; }
double roundDown5(double degrees) { return std::floor(degrees * 1e5 + 1e-6) / 1e5; }

}  // namespace

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
      // From the tiles' own units, not from the five-decimal texts they
      // show: those are cut toward zero and lie inside the tile.
      for (const ImgTile& tile : scan.tiles) {
        if (!tile.usable) continue;
        b.north = std::max(b.north, roundUp5(exactDegrees(tile.north, false)));
        b.east = std::max(b.east, roundUp5(exactDegrees(tile.east, true)));
        b.south = std::min(b.south, roundDown5(exactDegrees(tile.south, false)));
        b.west = std::min(b.west, roundDown5(exactDegrees(tile.west, false)));
      }
      ++result.filesWithBounds;
    }
    result.lastScan = std::move(scan);
    result.lastPath = path;
  }
  if (!result.failedFiles.empty()) {
    std::string list;
    for (const std::string& path : result.failedFiles) list += "\r\n" + path;
    prompter.message(
        "These files could not be read to their end or are cut short, so the overview bounds were "
        "left as they were:" +
        list);
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
