#pragma once
// The CRC-32 of a saved product file (the reflected CRC of zlib and PNG) and
// the small read-only file stream it is taken through.
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace velmor {

class cBinaryFileStream {
 public:
  cBinaryFileStream() = default;
  ~cBinaryFileStream() { Dispose(); }
  cBinaryFileStream(const cBinaryFileStream&) = delete;
  cBinaryFileStream& operator=(const cBinaryFileStream&) = delete;

  // Closes any open file and opens `path` read-only. Throws FileNotFound
  // (error 53, source "<program>.File") when the file does not exist.
  void File(const std::string& path);
  const std::string& File() const { return path_; }
  std::int32_t Length() const { return length_; }
  // Places up to `count` bytes at the start of buffer and returns how many.
  // The call that finds nothing left closes the file.
  std::int32_t Read(std::uint8_t* buffer, std::int32_t count);
  void Dispose();
  bool isOpen() const { return handle_ != nullptr; }

 private:
  std::string path_;
  std::FILE* handle_ = nullptr;
  std::int32_t length_ = 0;
  std::int32_t position_ = 0;
};

struct FileNotFound {
  int number = 53;
  std::string source;
  std::string description = "File not found";
};

class cCRC32 {
 public:
  // allowHardware false keeps to the tables (the tests compare both paths).
  explicit cCRC32(bool allowHardware = true);
  std::uint32_t GetFileCrc32(cBinaryFileStream& stream) const;
  std::uint32_t GetByteArrayCrc32(std::span<const std::uint8_t> bytes) const;

  // Folds bytes into a running CRC (start 0xFFFFFFFF, finish with XOR 0xFFFFFFFF).
  std::uint32_t update(std::uint32_t crc, std::span<const std::uint8_t> bytes) const;

 private:
  bool useClmul_;
  std::array<std::uint32_t, 256> table_{};
  // Slicing-by-16 tables derived from table_: sixteen bytes per step, same CRC.
  std::array<std::array<std::uint32_t, 256>, 16> slices_{};
};

// Name of the running program, used as the source of stream errors.
std::string executableName();

}  // namespace velmor
