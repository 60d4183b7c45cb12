#pragma once
#include <cstddef>
#include <cstdint>

namespace velmor::detail {

// True when this processor can run crc32Clmul.
bool clmulAvailable();
// Folds `len` bytes (at least 64, a multiple of 16) into the running CRC
// state (pre- and post-inversion are the caller's).
std::uint32_t crc32Clmul(const std::uint8_t* buf, std::size_t len, std::uint32_t crc);

}  // namespace velmor::detail
