#pragma once
// The fields of one detail-map block, read with the decoder's rules. The
// decoder builds the tile texts from it; the command-line tool lists it.
#include <cstdint>
#include <optional>
#include <vector>

#include "../common/byte_reader.hpp"

namespace velmor {

struct TileSubfile {
  std::optional<Bytes> name;  // nullopt: no room left for a name ("?")
  std::uint32_t size = 0;     // unsigned 32-bit: a size never reads as negative
};

struct TileLayout {
  std::int32_t mapNumber = 0;
  std::int32_t parent = 0;
  std::int32_t north = 0, east = 0, south = 0, west = 0;  // map units
  Bytes description;
  std::int64_t countOffset = 0;       // file offset of the subfile count
  std::uint16_t count = 0;            // as stored
  std::vector<TileSubfile> subfiles;  // the ones the block has room for
};

// o is the file offset of the block's type byte.
TileLayout readTileLayout(const ByteReader& reader, std::int64_t o);

}  // namespace velmor
