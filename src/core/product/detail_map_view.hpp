#pragma once
#include <cstdint>
#include <string>

namespace velmor {

// What the detail-map list and the plot know of one tile.
struct DetailMapView {
  std::string listText;      // the description (UTF-8)
  std::string boundsRecord;  // north#east#south#west#description#
  std::string infoText;
  std::string imgName;       // map number in decimal
  int blockIndex = 0;
  std::int64_t blockOffset = 0;
  // Single-precision bounds in degrees, as the texts show them.
  float north = 0, east = 0, south = 0, west = 0;

  std::string caption() const { return listText + "\r\n" + imgName; }
  std::string tooltip() const { return listText + "\r\n\r\n" + "right click for more"; }
};

}  // namespace velmor
