#include "byte_reader.hpp"

#include <cstring>

namespace velmor {

Bytes ByteReader::gettext(std::int64_t offset, std::int64_t limit, std::int64_t end) const {
  if (limit == 0) {
    // A plain text: everything up to the first 0, the end bound or the end of the data.
    if (offset < 0) return {};
    auto stop = static_cast<std::int64_t>(data_.size());
    if (end >= 0 && end < stop) stop = end;
    if (offset >= stop) return {};
    const auto* first = data_.data() + offset;
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(first, 0, static_cast<std::size_t>(stop - offset)));
    return Bytes(first, zero != nullptr ? zero : data_.data() + stop);
  }
  Bytes text;
  std::int64_t i = 0;
  for (;;) {
    std::uint8_t b = bounded(offset + i, end);
    if (limit == 0 && b == 0) break;
    // A negative limit (a block too short for its record prefix) reads
    // nothing; it must never leave the loop without a bound.
    if (limit != 0 && i > limit) break;
    if (limit != 0 && b == 0) {
      text.push_back('\r');
      text.push_back('\n');
      i += 5;
      continue;
    }
    // A text that runs off the data stops there: past the end every byte is 0.
    text.push_back(b);
    ++i;
  }
  return text;
}

std::size_t ByteReader::textLength(std::int64_t offset, std::int64_t end) const {
  std::size_t n = 0;
  while (bounded(offset + static_cast<std::int64_t>(n), end) != 0) ++n;
  return n;
}

}  // namespace velmor
