#include "read_buffer.hpp"

#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace velmor {

namespace {

#ifdef __linux__
constexpr std::size_t kLargePage = std::size_t{1} << 21;
// Below this a few small pages cost nothing worth avoiding.
constexpr std::size_t kLargeBuffer = 2 * kLargePage;
#endif

}  // namespace

ReadBuffer::ReadBuffer(std::vector<std::uint8_t> bytes) : adopted_(std::move(bytes)) {
  data_ = adopted_.data();
  size_ = adopted_.size();
  capacity_ = size_;
}

ReadBuffer ReadBuffer::withRoom(std::size_t capacity) {
  ReadBuffer buffer;
  if (capacity == 0) return buffer;
#ifdef __linux__
  if (capacity >= kLargeBuffer) {
    const std::size_t rounded = (capacity + kLargePage - 1) & ~(kLargePage - 1);
    // One large page more than needed, so that an aligned start lies inside;
    // the ends outside it are given back at once.
    const std::size_t asked = rounded + kLargePage;
    void* got = ::mmap(nullptr, asked, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (got != MAP_FAILED) {
      const auto start = reinterpret_cast<std::uintptr_t>(got);
      const std::uintptr_t aligned = (start + kLargePage - 1) & ~(kLargePage - 1);
      const std::size_t head = aligned - start;
      if (head > 0) ::munmap(got, head);
      const std::size_t tail = asked - head - rounded;
      if (tail > 0) ::munmap(reinterpret_cast<void*>(aligned + rounded), tail);
      // A refusal (no large pages on this system) leaves small pages.
      ::madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
      buffer.block_ = reinterpret_cast<void*>(aligned);
      buffer.blockLength_ = rounded;
      buffer.data_ = static_cast<std::uint8_t*>(buffer.block_);
      buffer.capacity_ = capacity;
      return buffer;
    }
  }
#endif
  auto* room = new (std::nothrow) std::uint8_t[capacity];
  if (!room) return buffer;
  buffer.block_ = room;
  buffer.data_ = room;
  buffer.capacity_ = capacity;
  return buffer;
}

void ReadBuffer::release() {
  if (block_) {
    if (blockLength_ > 0) {
#ifdef __linux__
      ::munmap(block_, blockLength_);
#endif
    } else {
      delete[] static_cast<std::uint8_t*>(block_);
    }
  }
  adopted_ = {};
  block_ = nullptr;
  blockLength_ = 0;
  data_ = nullptr;
  size_ = 0;
  capacity_ = 0;
}

ReadBuffer::~ReadBuffer() { release(); }

ReadBuffer::ReadBuffer(ReadBuffer&& other) noexcept { *this = std::move(other); }

ReadBuffer& ReadBuffer::operator=(ReadBuffer&& other) noexcept {
  if (this == &other) return *this;
  release();
  // A vector keeps its memory when moved, so the view into it stays valid.
  adopted_ = std::move(other.adopted_);
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  capacity_ = std::exchange(other.capacity_, 0);
  block_ = std::exchange(other.block_, nullptr);
  blockLength_ = std::exchange(other.blockLength_, 0);
  return *this;
}

}  // namespace velmor
