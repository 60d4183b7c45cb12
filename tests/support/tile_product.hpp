#pragma once
// Products made of a header and a list of tiles, opened into a model and a
// form, for the tests of the tile list, the panel and the plot.
#include <string>
#include <vector>

#include "core/product/loader.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor::test {

struct TileSpec {
  std::int32_t number = 10001;
  std::int32_t n = 0x1E000000, e = 0x00800000, s = 0x1C000000, w = 0;
  std::string description = "First tile";
  std::vector<std::pair<std::string, std::uint32_t>> subfiles = {{"10001.TRE", 0x200}};
};

inline Bytes tileBlock(const TileSpec& t) {
  return block(0x4C, tileBody(t.number, 0x00123456, t.n, t.e, t.s, t.w, t.description, t.subfiles));
}

inline Bytes tileProduct(const std::vector<TileSpec>& tiles) {
  Bytes bytes = block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58)));
  for (const TileSpec& t : tiles) {
    const Bytes b = tileBlock(t);
    bytes.insert(bytes.end(), b.begin(), b.end());
  }
  return bytes;
}

struct OpenedTiles {
  ProductFile file;
  ProductForm form;
};

inline void openTiles(OpenedTiles& o, const std::vector<TileSpec>& tiles) {
  ScriptedPrompter prompter;
  openProduct(o.file, o.form, writeTemp(tileProduct(tiles)), prompter);
}

// Tiles named "Tile 1" ... with IMG names 20001 ...
inline std::vector<TileSpec> namedTiles(const std::vector<std::string>& descriptions) {
  std::vector<TileSpec> tiles;
  for (std::size_t i = 0; i < descriptions.size(); ++i) {
    TileSpec t;
    t.number = 20001 + static_cast<std::int32_t>(i);
    t.description = descriptions[i];
    tiles.push_back(t);
  }
  return tiles;
}

}  // namespace velmor::test
