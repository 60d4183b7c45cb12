#pragma once
// Writing the open product file back: checks, the rebuild of the edited
// blocks, a fresh checksum block, a read-back check, a one-time read-only
// backup and a replace of the target in one rename, so a save either
// completes or leaves the file on disk exactly as it was.
#include <optional>
#include <string>

#include "../common/log_sink.hpp"
#include "product_form.hpp"
#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "checksum_block.hpp"
#include "product_file.hpp"

namespace velmor {

struct SaveContext {
  ProductFile& file;
  ProductForm& form;
  Prompter& prompter;
  Activity& activity;
  LogSink& log;
  // The program's system folder. The CRC is taken in memory, so a save
  // writes nothing there; kept so callers need not change if that returns.
  std::string systemFolder;
  // The system's file services when null.
  FileServices* files = nullptr;
  // A clock-seeded source made for each save when null.
  RandomSource* random = nullptr;
};

// Saved: the target holds the new bytes. Refused: a check, an answer or a
// file in use stopped the save before anything was written. Failed: writing
// went wrong; the target is as it was.
enum class SaveOutcome { Saved, Refused, Failed };

inline constexpr const char* kFileInUse = "File in use (by Mapsource/Basecamp?) or 'read only'.";

SaveOutcome save(SaveContext& context, const std::string& target);

// The part of a save that touches no file: the rebuild, then the bytes to
// write, which are the last loaded or saved bytes for an unchanged model and
// otherwise the blocks with a new checksum block, read back before they are
// accepted. On a refusal `refusal` says why and the model is as it was.
struct ComposedFile {
  Bytes bytes;
  bool fromBlocks = false;        // the blocks joined (a changed model), not the bytes last loaded or saved
  std::optional<Bytes> checksum;  // the new checksum block, when one is written
};
std::optional<ComposedFile> composeSave(ProductFile& file, ProductForm& form, Prompter& prompter, RandomSource& random,
                                        std::string& refusal);

// Backup name: the file name up to its first "." (a leading "." does not
// count) followed by "_bak.tdb", in the same folder; a name without "." gets
// "_bak.tdb" appended.
std::string backupName(const std::string& path);
// Copies `path` to its backup name once: an existing backup is never
// replaced. The copy keeps the original's owner and group, and its mode
// without the write bits. Returns false, after saying why, when no backup
// exists afterwards: a save then stops rather than go on without one.
bool backup(const std::string& path, Prompter& prompter, FileServices& files);

// The progress bar under the map; a value of 0 or less leaves it unchanged.
void progr(Activity& activity, float percent);

// The File menu.
// "Save": the target is the product's own path.
SaveOutcome saveToPath(SaveContext& context);
// The name the Save dialog proposes: the product's path, "untitled.tdb" when it has none.
std::string proposedSaveName(const ProductFile& file);
// The checks of "Save As" and "Save a Copy" on the dialog's answer: empty
// ends it; a file name without ".tdb" but with a "." gets "This is not a tdb
// file."; without any "." ".tdb" is appended; an existing file is replaced
// only after Yes to "File exists. Replace this file?". Returns the target.
std::optional<std::string> checkSaveName(const std::string& answer, Prompter& prompter, const FileServices& files);
// "Save As": the target becomes the product's path once it is saved.
SaveOutcome saveAs(SaveContext& context, const std::string& dialogAnswer);
// "Save a Copy": writes the target and leaves the product's path alone.
SaveOutcome saveCopy(SaveContext& context, const std::string& dialogAnswer);

}  // namespace velmor
