#pragma once
#include <iostream>
#include <string>

#include "core/platform/file_services.hpp"
#include "core/product/block_types.hpp"
#include "core/common/bytes.hpp"

namespace velmor::cli {

// Reads a product file whole, as the window would: a regular file of at
// most 25 MiB. Prints why not and returns false when it cannot.
inline bool readProductBytes(const std::string& path, Bytes& out) {
  FileRead read = systemFiles().readFile(path, kMaxProductFileSize, OverLimit::Refuse);
  if (read.status == ReadStatus::TooLarge) {
    std::cerr << "tdb files are limited to 25mb.\n";
    return false;
  }
  if (!read) {
    std::cerr << "Cannot read " << path << ": " << read.error << "\n";
    return false;
  }
  out = std::move(read.bytes);
  return true;
}

}  // namespace velmor::cli
