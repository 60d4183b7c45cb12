#include "large_product.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/product/crc32.hpp"
#include "core/product/loader.hpp"

namespace velmor::bench {

namespace {

void block(Bytes& out, std::uint8_t type, const Bytes& body) {
  out.push_back(type);
  appendLe16(out, static_cast<std::uint16_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
}

void text0(Bytes& out, const std::string& text) {
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

Bytes tile(std::uint32_t number, std::int32_t n, std::int32_t e, std::int32_t s, std::int32_t w) {
  Bytes body;
  appendLe32(body, number);
  appendLe32(body, 0x00123456);
  for (std::int32_t v : {n, e, s, w}) appendLe32(body, static_cast<std::uint32_t>(v));
  text0(body, "Tile " + std::to_string(number));
  body.push_back(1);
  body.push_back(0);
  appendLe16(body, 2);
  appendLe32(body, 0x4000 + number % 977);
  appendLe32(body, 0x9000 + number % 331);
  for (int i = 0; i < 7; ++i) body.push_back(i == 1 ? 1 : 0);
  text0(body, std::to_string(number) + ".TRE");
  text0(body, std::to_string(number) + ".RGN");
  return body;
}

// Version 4.11 header with a 61-byte tail, as mkgmap writes it.
void headerBlock(Bytes& out) {
  Bytes header;
  appendLe16(header, 1);
  appendLe16(header, 4660);
  appendLe16(header, 411);
  text0(header, "Large Series");
  header.push_back(0x64);
  header.push_back(0);
  text0(header, "Large Family");
  Bytes tail(61, 0);
  tail[1] = 0x12;
  tail[10] = 0x18;
  tail[30] = 0xE4;
  tail[31] = 0x04;
  tail[38] = 1;
  header.insert(header.end(), tail.begin(), tail.end());
  block(out, 0x50, header);
}

void checksumBlock(Bytes& out) {
  cCRC32 crc;
  const std::uint32_t value = crc.GetByteArrayCrc32(out);
  Bytes sum(23, 0);
  sum[0] = 0x54;
  sum[1] = 0x14;
  sum[5] = static_cast<std::uint8_t>(value >> 24);
  sum[12] = static_cast<std::uint8_t>(value >> 16);
  sum[15] = static_cast<std::uint8_t>(value >> 8);
  sum[20] = static_cast<std::uint8_t>(value);
  out.insert(out.end(), sum.begin(), sum.end());
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

Bytes makeLargeProduct(std::uint64_t maxBytes) {
  Bytes out;
  headerBlock(out);

  Bytes copyright = {3, 6, 0, 0};
  text0(copyright, "Large synthetic map for measuring");
  block(out, 0x44, copyright);

  const std::int32_t step = 0x00020000;  // about 0.011 degrees per tile
  Bytes overview;
  appendLe32(overview, 0x00123456);
  appendLe32(overview, 0);
  for (std::int32_t v : {0x30000000, 0x08000000, 0x20000000, 0}) appendLe32(overview, static_cast<std::uint32_t>(v));
  text0(overview, "Large overview");
  block(out, 0x42, overview);

  const std::uint64_t room = maxBytes - 23;
  const int columns = 600;
  for (std::uint32_t i = 0;; ++i) {
    const std::int32_t row = static_cast<std::int32_t>(i) / columns;
    const std::int32_t col = static_cast<std::int32_t>(i) % columns;
    const std::int32_t south = 0x20000000 + row * step / 4;
    const std::int32_t west = col * step;
    Bytes body = tile(10000000 + i, south + step / 4, west + step, south, west);
    if (out.size() + body.size() + 3 > room) break;
    block(out, 0x4C, body);
  }
  checksumBlock(out);
  return out;
}

Bytes makeCraftedProduct(CraftedKind kind, std::uint64_t maxBytes) {
  Bytes out;
  out.reserve(maxBytes);
  headerBlock(out);
  const bool tiles = kind == CraftedKind::TinyTiles;
  // The smallest body the loader does not take for the end of the file is
  // one byte; a tile gets three, so that its fields differ from tile to tile.
  const std::size_t size = tiles ? 6 : 4;
  for (std::uint32_t i = 0; out.size() + size <= maxBytes - 23; ++i) {
    if (tiles) {
      out.insert(out.end(), {0x4C, 3, 0, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
                             static_cast<std::uint8_t>(i >> 16)});
    } else {
      out.insert(out.end(), {0x41, 1, 0, static_cast<std::uint8_t>(i)});
    }
  }
  checksumBlock(out);
  return out;
}

std::size_t writeLargeProduct(const std::string& path, std::uint64_t maxBytes) {
  Bytes bytes = makeLargeProduct(maxBytes);
  writeFile(path, bytes);
  std::size_t tiles = 0;
  for (std::size_t pos = 0; pos + 3 <= bytes.size();) {
    if (bytes[pos] == 0x4C) ++tiles;
    pos += 3 + static_cast<std::size_t>(bytes[pos + 1] | bytes[pos + 2] << 8);
  }
  return tiles;
}

std::size_t writeCraftedProduct(const std::string& path, CraftedKind kind, std::uint64_t maxBytes) {
  Bytes bytes = makeCraftedProduct(kind, maxBytes);
  writeFile(path, bytes);
  const std::size_t size = kind == CraftedKind::TinyTiles ? 6 : 4;
  const std::size_t header = 3 + static_cast<std::size_t>(bytes[1] | bytes[2] << 8);
  return (bytes.size() - header - 23) / size;
}

OpenedLargeProduct& openedLargeProduct() {
  static OpenedLargeProduct* opened = [] {
    auto* o = new OpenedLargeProduct;
    const std::string path = (std::filesystem::temp_directory_path() / "velmor-bench-large-opened.tdb").string();
    writeLargeProduct(path);
    SilentPrompter prompter;
    openProduct(o->file, o->form, path, prompter);
    std::filesystem::remove(path);
    return o;
  }();
  return *opened;
}

}  // namespace velmor::bench
