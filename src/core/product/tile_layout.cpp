#include "tile_layout.hpp"

#include <algorithm>

namespace velmor {

TileLayout readTileLayout(const ByteReader& r, std::int64_t o) {
  TileLayout t;
  const std::int64_t n = r.bit2(o + 1);
  const std::int64_t end = o + 3 + n;
  t.mapNumber = r.bit4(o + 3);
  t.parent = r.bit4(o + 7);
  t.north = r.bit4(o + 11);
  t.east = r.bit4(o + 15);
  t.south = r.bit4(o + 19);
  t.west = r.bit4(o + 23);
  t.description = r.gettext(o + 27, 0, end);

  std::int64_t p = o + 27 + static_cast<std::int64_t>(t.description.size()) + 1 + 2;
  t.countOffset = p;
  t.count = r.bit2(p);
  p += 2;
  // A count larger than the block can hold lists only the sizes that lie in
  // the block, so a damaged count cannot make the decoder spin.
  const std::int64_t room = end > p ? (end - p) / 4 : 0;
  const std::int64_t listed = std::min<std::int64_t>(t.count, room);
  t.subfiles.resize(static_cast<std::size_t>(listed));
  for (auto& sub : t.subfiles) {
    sub.size = static_cast<std::uint32_t>(r.bit4(p));
    p += 4;
  }
  p += 7;
  for (auto& sub : t.subfiles) {
    if (p < o + n - 1) {
      sub.name = r.gettext(p, 0, end);
      p += static_cast<std::int64_t>(sub.name->size()) + 1;
    } else {
      p += 2;  // "?" and its terminator
    }
  }
  return t;
}

}  // namespace velmor
