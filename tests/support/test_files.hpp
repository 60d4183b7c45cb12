#pragma once
// Small things many tests do with files: read one whole, count a folder,
// take zlib's CRC-32 as the independent reference for ours, open a product.
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/common/bytes.hpp"
#include "core/product/product_file.hpp"
#include "core/product/product_form.hpp"

namespace velmor::test {

inline std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::size_t filesInFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

inline std::uint32_t zlibCrc(const Bytes& bytes, std::size_t count) {
  return static_cast<std::uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(count)));
}

// A product file as the window and the command line hold it once opened.
struct Opened {
  ProductFile file;
  ProductForm form;
};

}  // namespace velmor::test
