#pragma once
// Reading a file piece by piece, for formats that are scanned rather than
// loaded whole: an IMG container can run to a gigabyte, and a scan needs only
// one stretch of it at a time. Only regular files are opened, and opening
// never waits on a FIFO or a device.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace velmor {

class RangeReader {
 public:
  virtual ~RangeReader() = default;
  virtual std::int64_t size() const = 0;
  // Reads up to out.size() bytes from `offset` (fewer at the end of the
  // data). Returns the number of bytes read, or -1 with the system's error
  // text in `error`.
  virtual std::int64_t readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) = 0;
};

// Opens a regular file for reading; nullptr and the error text when it cannot.
std::unique_ptr<RangeReader> openRangeReader(const std::string& path, std::string& error);

// Bytes already in memory, read the same way (fuzzing, tests).
class MemoryRangeReader : public RangeReader {
 public:
  explicit MemoryRangeReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int64_t size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  std::int64_t readAt(std::int64_t offset, std::span<std::uint8_t> out, std::string& error) override;

 private:
  std::span<const std::uint8_t> bytes_;
};

}  // namespace velmor
