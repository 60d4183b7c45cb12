#include "osm_writer.hpp"

#include <cstdio>

namespace velmor::test {

std::string osmXml(const OsmArea& a) {
  char buf[2048];
  const double dLat = (a.north - a.south) / 10;
  const double dLon = (a.east - a.west) / 10;
  std::snprintf(buf, sizeof buf,
                "<?xml version='1.0' encoding='UTF-8'?>\n"
                "<osm version=\"0.6\" generator=\"velmor-tests\">\n"
                "  <bounds minlat=\"%.6f\" minlon=\"%.6f\" maxlat=\"%.6f\" maxlon=\"%.6f\"/>\n"
                "  <node id=\"%ld\" lat=\"%.6f\" lon=\"%.6f\" version=\"1\"/>\n"
                "  <node id=\"%ld\" lat=\"%.6f\" lon=\"%.6f\" version=\"1\"/>\n"
                "  <node id=\"%ld\" lat=\"%.6f\" lon=\"%.6f\" version=\"1\">"
                "<tag k=\"place\" v=\"town\"/><tag k=\"name\" v=\"%s\"/></node>\n"
                "  <way id=\"%ld\" version=\"1\"><nd ref=\"%ld\"/><nd ref=\"%ld\"/>"
                "<tag k=\"highway\" v=\"primary\"/><tag k=\"name\" v=\"Rua %s\"/></way>\n"
                "</osm>\n",
                a.south, a.west, a.north, a.east, a.firstId, a.south + dLat, a.west + dLon, a.firstId + 1,
                a.north - dLat, a.east - dLon, a.firstId + 2, (a.south + a.north) / 2, (a.west + a.east) / 2,
                a.placeName.c_str(), a.firstId + 3, a.firstId, a.firstId + 1, a.placeName.c_str());
  return buf;
}

}  // namespace velmor::test
