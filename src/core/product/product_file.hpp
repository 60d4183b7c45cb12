#pragma once
// The one open product model: the file's bytes, its blocks in file order and
// the values decoded from them. What the window's controls show lives in
// ProductForm; the two together are the editing state.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "../platform/file_services.hpp"
#include "block_list.hpp"
#include "../common/bytes.hpp"

namespace velmor {

struct OverallBounds {
  // Thousandths of a degree, reset before every decoding.
  double greatestLongitude = -180000;
  double leastLongitude = 180000;
  double greatestLatitude = -180000;
  double leastLatitude = 180000;
};

// File offset of a block holding a name, the offset of the text, the text as read.
struct NameField {
  std::int64_t blockOffset = 0;
  std::int64_t textOffset = 0;
  Bytes text;
};

struct ProductFile {
  std::string path;
  Bytes data;
  Bytes loadedData;
  BlockList blocks;
  bool modified = false;
  // The file at `path` as loaded or last saved, and the CRC-32 of its bytes:
  // a save over it first makes sure no other program has changed it since.
  FileIdentity diskIdentity;
  std::uint32_t diskCrc = 0;

  std::uint16_t productId = 0;
  std::uint16_t familyId = 0;
  std::uint16_t tdbVersion = 0;
  Bytes seriesName;
  Bytes familyName;
  std::array<std::uint8_t, 2> productVersion{};
  int headerTailLength = 0;
  // The names run past the end of the header block (a negative tail): the
  // header cannot be rebuilt from them, so no edit of the file is saved.
  bool headerDamaged = false;
  std::int64_t headerTailOffset = 0;  // file offset of tail byte 0
  std::uint8_t preservedTailByte = 0;
  // Tail bytes past the 99 that have boxes; kept so that nothing is lost.
  Bytes tailOverflow;
  std::uint8_t mapLevel = 0;
  std::uint16_t codePage = 0;

  std::array<NameField, 3> nameFields{};  // family name, series name, overview name

  int copyrightIndex = -1;
  int overviewIndex = -1;
  int block52Index = -1;
  int block53Index = -1;
  int checksumIndex = -1;  // the block the loader recognised as the checksum block
  int droppedBlocks = 0;   // blocks after the checksum block, left out of every save

  std::string checksumText;
  std::string report;     // CR LF separated lines
  std::string errorText;  // runtime errors met while reading and decoding
  OverallBounds overallBounds;

  // What must be rebuilt at the next save.
  bool overviewEdited = false;
  bool copyrightEdited = false;
  // "Map Window" or a size list was changed: only then are the size bytes
  // worked out again from the lists' percentages.
  bool mapWindowEdited = false;
  // Box texts of the two "Tile Copyright" boxes as decoded.
  std::string block52Text;
  std::string block53Text;
};

}  // namespace velmor
