#include "typ_file.hpp"

#include <cstring>
#include <vector>

#include "../platform/range_reader.hpp"
#include "../product/byte_reader.hpp"

namespace velmor {

namespace {

constexpr std::int64_t kIdsEnd = 0x33;  // the product id's two bytes end here

}  // namespace

std::optional<TypIds> readTypIds(const std::string& path, std::string& error) {
  std::unique_ptr<RangeReader> reader = openRangeReader(path, error);
  if (!reader) return std::nullopt;
  std::vector<std::uint8_t> header(kIdsEnd);
  const std::int64_t got = reader->readAt(0, header, error);
  if (got < 0) return std::nullopt;
  if (got < kIdsEnd || std::memcmp(header.data() + 2, "GARMIN TYP", 10) != 0) {
    error = "not a TYP file (no \"GARMIN TYP\" header)";
    return std::nullopt;
  }
  const ByteReader r(header);
  const std::int64_t headerLength = r.bit2(0);
  if (headerLength < kIdsEnd) {
    error = "its header is too short to hold the family and product ids";
    return std::nullopt;
  }
  return TypIds{r.bit2(0x2F), r.bit2(0x31), r.bit2(0x15)};
}

}  // namespace velmor
