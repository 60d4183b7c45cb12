#pragma once
// The bytes of a file read once and then only looked at, as the block report
// reads a product file. How the memory is had is the system's matter: on
// Linux a large buffer starts on a 2 MiB boundary and asks for 2 MiB pages,
// so a 25 MiB file is backed by a dozen page faults instead of thousands
// (each one costly under a hypervisor). A vector's memory cannot be placed
// that way, which is why this is not a vector.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmor {

class ReadBuffer {
 public:
  ReadBuffer() = default;
  // Takes over bytes read some other way.
  explicit ReadBuffer(std::vector<std::uint8_t> bytes);
  // Room for `capacity` bytes; none of them is filled yet. Empty when the
  // memory cannot be had.
  static ReadBuffer withRoom(std::size_t capacity);
  ~ReadBuffer();
  ReadBuffer(ReadBuffer&& other) noexcept;
  ReadBuffer& operator=(ReadBuffer&& other) noexcept;
  ReadBuffer(const ReadBuffer&) = delete;
  ReadBuffer& operator=(const ReadBuffer&) = delete;

  std::size_t capacity() const { return capacity_; }
  // The room still free after the filled bytes, and how many were put there.
  std::uint8_t* freeRoom() { return data_ + size_; }
  void filled(std::size_t count) { size_ += count; }

  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
  std::size_t size() const { return size_; }

 private:
  void release();

  std::vector<std::uint8_t> adopted_;
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  // What the system handed out, when the room is not the vector's.
  void* block_ = nullptr;
  std::size_t blockLength_ = 0;
};

}  // namespace velmor
