#include "img_directory.hpp"

#include <algorithm>
#include <string_view>
#include <vector>

#include "../common/byte_reader.hpp"

namespace velmor {

namespace {

constexpr std::int64_t kSector = 512;
// A directory entry per 512 bytes; block numbers are 16 bits, so a real
// directory never needs more than a few megabytes. Anything larger is not
// read, so the memory a scan needs stays bounded.
constexpr std::int64_t kMaxDirectoryBytes = 16 * 1024 * 1024;
constexpr std::int64_t kBlockListOffset = 0x20;
constexpr std::int64_t kBlockListEntries = 240;

std::uint32_t le32(const ByteReader& r, std::int64_t at) { return static_cast<std::uint32_t>(r.bit4(at)); }

bool holds(const ByteReader& r, std::int64_t at, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (r.dat(at + static_cast<std::int64_t>(i)) != static_cast<std::uint8_t>(text[i])) return false;
  }
  return true;
}

bool readExactly(RangeReader& reader, std::int64_t offset, std::vector<std::uint8_t>& out) {
  std::string error;
  return reader.readAt(offset, out, error) == static_cast<std::int64_t>(out.size());
}

// A subfile name is turned into a file name; only the characters map
// compilers use are taken, so a damaged directory cannot name "..", a
// folder or anything Windows refuses.
bool safeNamePart(const std::string& part) {
  if (part.empty()) return false;
  for (char c : part) {
    const bool ok =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '$';
    if (!ok) return false;
  }
  return true;
}

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

}  // namespace

std::optional<ImgSubfileList> ImgDirectory::subfiles(RangeReader& reader, std::string& error) {
  const std::int64_t fileSize = reader.size();
  std::vector<std::uint8_t> header(kSector);
  using namespace std::string_view_literals;
  if (fileSize < 2 * kSector || !readExactly(reader, 0, header)) {
    error = "too short for an IMG file";
    return std::nullopt;
  }
  const ByteReader h(header);
  if (!holds(h, 0x10, "DSKIMG\0"sv) || !holds(h, 0x41, "GARMIN\0"sv)) {
    error = "not an IMG file";
    return std::nullopt;
  }
  if (h.dat(0) != 0) {
    error = "the IMG file is scrambled";
    return std::nullopt;
  }
  const int exponent = h.dat(0x61) + h.dat(0x62);
  const std::int64_t dirStart = h.dat(0x40) * kSector;
  std::vector<std::uint8_t> first(kSector);
  if (exponent < 9 || exponent > 24 || dirStart == 0 || dirStart + kSector > fileSize ||
      !readExactly(reader, dirStart, first) || first[0] != 1) {
    error = "the IMG file's directory is damaged";
    return std::nullopt;
  }
  const std::int64_t blockSize = std::int64_t{1} << exponent;
  const std::int64_t dirEnd = le32(ByteReader(first), 0x0C);
  if (dirEnd <= dirStart || dirEnd > fileSize || dirEnd - dirStart > kMaxDirectoryBytes) {
    error = "the IMG file's directory runs past the end of the file";
    return std::nullopt;
  }
  std::vector<std::uint8_t> entries(static_cast<std::size_t>((dirEnd - dirStart) / kSector * kSector));
  if (!readExactly(reader, dirStart, entries)) {
    error = "the IMG file's directory cannot be read";
    return std::nullopt;
  }
  const ByteReader r(entries);
  ImgSubfileList list;
  list.blockSize = blockSize;
  std::unordered_map<std::string, std::size_t> byName;
  for (std::int64_t at = kSector; at + kSector <= static_cast<std::int64_t>(entries.size()); at += kSector) {
    if (r.dat(at) != 1) continue;
    std::string name, ext;
    for (std::int64_t i = 1; i <= 8; ++i) name.push_back(static_cast<char>(r.dat(at + i)));
    for (std::int64_t i = 9; i <= 11; ++i) ext.push_back(static_cast<char>(r.dat(at + i)));
    name = trimmed(name);
    ext = trimmed(ext);
    if (!safeNamePart(name) || !safeNamePart(ext)) {
      error = "the IMG file's directory holds a subfile name that cannot name a file";
      return std::nullopt;
    }
    const std::string full = name + "." + ext;
    auto [it, firstPart] = byName.emplace(full, list.subfiles.size());
    if (firstPart) list.subfiles.push_back(ImgSubfile{full, le32(r, at + 0x0C), {}});
    ImgSubfile& subfile = list.subfiles[it->second];
    for (std::int64_t k = 0; k < kBlockListEntries; ++k) {
      const std::uint16_t block = r.bit2(at + kBlockListOffset + 2 * k);
      if (block == 0xFFFF) break;
      subfile.blocks.push_back(block);
    }
  }
  for (const ImgSubfile& subfile : list.subfiles) {
    const std::int64_t size = subfile.size;
    if (size > static_cast<std::int64_t>(subfile.blocks.size()) * blockSize) {
      error = "the IMG file's directory gives " + subfile.name + " more bytes than its blocks hold";
      return std::nullopt;
    }
    for (std::size_t k = 0; k < subfile.blocks.size(); ++k) {
      const std::int64_t used = std::min(blockSize, size - static_cast<std::int64_t>(k) * blockSize);
      if (used > 0 && subfile.blocks[k] * blockSize + used > fileSize) {
        error = "the IMG file's directory places " + subfile.name + " past the end of the file";
        return std::nullopt;
      }
    }
  }
  if (list.subfiles.empty()) {
    error = "the IMG file holds no subfiles";
    return std::nullopt;
  }
  return list;
}

