#pragma once
// Scanning an IMG file for the map subfiles of its tiles (RGN, TRE, LBL, NET,
// NOD) and for the tiles' bounds. The file is read piece by piece, never
// whole: a map set can run to a gigabyte. Signatures count only where a real
// subfile header stands (see isRealHeader in img_scanner.cpp), and the
// bounds are those of every tile in the file, not of the first one met.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "../common/byte_reader.hpp"
#include "../common/prompter.hpp"
#include "../platform/range_reader.hpp"

namespace velmor {

// The stretch of the file that counts as one window: the subfile kinds and
// sizes shown are those first met in a window.
inline constexpr std::int64_t scanWindowSize = 48673404;

inline constexpr const char* kImgTooLarge = "IMG files are limited to 1000mb.";
inline constexpr const char* kNeedsXorring = "needs xorring";
inline constexpr const char* kNoData = "no data";
inline constexpr const char* kImgTruncated =
    "truncated: the file ends before the subfiles it lists (it was cut short, as by an interrupted copy or download)";

// One TRE header: one tile. Bounds as stored, 24-bit map units (0 to 0xFFFFFF,
// two's complement).
struct ImgTile {
  std::int64_t offset = 0;  // file offset of the TRE header
  std::uint32_t north = 0, east = 0, south = 0, west = 0;
  // The box lies within +-90 degrees of latitude with its south not above
  // its north; only such a box may widen an overview.
  bool usable = false;
};

struct ImgScanResult {
  bool readable = false;  // the file was opened and read to its end
  std::int64_t fileSize = 0;
  // Kinds and sizes of the subfiles first met in a window, each followed by
  // "," ("RGN,TRE,LBL," and "113,2C8,155,"); an RGN starts both lists anew.
  std::string subfileKinds;
  std::string subfileSizes;
  // The sizes came from the container's directory (else from header fields).
  bool sizesFromDirectory = false;
  // The file ends before its directory's subfiles or a subfile header does:
  // whatever was found of it is not the whole map.
  bool truncated = false;
  std::vector<ImgTile> tiles;  // every TRE header, in file order
  // North, east, south, west in degrees, five decimals at most: the union of
  // the usable tiles, filled by get_imglimits.
  std::array<float, 4> tileBounds{};
  bool hasBounds = false;
  std::string errorText;  // "bit4:" lines and the like, CR LF ended
};

// The bounds a TRE header stores (north, east, south, west at 0x15, 0x18,
// 0x1B and 0x1E), read from the header that starts at `at` of `r`; the
// offset and `usable` are the caller's to set.
ImgTile treHeaderBounds(const ByteReader& r, std::int64_t at);

// 24-bit map units to degrees, cut to five decimals: 0x200000 is 45,
// 0xE00000 is -45.
float imgUnitsToDegrees(std::uint32_t units);
// An east edge of 0x800000 is the antimeridian seen from the west: +180, the
// edge mkgmap writes for a tile that ends there. Every other value reads as
// imgUnitsToDegrees does.
float imgEastToDegrees(std::uint32_t units);

// Scans the file at `path`. Messages: "IMG files are limited to 1000mb." for
// a file above 1000 MiB (the scan goes on), "needs xorring" when the first
// byte is not 0 (the bytes are scanned as stored), the truncated message for
// a file cut short, else "no data" when no TRE header was found, the
// system's error text when the file cannot be read.
// The activity shows the busy pointer and gets its events run between steps.
ImgScanResult loadbinaryfst(const std::string& path, Prompter& prompter, Activity& activity = quietActivity());
// How a scan cuts the file: windows (for the kinds list) and the pieces it
// reads at a time. Only tests and the fuzzer use other values.
struct ScanLayout {
  std::int64_t windowSize = scanWindowSize;
  std::int64_t pieceSize = 1 << 18;
};
// The same on any reader.
ImgScanResult loadbinaryfst(RangeReader& reader, Prompter& prompter, Activity& activity = quietActivity(),
                            const ScanLayout& layout = {});

// Fills tileBounds and hasBounds from the usable tiles of a scan.
void get_imglimits(ImgScanResult& scan);

}  // namespace velmor
