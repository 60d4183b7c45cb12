#pragma once
// The last look at a product file before it is written: the bytes are read
// back the way the loader reads them, and a file that would not come back as
// it was meant is refused instead of written.
#include <cstdint>
#include <span>
#include <vector>

#include "block_list.hpp"
#include "../common/bytes.hpp"
#include "field_encoding.hpp"

namespace velmor {

// Every non-empty entry is one whole block: its length field matches its size.
Refusal checkBlockEntries(const BlockList& blocks);

// Reads `bytes` back block by block from offset 0: every block lies inside
// the file, none but the header has an empty body (the loader stops there),
// the walk ends exactly at the end of the file, the file is no larger than
// the loader accepts, and a checksum block appears at most once and only as
// the last block; exactly once when `checksumWritten`.
Refusal checkProductBytes(std::span<const std::uint8_t> bytes, bool checksumWritten);

}  // namespace velmor
