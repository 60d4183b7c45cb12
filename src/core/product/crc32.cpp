#include "crc32.hpp"

#include <cstdio>
#include <filesystem>

#include "../platform/system_facts.hpp"
#include "../platform/utf8_path.hpp"
#include "crc32_clmul.hpp"

namespace velmor {

std::string executableName() {
  const std::string exe = executablePath();
  return exe.empty() ? std::string("velmor") : localStem(exe);
}

void cBinaryFileStream::File(const std::string& path) {
  Dispose();
  path_ = path;
  std::error_code ec;
  const std::filesystem::path name = pathFromUtf8(path);
  if (!std::filesystem::is_regular_file(name, ec)) {
    FileNotFound error;
    error.source = executableName() + ".File";
    throw error;
  }
  handle_ = openForReading(name);
  if (handle_ == nullptr) {
    FileNotFound error;
    error.source = executableName() + ".File";
    throw error;
  }
  auto size = std::filesystem::file_size(name, ec);
  length_ = ec ? 0 : static_cast<std::int32_t>(size);
  position_ = 0;
}

std::int32_t cBinaryFileStream::Read(std::uint8_t* buffer, std::int32_t count) {
  if (handle_ == nullptr) return 0;
  std::int32_t taken;
  if (position_ + count < length_) {
    taken = static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(count), handle_));
  } else {
    const std::int32_t rest = length_ - position_;
    if (rest < 1) {
      Dispose();
      return 0;
    }
    taken = static_cast<std::int32_t>(std::fread(buffer, 1, static_cast<std::size_t>(rest), handle_));
  }
  position_ += taken;
  return taken;
}

void cBinaryFileStream::Dispose() {
  if (handle_ != nullptr) {
    std::fclose(handle_);
    handle_ = nullptr;
  }
}

cCRC32::cCRC32(bool allowHardware) : useClmul_(allowHardware && detail::clmulAvailable()) {
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
    table_[n] = c;
  }
  slices_[0] = table_;
  for (std::size_t k = 1; k < 16; ++k) {
    for (std::size_t n = 0; n < 256; ++n) {
      std::uint32_t prev = slices_[k - 1][n];
      slices_[k][n] = (prev >> 8) ^ table_[prev & 0xFF];
    }
  }
}

std::uint32_t cCRC32::update(std::uint32_t crc, std::span<const std::uint8_t> bytes) const {
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
  if (n >= 64 && useClmul_) {
    const std::size_t chunk = n & ~static_cast<std::size_t>(15);
    crc = detail::crc32Clmul(p, chunk, crc);
    p += chunk;
    n -= chunk;
  }
  auto load32 = [](const std::uint8_t* q) {
    return static_cast<std::uint32_t>(q[0]) | static_cast<std::uint32_t>(q[1]) << 8 |
           static_cast<std::uint32_t>(q[2]) << 16 | static_cast<std::uint32_t>(q[3]) << 24;
  };
  const auto& t = slices_;
  while (n >= 16) {
    const std::uint32_t a = crc ^ load32(p);
    const std::uint32_t b = load32(p + 4);
    const std::uint32_t c = load32(p + 8);
    const std::uint32_t d = load32(p + 12);
    crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
          t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
          t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
          t[0][d >> 24];
    p += 16;
    n -= 16;
  }
  while (n-- > 0) crc = (crc >> 8) ^ table_[(crc ^ *p++) & 0xFF];
  return crc;
}

std::uint32_t cCRC32::GetFileCrc32(cBinaryFileStream& stream) const {
  std::array<std::uint8_t, 8192> buffer{};
  std::uint32_t crc = 0xFFFFFFFFu;
  std::int32_t n = stream.Read(buffer.data(), 8192);
  while (n > 0) {
    crc = update(crc, std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
    n = stream.Read(buffer.data(), 8192);
  }
  return crc ^ 0xFFFFFFFFu;
}

std::uint32_t cCRC32::GetByteArrayCrc32(std::span<const std::uint8_t> bytes) const {
  return update(0xFFFFFFFFu, bytes) ^ 0xFFFFFFFFu;
}

}  // namespace velmor
