#pragma once
// Small synthetic OpenStreetMap files for feeding mkgmap in interop tests.
#include <string>

namespace velmor::test {

struct OsmArea {
  double south, west, north, east;
  long firstId;           // ids of the nodes and ways start here
  std::string placeName;  // UTF-8
};

// A file with the area's bounds, a named town and a named road across it.
std::string osmXml(const OsmArea& area);

}  // namespace velmor::test
