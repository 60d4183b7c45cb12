#include "block_list.hpp"

#include <algorithm>

namespace velmor {

bool operator==(BlockList::Ref a, BlockList::Ref b) { return std::ranges::equal(a, b); }

void BlockList::load(std::shared_ptr<const Bytes> source) {
  source_ = std::move(source);
  entries_ = {};
  owned_ = {};
}

void BlockList::addLoaded(std::size_t offset, std::size_t length) {
  // The loader never reads past 25 MB, so offsets and lengths fit 32 bits.
  entries_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
}

BlockList::Entry BlockList::own(Bytes bytes) {
  owned_.push_back(std::move(bytes));
  return {static_cast<std::uint32_t>(owned_.size() - 1), kOwned};
}

void BlockList::push_back(Bytes bytes) { entries_.push_back(own(std::move(bytes))); }

BlockList::Ref BlockList::operator[](std::size_t k) const {
  const Entry& e = entries_[k];
  if (e.length == kOwned) return Ref(owned_[e.offset]);
  return Ref(source_->data() + e.offset, e.length);
}

void BlockList::set(std::size_t k, Bytes bytes) {
  Entry& e = entries_[k];
  if (e.length == kOwned) {
    owned_[e.offset] = std::move(bytes);
  } else {
    e = own(std::move(bytes));
  }
}

void BlockList::insert(std::size_t k, Bytes bytes) {
  const Entry e = own(std::move(bytes));
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(k), e);
}

void BlockList::erase(std::size_t k) {
  const Entry e = entries_[k];
  if (e.length == kOwned) owned_[e.offset] = {};  // its slot stays, its bytes go
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(k));
}

std::span<const std::uint8_t> BlockList::source() const {
  if (!source_) return {};
  return *source_;
}

bool BlockList::loadedAt(std::size_t k, std::size_t offset) const {
  return k < entries_.size() && entries_[k].length != kOwned && entries_[k].offset == offset;
}

bool operator==(const BlockList& a, const BlockList& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    if (!(a[k] == b[k])) return false;
  }
  return true;
}

}  // namespace velmor
