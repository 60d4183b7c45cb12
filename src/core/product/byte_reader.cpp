#include "byte_reader.hpp"

namespace velmor {

Bytes ByteReader::gettext(std::int64_t offset, std::int64_t limit, std::int64_t end) const {
  Bytes text;
  std::int64_t i = 0;
  for (;;) {
    std::uint8_t b = bounded(offset + i, end);
    if (limit == 0 && b == 0) break;
    if (limit > 0 && i > limit) break;
    if (limit > 0 && b == 0) {
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
