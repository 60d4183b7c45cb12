#include "disk_state.hpp"

#include <algorithm>

#include "block_types.hpp"
#include "crc32.hpp"

namespace velmor {

void rememberDiskState(ProductFile& file, const FileIdentity& identity, std::span<const std::uint8_t> bytes) {
  file.diskIdentity = identity;
  file.diskCrc = identity.exists ? cCRC32().GetByteArrayCrc32(bytes) : 0;
}

bool changedByAnotherProgram(const ProductFile& file, const std::string& target, const FileServices& files) {
  const FileIdentity& loaded = file.diskIdentity;
  if (!loaded.exists) return false;
  const FileIdentity now = files.identity(target);
  if (!now.exists) return false;
  if (target != file.path && !sameFile(now, loaded)) return false;  // another file, asked about by Save As
  if (!sameState(now, loaded)) return true;
  if (loaded.takenNs - loaded.modifiedNs >= kTimestampDoubtNs) return false;
  // Written within the timestamps' granularity of our look: the same time
  // proves nothing, the bytes do.
  const FileRead read =
      files.readFile(target, std::min<std::uint64_t>(loaded.size, kMaxProductFileSize), OverLimit::Refuse);
  return !read || read.bytes.size() != loaded.size || cCRC32().GetByteArrayCrc32(read.bytes) != file.diskCrc;
}

}  // namespace velmor
