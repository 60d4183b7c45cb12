#include "img_scanner.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "../common/byte_reader.hpp"
#include "../common/bytes.hpp"
#include "../common/number_text.hpp"
#include "img_directory.hpp"

namespace velmor {

namespace {

// The file is read in pieces that stay in the processor's cache while they
// are searched, however large the window. The furthest any header field used
// here lies from the header's start is 0xC0 (the last LBL size field); a
// header starting near the end of a piece is read from the bytes just after
// it, so no header is lost at a piece's or a window's edge.
constexpr std::int64_t kLookahead = 256;
// Events run after every this many pieces.
constexpr std::int64_t kChunksPerYield = 64;

enum Kind { Rgn, Tre, Lbl, Net, Nod, KindCount };
constexpr const char* kKindNames[KindCount] = {"RGN", "TRE", "LBL", "NET", "NOD"};

// Every subfile header starts with its length (2 bytes), "GARMIN " and the
// kind, then the common fields up to offset 0x15.
constexpr std::int64_t kCommonHeaderLength = 0x15;
// Far above any header length a map compiler writes; a larger "length" is text.
constexpr std::int64_t kMaxHeaderLength = 0x1000;
// The TRE bounds end at 0x21: a shorter TRE header does not hold them.
constexpr std::int64_t kTreBoundsEnd = 0x21;
constexpr std::int32_t kQuarterTurn = 0x400000;  // 90 degrees in 24-bit units
// Tiles left out that get a line of their own in the error text; the rest
// are counted in one line, so that a file of a million broken headers does
// not make a text of a hundred megabytes.
constexpr std::int64_t kLeftOutLines = 100;

std::int32_t signed24(std::uint32_t v) {
  v &= 0xFFFFFF;
  return v > 0x7FFFFF ? static_cast<std::int32_t>(v) - 0x1000000 : static_cast<std::int32_t>(v);
}

std::uint32_t triple(const ByteReader& r, std::int64_t at) {
  return static_cast<std::uint32_t>(r.dat(at)) | static_cast<std::uint32_t>(r.dat(at + 1)) << 8 |
         static_cast<std::uint32_t>(r.dat(at + 2)) << 16;
}

struct Found {
  std::string size;  // hexadecimal
};

class WindowScanner {
 public:
  WindowScanner(const ImgDirectory& dir, ImgScanResult& out, std::int64_t fileSize)
      : dir_(dir), out_(out), fileSize_(fileSize) {}

  // Looks at the signature of `kind` whose header starts at file offset h;
  // `r` reads the piece the header lies in, from `base` on.
  void header(Kind kind, std::int64_t h, const ByteReader& r, std::int64_t base, std::int64_t window) {
    if (window != window_) flush(window);
    const std::int64_t at = h - base;
    const std::int64_t length = r.bit2(at);
    const ImgDirectoryEntry* entry = dir_.readable() ? dir_.subfileAt(h) : nullptr;
    if (!isRealHeader(kind, h, length, entry)) return;
    if (kind == Tre) addTile(h, length, r, at);
    if (first_[kind]) return;
    first_[kind] = Found{entry ? hexUpper(entry->size) : hexUpper(formulaSize(kind, length, r, at))};
  }

  // Puts the kinds first met in the window into the lists and starts the next.
  void flush(std::int64_t nextWindow) {
    for (int k = 0; k < KindCount; ++k) {
      if (!first_[k]) continue;
      if (k == Rgn) {
        out_.subfileKinds.clear();
        out_.subfileSizes.clear();
      }
      out_.subfileKinds += kKindNames[k];
      out_.subfileKinds += ',';
      out_.subfileSizes += first_[k]->size;
      out_.subfileSizes += ',';
      first_[k].reset();
    }
    window_ = nextWindow;
  }

  // The end of the scan: the count of the left-out tiles not told one by one.
  void finish() {
    flush(0);
    if (leftOut_ > kLeftOutLines) {
      appendErrorLine(out_.errorText, std::to_string(leftOut_ - kLeftOutLines) +
                                          " more TRE headers have bounds that are not a box on the map; "
                                          "their tiles are left out");
    }
  }