ImgDirectory ImgDirectory::read(RangeReader& reader) {
  ImgDirectory dir;
  const std::int64_t fileSize = reader.size();
  std::vector<std::uint8_t> header(kSector);
  if (fileSize < 2 * kSector || !readExactly(reader, 0, header)) return dir;
  // A scrambled container (first byte not 0) would need unscrambling first.
  const ByteReader h(header);
  using namespace std::string_view_literals;
  if (h.dat(0) != 0 || !holds(h, 0x10, "DSKIMG\0"sv) || !holds(h, 0x41, "GARMIN\0"sv)) return dir;
  const int exponent = h.dat(0x61) + h.dat(0x62);
  if (exponent < 9 || exponent > 24) return dir;
  const std::int64_t blockSize = std::int64_t{1} << exponent;
  const std::int64_t dirStart = h.dat(0x40) * kSector;
  ImgDirectory cutShort;
  cutShort.truncated_ = true;
  if (dirStart == 0) return dir;
  if (dirStart + kSector > fileSize) return cutShort;

  // The first entry stands for the header and the directory themselves; its
  // size is where the directory ends.
  std::vector<std::uint8_t> entry(kSector);
  if (!readExactly(reader, dirStart, entry) || entry[0] != 1) return dir;
  const std::int64_t dirEnd = le32(ByteReader(entry), 0x0C);
  if (dirEnd <= dirStart || dirEnd - dirStart > kMaxDirectoryBytes) return dir;
  if (dirEnd > fileSize) return cutShort;

  std::vector<std::uint8_t> entries(static_cast<std::size_t>((dirEnd - dirStart) / kSector * kSector));
  if (!readExactly(reader, dirStart, entries)) return dir;
  const ByteReader r(entries);
  std::unordered_map<std::string, bool> seen;  // name and type -> is a GMP
  for (std::int64_t at = kSector; at + kSector <= static_cast<std::int64_t>(entries.size()); at += kSector) {
    if (r.dat(at) != 1) continue;  // an unused entry
    std::string name;
    for (std::int64_t i = 1; i <= 11; ++i) name.push_back(static_cast<char>(r.dat(at + i)));
    const std::string kind = name.substr(8, 3);
    std::vector<std::uint16_t> blocks;
    for (std::int64_t k = 0; k < kBlockListEntries; ++k) {
      const std::uint16_t block = r.bit2(at + kBlockListOffset + 2 * k);
      if (block == 0xFFFF) break;
      // A block outside the file makes the whole directory suspect: the
      // file was cut short, or the directory is not one.
      if (static_cast<std::int64_t>(block) * blockSize >= fileSize) return cutShort;
      blocks.push_back(block);
    }
    auto [it, first] = seen.emplace(name, kind == "GMP");
    if (it->second) {
      for (std::uint16_t block : blocks) dir.gmpBlocks_.insert(block);
    }
    // Later entries of the same name continue the block list of a large
    // subfile; only the first says where the subfile begins and how big it is.
    if (!first || blocks.empty()) continue;
    const std::int64_t start = static_cast<std::int64_t>(blocks.front()) * blockSize;
    const std::uint32_t size = le32(r, at + 0x0C);
    if (start + static_cast<std::int64_t>(size) > fileSize) return cutShort;
    std::string stem = name.substr(0, 8);
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '\0')) stem.pop_back();
    dir.starts_.emplace(start, ImgDirectoryEntry{kind, size, stem});
  }
  dir.blockSize_ = blockSize;
  return dir;
}

const ImgDirectoryEntry* ImgDirectory::subfileAt(std::int64_t offset) const {
  auto found = starts_.find(offset);
  return found == starts_.end() ? nullptr : &found->second;
}

bool ImgDirectory::insideGmp(std::int64_t offset) const {
  if (gmpBlocks_.empty() || blockSize_ == 0 || offset < 0) return false;
  return gmpBlocks_.count(static_cast<std::uint32_t>(offset / blockSize_)) != 0;
}

std::string mapNumberName(std::int64_t number) {
  std::string digits = std::to_string(number);
  return digits.size() < 8 ? std::string(8 - digits.size(), '0') + digits : digits;
}

bool imgHoldsMap(const std::string& path, std::uint32_t number) {
  std::string error;
  auto reader = openRangeReader(path, error);
  if (!reader) return false;
  const ImgDirectory directory = ImgDirectory::read(*reader);
  const std::string name = mapNumberName(number);
  return std::any_of(directory.entries().begin(), directory.entries().end(),
                     [&name](const auto& entry) { return entry.second.name == name; });
}

}  // namespace velmor
