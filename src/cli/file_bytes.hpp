#pragma once
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "core/product/bytes.hpp"

namespace velmor::cli {

// Reads a whole file; prints why not and returns false when it cannot.
inline bool readFileBytes(const std::string& path, Bytes& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "Cannot open " << path << ": " << std::strerror(errno) << "\n";
    return false;
  }
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace velmor::cli
