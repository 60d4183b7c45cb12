#pragma once
// Whether the product file on disk is still the one the window or the
// command line loaded: another program (a second editor, a map tool) may
// have written it since, and a save must not silently undo that.
#include <span>
#include <string>

#include "../platform/file_services.hpp"
#include "product_file.hpp"

namespace velmor {

inline constexpr const char* kChangedByAnotherProgram =
    "The file was changed by another program since it was opened. Replace it?";

// Two writes closer together than this may carry the same modification
// time (FAT keeps two seconds, some network file systems whole seconds).
inline constexpr std::int64_t kTimestampDoubtNs = 2'000'000'000;

// Remembers the file at the model's path as it is after a load or a save.
void rememberDiskState(ProductFile& file, const FileIdentity& identity, std::span<const std::uint8_t> bytes);

// True when `target` is the file the model was loaded from (or last saved
// to) and another program has changed it since: another file under the
// name, another size or modification time, or, when the time is too close
// to our look to tell, other bytes. A file that is gone is no conflict.
bool changedByAnotherProgram(const ProductFile& file, const std::string& target, const FileServices& files);

}  // namespace velmor
