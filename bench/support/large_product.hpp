#pragma once
// A synthetic product file as large as the editor accepts: a header, the
// copyright and overview blocks and a grid of detail-map tiles, closed by a
// checksum block with the right CRC.
#include <cstdint>
#include <string>

#include "core/common/prompter.hpp"
#include "core/common/bytes.hpp"
#include "core/product/product_file.hpp"
#include "core/product/product_form.hpp"

namespace velmor::bench {

// About 350,000 tiles for the default size of 25 MiB (26214400 bytes at most).
Bytes makeLargeProduct(std::uint64_t maxBytes = 26214400);
// Writes it to `path`; returns the number of tiles.
std::size_t writeLargeProduct(const std::string& path, std::uint64_t maxBytes = 26214400);

// Hostile files of the same size that hold as many blocks as the format
// allows: 6-byte detail-map blocks (about 4.37 million tiles, each reading
// its fields from the blocks after it) or 4-byte blocks of an unknown type
// (about 6.5 million). Both end in a checksum block with the right CRC.
enum class CraftedKind { TinyTiles, UnknownBlocks };
Bytes makeCraftedProduct(CraftedKind kind, std::uint64_t maxBytes = 26214400);
// Writes it to `path`; returns the number of blocks between the header and the checksum block.
std::size_t writeCraftedProduct(const std::string& path, CraftedKind kind, std::uint64_t maxBytes = 26214400);

// The large product opened into a model and a form, once per program (the
// benchmarks of the tile rules and the map source share it).
struct OpenedLargeProduct {
  ProductFile file;
  ProductForm form;
};
OpenedLargeProduct& openedLargeProduct();

}  // namespace velmor::bench
