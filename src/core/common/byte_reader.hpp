#pragma once
// The one way product data is read. Every read is bounds-checked: bytes at or
// past the end read as 0, which is what lets a truncated file decode into
// zeros and empty texts instead of undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <span>

#include "bytes.hpp"

namespace velmor {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::size_t size() const { return data_.size(); }

  // Byte at offset, 0 outside the data (negative offsets included).
  std::uint8_t dat(std::int64_t offset) const {
    if (offset < 0 || static_cast<std::uint64_t>(offset) >= data_.size()) return 0;
    return data_[static_cast<std::size_t>(offset)];
  }
  std::uint16_t bit2(std::int64_t offset) const {
    return static_cast<std::uint16_t>(dat(offset) | (dat(offset + 1) << 8));
  }
  std::int32_t bit4(std::int64_t offset) const {
    std::uint32_t v = static_cast<std::uint32_t>(dat(offset)) | (static_cast<std::uint32_t>(dat(offset + 1)) << 8) |
                      (static_cast<std::uint32_t>(dat(offset + 2)) << 16) |
                      (static_cast<std::uint32_t>(dat(offset + 3)) << 24);
    return static_cast<std::int32_t>(v);
  }
  // bit4 where the caller has made sure, with inside(), that all four bytes
  // lie inside: the walk over a quarter of a million tiles checks once.
  std::int32_t bit4Inside(std::int64_t offset) const {
    const std::uint8_t* p = data_.data() + offset;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                     (static_cast<std::uint32_t>(p[2]) << 16) |
                                     (static_cast<std::uint32_t>(p[3]) << 24));
  }
  // True when all `width` bytes from offset lie inside the data.
  bool inside(std::int64_t offset, std::int64_t width) const {
    return offset >= 0 && width >= 0 && static_cast<std::uint64_t>(offset + width) <= data_.size();
  }

  // Reads a text from offset. With limit 0 a plain 0-terminated text; with a
  // limit a run of records (text, 0, four bytes), each record end turned into
  // CR LF. Bytes at or past `end` read as 0, so a caller can keep the read
  // inside one block. The result holds the raw code-page bytes.
  Bytes gettext(std::int64_t offset, std::int64_t limit, std::int64_t end = -1) const;

  // Length of the 0-terminated text at offset (bytes before the 0 or `end`).
  std::size_t textLength(std::int64_t offset, std::int64_t end = -1) const;

 private:
  std::uint8_t bounded(std::int64_t offset, std::int64_t end) const {
    if (end >= 0 && offset >= end) return 0;
    return dat(offset);
  }
  std::span<const std::uint8_t> data_;
};

}  // namespace velmor
