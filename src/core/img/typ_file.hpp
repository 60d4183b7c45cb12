#pragma once
// TYP files: the style of a map product (how its points, lines and areas
// are drawn). BaseCamp and the devices apply one only to the product whose
// family id (and product id) it carries, which is why map makers patch
// those two numbers when a style is reused.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmor {

class FileServices;

struct TypIds {
  std::uint16_t familyId = 0;
  std::uint16_t productId = 0;
  std::uint16_t codePage = 0;
};

// Where the numbers stand in the header (little-endian 16 bits each).
inline constexpr std::size_t kTypCodePageOffset = 0x15;
inline constexpr std::size_t kTypFamilyIdOffset = 0x2F;
inline constexpr std::size_t kTypProductIdOffset = 0x31;
// TYP files are small; anything bigger is not one.
inline constexpr std::uint64_t kMaxTypFileSize = 16 * 1024 * 1024;

// The ids of a TYP file's bytes; nullopt with the reason in `error` when
// they are not a TYP file whose header reaches the ids.
std::optional<TypIds> typIdsOf(std::span<const std::uint8_t> bytes, std::string& error);

// The same, read from a file.
std::optional<TypIds> readTypIds(const std::string& path, std::string& error);

// The bytes with the family and product id replaced, everything else as it
// was (the copy mkgmap writes as x<name>.typ). `bytes` must be a TYP file
// (typIdsOf accepted it).
std::vector<std::uint8_t> withTypIds(std::span<const std::uint8_t> bytes, std::uint16_t familyId,
                                     std::uint16_t productId);

// Reads the TYP file `source` and writes its copy with the given ids to
// `target` in one atomic step; nullopt on success, else the reason.
std::optional<std::string> writeTypWithIds(const std::string& source, const std::string& target, std::uint16_t familyId,
                                           std::uint16_t productId, FileServices& files);

// The name mkgmap gives the copy: "x" before the file name.
std::string patchedTypName(const std::string& fileName);

}  // namespace velmor
