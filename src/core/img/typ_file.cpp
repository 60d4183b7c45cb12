#include "typ_file.hpp"

#include <cstring>

#include "../common/byte_reader.hpp"
#include "../platform/file_services.hpp"

namespace velmor {

namespace {

constexpr const char* kSignature = "GARMIN TYP";
constexpr std::size_t kSignatureOffset = 2;
// The header must reach the product id.
constexpr std::size_t kMinHeader = kTypProductIdOffset + 2;

void putLe16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t value) {
  b[at] = static_cast<std::uint8_t>(value & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::optional<TypIds> typIdsOf(std::span<const std::uint8_t> bytes, std::string& error) {
  const std::size_t signatureLength = std::strlen(kSignature);
  if (bytes.size() < kSignatureOffset + signatureLength ||
      std::memcmp(bytes.data() + kSignatureOffset, kSignature, signatureLength) != 0) {
    error = "not a TYP file (no \"GARMIN TYP\" header)";
    return std::nullopt;
  }
  const ByteReader r(bytes);
  const std::size_t headerLength = r.bit2(0);
  if (headerLength < kMinHeader || bytes.size() < kMinHeader) {
    error = "the TYP file's header is too short to hold its ids";
    return std::nullopt;
  }
  return TypIds{r.bit2(kTypFamilyIdOffset), r.bit2(kTypProductIdOffset), r.bit2(kTypCodePageOffset)};
}

std::optional<TypIds> readTypIds(const std::string& path, std::string& error) {
  std::string why;
  auto bytes = systemFiles().readAll(path, kMaxTypFileSize, why);
  if (!bytes) {
    error = "Cannot read " + path + ": " + why;
    return std::nullopt;
  }
  auto ids = typIdsOf(*bytes, why);
  if (!ids) error = path + ": " + why;
  return ids;
}

std::vector<std::uint8_t> withTypIds(std::span<const std::uint8_t> bytes, std::uint16_t familyId,
                                     std::uint16_t productId) {
  std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
  putLe16(copy, kTypFamilyIdOffset, familyId);
  putLe16(copy, kTypProductIdOffset, productId);
  return copy;
}

std::optional<std::string> writeTypWithIds(const std::string& source, const std::string& target, std::uint16_t familyId,
                                           std::uint16_t productId, FileServices& files) {
  std::string why;
  auto bytes = files.readAll(source, kMaxTypFileSize, why);
  if (!bytes) return "Cannot read " + source + ": " + why;
  if (!typIdsOf(*bytes, why)) return source + ": " + why;
  if (auto failed = files.atomicReplace(target, withTypIds(*bytes, familyId, productId)))
    return "Cannot write " + target + ": " + *failed;
  return std::nullopt;
}

std::string patchedTypName(const std::string& fileName) { return "x" + fileName; }

}  // namespace velmor
