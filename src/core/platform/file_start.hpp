#pragma once
// Reading the start of a file (a product file's header, the registry of a
// Wine prefix) without reading all of it. Only regular files are read, and
// opening never waits on a FIFO or a device.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

// At most `limit` bytes from the start of the file; fewer when the file is
// shorter. nullopt with the system's error text in `error` when it cannot be
// read or is not a regular file.
std::optional<std::vector<std::uint8_t>> readFileStart(const std::string& path, std::size_t limit, std::string& error);

}  // namespace velmor
