#pragma once
// The directory of an IMG container: which subfile starts where, and how big
// it is. The scanner finds subfiles by their signatures; the directory tells
// it which of those signatures stand where a subfile really begins (a tile
// described "GARMIN TREK MAP" carries "GARMIN TRE" in its description) and
// gives the sizes the map compiler recorded.
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "../platform/range_reader.hpp"

namespace velmor {

struct ImgDirectoryEntry {
  std::string kind;  // the three-letter type: "RGN", "TRE" ...
  std::uint32_t size = 0;
  std::string name;  // the eight-character name, the map number for a tile's subfiles
};

// One subfile of a container, as its directory lists it: its name
// ("63240001.TRE"), its size and the blocks that hold it, in order.
struct ImgSubfile {
  std::string name;
  std::uint32_t size = 0;
  std::vector<std::uint16_t> blocks;
};

struct ImgSubfileList {
  std::int64_t blockSize = 0;
  std::vector<ImgSubfile> subfiles;
};

class ImgDirectory {
 public:
  // Reads the directory of the container in `reader`. An unscrambled
  // container whose directory holds at least one subfile, every one of them
  // inside the file, is readable; anything else (a scrambled or damaged
  // container, a bare subfile, other data) is not, and the scanner falls
  // back to checking the headers themselves.
  static ImgDirectory read(RangeReader& reader);

  // Every subfile of an unscrambled container, for taking it apart. Unlike
  // read(), which quietly gives up, this says what is wrong: a container
  // whose directory names a block or a byte past the end of the file, a
  // size larger than its blocks, or a name that cannot name a file, gives
  // nullopt and the reason in `error`.
  static std::optional<ImgSubfileList> subfiles(RangeReader& reader, std::string& error);

  bool readable() const { return !starts_.empty(); }
  // The container's header and directory are sound, but the directory names
  // blocks past the end of the file: the file was cut short (an interrupted
  // copy or download). Such a directory is not readable.
  bool truncated() const { return truncated_; }
  // Every subfile, by the offset its data begins at.
  const std::unordered_map<std::int64_t, ImgDirectoryEntry>& entries() const { return starts_; }
  std::int64_t blockSize() const { return blockSize_; }
  std::size_t subfileCount() const { return starts_.size(); }

  // The subfile whose data begins at `offset`, or nullptr.
  const ImgDirectoryEntry* subfileAt(std::int64_t offset) const;
  // True when `offset` lies in a block of a GMP subfile, which holds the
  // headers of several kinds one after the other.
  bool insideGmp(std::int64_t offset) const;

 private:
  std::int64_t blockSize_ = 0;
  bool truncated_ = false;
  std::unordered_map<std::int64_t, ImgDirectoryEntry> starts_;
  std::unordered_set<std::uint32_t> gmpBlocks_;
};

// The name the subfiles of map `number` carry: its eight digits
// ("00001234"), or more when it has more.
std::string mapNumberName(std::int64_t number);

// Whether the container at `path` holds the subfiles of map `number` (named
// by its eight digits). A product's overview map holds those of the overview
// block's number, whatever the container is called: mkgmap told
// --overview-mapname=71110000 names it like a tile.
bool imgHoldsMap(const std::string& path, std::uint32_t number);

}  // namespace velmor
