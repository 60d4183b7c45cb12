#pragma once
// The blocks of a product file in file order, each with its block header.
// A block as read stays a place in the bytes that were loaded; a block the
// editor rebuilt or replaced holds its own bytes. A file of millions of tiny
// blocks then costs 8 bytes per block instead of a byte vector each.
#include <cstdint>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "../common/bytes.hpp"

namespace velmor {

class BlockList {
 public:
  // One block's bytes, valid until the list changes. Converts to Bytes and
  // compares with Bytes by content.
  class Ref : public std::span<const std::uint8_t> {
   public:
    using std::span<const std::uint8_t>::span;
    Ref(std::span<const std::uint8_t> bytes) : std::span<const std::uint8_t>(bytes) {}  // NOLINT
    operator Bytes() const { return Bytes(begin(), end()); }                            // NOLINT
    friend bool operator==(Ref a, Ref b);
    friend bool operator==(Ref a, const Bytes& b) { return a == Ref(b); }
  };

  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Ref;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Ref;
    const_iterator(const BlockList* list, std::size_t at) : list_(list), at_(at) {}
    Ref operator*() const { return (*list_)[at_]; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    bool operator==(const const_iterator& other) const = default;

   private:
    const BlockList* list_;
    std::size_t at_;
  };

  // Starts an empty list over the bytes of a file just read.
  void load(std::shared_ptr<const Bytes> source);
  // Appends the block at `offset` of those bytes, `length` bytes long.
  void addLoaded(std::size_t offset, std::size_t length);
  // Appends a block of its own bytes (an empty one for a block that is dropped).
  void push_back(Bytes bytes);

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void reserve(std::size_t count) { entries_.reserve(count); }
  Ref operator[](std::size_t k) const;
  Ref back() const { return (*this)[size() - 1]; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  // Replaces block k; puts a block in at position k (the blocks from k on
  // move up by one); takes block k out.
  void set(std::size_t k, Bytes bytes);
  void insert(std::size_t k, Bytes bytes);
  void erase(std::size_t k);

  // The bytes the loaded blocks lie in (empty before a load).
  std::span<const std::uint8_t> source() const;
  // True while block k is the block read from the file at `offset`.
  bool loadedAt(std::size_t k, std::size_t offset) const;

  friend bool operator==(const BlockList& a, const BlockList& b);

 private:
  static constexpr std::uint32_t kOwned = 0xFFFFFFFF;  // length of an entry whose bytes are its own
  struct Entry {
    std::uint32_t offset = 0;  // into the source, or into owned_
    std::uint32_t length = 0;
  };
  Entry own(Bytes bytes);

  std::shared_ptr<const Bytes> source_;
  std::vector<Entry> entries_;
  std::vector<Bytes> owned_;
};

}  // namespace velmor
