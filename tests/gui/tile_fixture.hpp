#pragma once
// A product opened into a model and a form for the window tests of the tile
// views, and a prompter that records what the window says.
#include <deque>
#include <string>
#include <vector>

#include "core/common/prompter.hpp"
#include "core/product/loader.hpp"
#include "support/product_builder.hpp"

namespace velmor::test {

class TestPrompter : public Prompter {
 public:
  void message(const std::string& text) override { said.push_back(text); }
  Answer ask(const std::string& text, Buttons) override {
    said.push_back(text);
    if (answers.empty()) return Answer::Cancel;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> said;
  std::deque<Answer> answers;
};

// 0x1E000000 / 0x00800000 / 0x1C000000 / 0: 42.1875 N, 0.703125 E, 39.375 N, 0 E.
inline Bytes tileAt(std::int32_t number, const std::string& description, std::int32_t n = 0x1E000000,
                    std::int32_t e = 0x00800000, std::int32_t s = 0x1C000000, std::int32_t w = 0,
                    const std::vector<std::pair<std::string, std::uint32_t>>& subfiles = {}) {
  return block(0x4C, tileBody(number, 0x00123456, n, e, s, w, description, subfiles));
}

inline void openBytes(ProductFile& file, ProductForm& form, const std::vector<Bytes>& tiles) {
  Bytes bytes = block(0x50, headerBody(7, 4660, 409, "Series", "Family", defaultTail(58)));
  for (const Bytes& t : tiles) bytes.insert(bytes.end(), t.begin(), t.end());
  TestPrompter quiet;
  openProduct(file, form, writeTemp(bytes), quiet);
}

// Tiles opened from real blocks (so that their texts exist), then given
// bounds in round degrees for plot geometry checks: `bounds` holds north,
// east, south and west of each tile.
struct RoundTile {
  std::int32_t number;
  std::string description;
  float north, east, south, west;
};
inline void openRoundTiles(ProductFile& file, ProductForm& form, const std::vector<RoundTile>& tiles) {
  std::vector<Bytes> blocks;
  for (const RoundTile& t : tiles) blocks.push_back(tileAt(t.number, t.description));
  openBytes(file, form, blocks);
  for (std::size_t i = 0; i < tiles.size() && i < form.detailMaps.size(); ++i) {
    DetailMapView& v = form.detailMaps[i];
    v.north = tiles[i].north;
    v.east = tiles[i].east;
    v.south = tiles[i].south;
    v.west = tiles[i].west;
  }
}

}  // namespace velmor::test