 private:
  // With the container's directory at hand, a header is real where a subfile
  // of its kind begins (or inside a GMP subfile, which holds several headers
  // and is checked like a bare header). Without a directory, the header's
  // length must be that of a header that lies wholly inside the file.
  bool isRealHeader(Kind kind, std::int64_t h, std::int64_t length, const ImgDirectoryEntry* entry) const {
    if (h < 0) return false;
    if (dir_.readable()) {
      if (entry) return entry->kind == kKindNames[kind];
      if (!dir_.insideGmp(h)) return false;
    }
    const bool plausible =
        length >= kCommonHeaderLength && length <= kMaxHeaderLength && (kind != Tre || length >= kTreBoundsEnd);
    // A header of a plausible length that runs past the end of the file is
    // the last subfile of a file cut short: inside a container, or a bare
    // subfile that starts the file. Elsewhere in a file of another kind (a
    // product file naming its tiles) the signature is a chance match.
    if (plausible && h + length > fileSize_ && (dir_.readable() || h == 0)) out_.truncated = true;
    return plausible && h + length <= fileSize_;
  }

  void addTile(std::int64_t h, std::int64_t length, const ByteReader& r, std::int64_t at) {
    ImgTile tile = treHeaderBounds(r, at);
    tile.offset = h;
    const std::int32_t north = signed24(tile.north);
    const std::int32_t south = signed24(tile.south);
    const bool inside = length >= kTreBoundsEnd && h + kTreBoundsEnd <= fileSize_;
    tile.usable = inside && south <= north && north <= kQuarterTurn && south >= -kQuarterTurn;
    if (!tile.usable && ++leftOut_ <= kLeftOutLines) {
      appendErrorLine(out_.errorText, "TRE at &" + hexUpper(static_cast<std::uint64_t>(h)) +
                                          ": its bounds are not a box on the map; the tile is left out");
    }
    out_.tiles.push_back(tile);
  }

  // A 32-bit header field. Values of 0x80000000 and more do not fit the
  // signed field the size rules were made for: they count as 0 and are noted.
  std::uint32_t readImgLong(const ByteReader& r, std::int64_t at) {
    if (r.dat(at + 3) >= 0x80) {
      appendErrorLine(out_.errorText, "bit4:Overflow");
      return 0;
    }
    return static_cast<std::uint32_t>(r.bit4(at));
  }

  // The size a subfile header gives of its subfile, for containers whose
  // directory cannot be read. Sums wrap at 32 bits.
  std::uint32_t formulaSize(Kind kind, std::int64_t length, const ByteReader& r, std::int64_t at) {
    auto L = [&](std::int64_t x) { return readImgLong(r, at + x); };
    const auto H = static_cast<std::uint32_t>(length);
    std::uint32_t size = 0;
    switch (kind) {
      case Rgn:
        size = L(0x19);
        if (length > 32) size += L(0x21);
        if (length > 60) size += L(0x3D);
        if (length > 88) size += L(0x59);
        return size + H;
      case Tre:
        // Lengths from 132 to 140 are read with the older layout's rule.
        if (length <= 140) return L(0x21) + L(0x25) + L(0x2D) + L(0x35) + L(0x4E) + L(0x5C) + L(0x6A);
        size = L(0x8E);
        if (size > 0) size += L(0x8A);
        return size;
      case Lbl:
        for (std::int64_t x : {0x19, 0x23, 0x31, 0x3F, 0x4D, 0x5B, 0x68, 0x76, 0x84, 0x92, 0xA0, 0xBC}) size += L(x);
        return size + H;
      case Net: return L(0x19) + L(0x22) + L(0x2B) + H;
      case Nod: return L(0x19) + L(0x29) + L(0x35) + H;
      case KindCount: break;
    }
    return 0;
  }

