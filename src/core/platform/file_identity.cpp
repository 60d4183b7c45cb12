// The parts of the file services that are the same on every system.
#include "file_services.hpp"

namespace velmor {

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
}

bool sameState(const FileIdentity& a, const FileIdentity& b) {
  return sameFile(a, b) && a.size == b.size && a.modifiedNs == b.modifiedNs;
}

std::optional<std::vector<std::uint8_t>> FileServices::readAll(const std::string& path, std::uint64_t limit,
                                                               std::string& error) const {
  FileRead read = readFile(path, limit, OverLimit::Refuse);
  if (!read) {
    error = read.error;
    return std::nullopt;
  }
  return std::move(read.bytes);
}

BufferedRead asBufferedRead(FileRead read) {
  BufferedRead out;
  out.status = read.status;
  out.bytes = ReadBuffer(std::move(read.bytes));
  out.error = std::move(read.error);
  out.identity = read.identity;
  return out;
}

BufferedRead FileServices::readToBuffer(const std::string& path, std::uint64_t limit) const {
  return asBufferedRead(readFile(path, limit, OverLimit::Refuse));
}

bool isOurTemporaryName(const std::string& name) {
  static constexpr std::string_view kPrefix = ".velmor-";
  static constexpr std::string_view kSuffix = ".tmp";
  constexpr std::size_t kRandom = 6;
  if (name.size() != kPrefix.size() + kRandom + kSuffix.size()) return false;
  if (name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  if (name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0) return false;
  for (std::size_t i = kPrefix.size(); i < kPrefix.size() + kRandom; ++i) {
    const char c = name[i];
    const bool letterOrDigit = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letterOrDigit) return false;
  }
  return true;
}

}  // namespace velmor
