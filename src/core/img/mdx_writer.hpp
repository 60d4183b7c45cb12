#pragma once
// The MDX index of a map product: for every detail-map tile its map number
// with the product and family ids, which MapSource reads to find the tiles.
#include <optional>
#include <string>

#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "../common/bytes.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

inline constexpr const char* kMdxNoTiles = "No data";
inline constexpr const char* kMdxBackupMessage = "Creating backuop: ";

// The whole MDX for the tiles of the product with the ids of its PID and FID
// boxes: "Midxd", 0, LE32(12), LE32(N), then per tile LE32(map number),
// LE16(PID), LE16(FID), LE32(map number). nullopt with the message shown when
// there are no tiles ("No data") or a box does not hold an id of 0 to 65535
// (the message names the box: cutting the number would index another product).
std::optional<Bytes> composeMdx(const ProductFile& file, const ProductForm& form, Prompter& prompter);

// "alps.mdx" gives "alps_bak.mdx": the name without ".mdx" and "_bak.mdx". A
// name that does not end in ".mdx" gets "_bak.mdx" appended.
std::string mdxBackupName(const std::string& path);

enum class MdxOutcome { Written, Refused, Failed };

// Composes the index and writes it to `path`. An existing file is first
// copied once to its backup name, shown with "Creating backuop: " and made
// read-only; a backup made earlier is never replaced. The new file replaces
// the old one in one rename, so a failed backup or write leaves the old index
// as it was (the error is shown).
MdxOutcome writeMdx(const std::string& path, const ProductFile& file, const ProductForm& form, Prompter& prompter,
                    FileServices& files, Activity& activity = quietActivity());

}  // namespace velmor