  const ImgDirectory& dir_;
  ImgScanResult& out_;
  std::int64_t fileSize_;
  std::int64_t window_ = 0;
  std::int64_t leftOut_ = 0;
  std::array<std::optional<Found>, KindCount> first_{};
};

std::optional<Kind> kindAt(const std::uint8_t* p) {
  for (int k = 0; k < KindCount; ++k) {
    if (std::memcmp(p, kKindNames[k], 3) == 0) return static_cast<Kind>(k);
  }
  return std::nullopt;
}

}  // namespace

ImgTile treHeaderBounds(const ByteReader& r, std::int64_t at) {
  ImgTile tile;
  tile.north = triple(r, at + 21);
  tile.east = triple(r, at + 24);
  tile.south = triple(r, at + 27);
  tile.west = triple(r, at + 30);
  return tile;
}

float imgUnitsToDegrees(std::uint32_t units) {
  units &= 0xFFFFFF;
  double degrees = static_cast<double>(units) * (360.0 / 16777216.0);
  if (units > 0x7FFFFF) degrees -= 360.0;
  const std::string text = formatDegrees(degrees);
  float value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

float imgEastToDegrees(std::uint32_t units) {
  return (units & 0xFFFFFF) == 0x800000 ? 180.0f : imgUnitsToDegrees(units);
}

ImgScanResult loadbinaryfst(RangeReader& reader, Prompter& prompter, Activity& activity, const ScanLayout& layout) {
  ImgScanResult out;
  const std::int64_t fileSize = reader.size();
  out.fileSize = fileSize;
  const std::int64_t windowSize = layout.windowSize < 1 ? scanWindowSize : layout.windowSize;
  const std::int64_t chunk = std::max<std::int64_t>(layout.pieceSize, 16);
  if (fileSize / 1024 / 1024 > 1000) prompter.message(kImgTooLarge);

  activity.busy(true);
  const ImgDirectory dir = ImgDirectory::read(reader);
  out.sizesFromDirectory = dir.readable();
  out.truncated = dir.truncated();
  WindowScanner scanner(dir, out, fileSize);
  static constexpr char kSignature[] = "GARMIN ";
  constexpr std::int64_t kSignatureLength = 10;  // "GARMIN " and the kind

  std::vector<std::uint8_t> piece(static_cast<std::size_t>(std::min(fileSize, chunk + kLookahead)));
  bool failed = false;
  for (std::int64_t base = 0, count = 0; base < fileSize; base += chunk, ++count) {
    const std::int64_t want = std::min(chunk + kLookahead, fileSize - base);
    std::string error;
    const std::int64_t got = reader.readAt(base, std::span(piece.data(), static_cast<std::size_t>(want)), error);
    if (got < 0) {
      prompter.message(error);
      failed = true;
      break;
    }
    if (base == 0 && got > 0 && piece[0] != 0) prompter.message(kNeedsXorring);
    const ByteReader r(std::span<const std::uint8_t>(piece.data(), static_cast<std::size_t>(got)));
    // Headers that start in this piece: their signatures begin 2 bytes in.
    const std::int64_t pieceEnd = std::min(chunk, got);
    const std::int64_t searchEnd = std::min(got - kSignatureLength + 1, pieceEnd + 2);
    const std::uint8_t* data = piece.data();
    for (std::int64_t q = 2; q < searchEnd;) {
      const void* hit = std::memchr(data + q, 'G', static_cast<std::size_t>(searchEnd - q));
      if (!hit) break;
      q = static_cast<const std::uint8_t*>(hit) - data;
      if (std::memcmp(data + q, kSignature, 7) == 0) {
        if (auto kind = kindAt(data + q + 7)) {
          const std::int64_t h = base + q - 2;
          scanner.header(*kind, h, r, base, h / windowSize);
        }
      }
      ++q;
    }
    if (count % kChunksPerYield == kChunksPerYield - 1) {
      activity.progress(
          static_cast<float>(100.0 * static_cast<double>(base + pieceEnd) / static_cast<double>(fileSize)));
      activity.yieldEvents();
    }
    if (got < want) break;  // the file shrank while it was read
  }
  scanner.finish();
  out.readable = !failed;
  activity.busy(false);
  if (out.truncated) {
    appendErrorLine(out.errorText, kImgTruncated);
    prompter.message(kImgTruncated);
  } else if (out.tiles.empty()) {
    prompter.message(kNoData);
  }
  return out;
}

ImgScanResult loadbinaryfst(const std::string& path, Prompter& prompter, Activity& activity) {
  std::string error;
  std::unique_ptr<RangeReader> reader = openRangeReader(path, error);
  if (!reader) {
    prompter.message(error + ": " + path);
    return ImgScanResult{};
  }
  return loadbinaryfst(*reader, prompter, activity);
}

void get_imglimits(ImgScanResult& scan) {
  scan.hasBounds = false;
  float north = -180000, east = -180000, south = 180000, west = 180000;
  for (const ImgTile& tile : scan.tiles) {
    if (!tile.usable) continue;
    north = std::max(north, imgUnitsToDegrees(tile.north));
    east = std::max(east, imgEastToDegrees(tile.east));
    south = std::min(south, imgUnitsToDegrees(tile.south));
    west = std::min(west, imgUnitsToDegrees(tile.west));
    scan.hasBounds = true;
  }
  scan.tileBounds = scan.hasBounds ? std::array<float, 4>{north, east, south, west} : std::array<float, 4>{};
}

}  // namespace velmor
