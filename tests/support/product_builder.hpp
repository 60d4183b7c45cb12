#pragma once
// Builds product files byte by byte for tests, so that each case states the
// bytes it is about instead of depending on a fixture.
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/utf8_path.hpp"
#include "core/common/bytes.hpp"

namespace velmor::test {

Bytes block(std::uint8_t type, const Bytes& body);
Bytes text0(const std::string& text);  // bytes + 0
Bytes le16(std::uint16_t v);
Bytes le32(std::uint32_t v);
Bytes cat(std::initializer_list<Bytes> parts);

// A header body: ids, version, names, product version 0x64 0x00, then `tail`.
Bytes headerBody(std::uint16_t pid, std::uint16_t fid, std::uint16_t version, const std::string& series,
                 const std::string& family, const Bytes& tail);
// A tail of `length` bytes as the editor gives a fresh one (code page 1252 at 30).
Bytes defaultTail(int length);
Bytes copyrightBody(std::uint8_t code, std::uint8_t kind, const std::vector<std::string>& texts);
Bytes overviewBody(std::int32_t number, std::int32_t parent, std::int32_t n, std::int32_t e, std::int32_t s,
                   std::int32_t w, const std::string& name);
Bytes tileBody(std::int32_t number, std::int32_t parent, std::int32_t n, std::int32_t e, std::int32_t s, std::int32_t w,
               const std::string& description, const std::vector<std::pair<std::string, std::uint32_t>>& subfiles);
// A checksum block storing `crc` with zero filler.
Bytes checksumBlock(std::uint32_t crc);

// A small complete product file: header (version 4.09, tail 58), copyright,
// overview, two tiles and a checksum block with the right CRC.
Bytes sampleProduct();

// The separator the program puts between a folder and a name it joins.
#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// Writes bytes to a file in a fresh temporary folder and returns its path.
std::string writeTemp(const Bytes& bytes, const std::string& name = "test.tdb");
std::string tempDir();
Bytes readFile(const std::string& path);

}  // namespace velmor::test
