#include "save.hpp"

#include "block_types.hpp"
#include "crc32.hpp"
#include "disk_state.hpp"
#include "../common/number_text.hpp"
#include "rebuilders.hpp"
#include "save_check.hpp"

namespace velmor {

namespace {

class BusyPointer {
 public:
  explicit BusyPointer(Activity& activity) : activity_(activity) { activity_.busy(true); }
  ~BusyPointer() { activity_.busy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  Activity& activity_;
};

std::size_t fileNameStart(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

// A box's number the way the zero check reads it; nullopt for text that is
// no number at all (the header rebuild refuses that with its own message).
std::optional<std::uint16_t> idValue(const std::string& text) { return box16(text); }

// The blocks in file order without the loaded checksum block: its CRC is
// that of the bytes as loaded, so it goes whether or not a new one is written.
Bytes joinBlocks(const ProductFile& file) {
  std::size_t total = 0;
  for (const BlockList::Ref b : file.blocks) total += b.size();
  Bytes out;
  out.reserve(total + kChecksumBlockSize);
  for (std::size_t i = 0; i < file.blocks.size(); ++i) {
    if (static_cast<int>(i) == file.checksumIndex) continue;
    const BlockList::Ref b = file.blocks[i];
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

}  // namespace

void progr(Activity& activity, float percent) {
  activity.yieldEvents();
  if (percent > 0) activity.progress(percent);
}

std::string backupName(const std::string& path) {
  const std::size_t start = fileNameStart(path);
  const std::size_t dot = path.find('.', start + 1);
  if (start >= path.size() || dot == std::string::npos) return path + "_bak.tdb";
  return path.substr(0, dot) + "_bak.tdb";
}

bool backup(const std::string& path, Prompter& prompter, FileServices& files) {
  const std::string name = backupName(path);
  std::string error;
  switch (files.createBackup(path, name, error)) {
    case BackupResult::Existed: return true;  // the first backup ever made stays
    case BackupResult::Created:
      prompter.message("Created backup of original TDB as read only:\r\n\r\n" + name);
      return true;
    case BackupResult::Failed: break;
  }
  prompter.message(error + ": " + name + "\r\n\r\nThe backup could not be made, so the file was not saved.");
  return false;
}

std::optional<ComposedFile> composeSave(ProductFile& file, ProductForm& form, Prompter& prompter, RandomSource& random,
                                        std::string& refusal) {
  RebuildUndo undo(file, form);
  if (Refusal refused = rebuildBlocks(file, form, prompter)) {
    refusal = *refused;
    return std::nullopt;
  }
  if (form.overrideSettings) file.modified = true;
  ComposedFile out;
  if (!file.modified) {
    // Nothing changed: the bytes of the last load or save, checksum block included.
    out.bytes = file.loadedData;
    return out;
  }
  auto refuse = [&](const std::string& message) -> std::optional<ComposedFile> {
    undo.restore(file, form);
    refusal = message;
    return std::nullopt;
  };
  if (file.headerDamaged) {
    return refuse(
        refusalText("The header block of this file is damaged: its names run past its end, into the "
                    "blocks after it. It cannot be rewritten, so no change to this file can be saved."));
  }
  if (Refusal refused = checkBlockEntries(file.blocks)) return refuse(*refused);
  const bool writeChecksum = file.headerTailLength >= 1;
  // The loaded checksum block is the one the loader recognised by its type;
  // whatever the version says, a file never gets two of them, nor keeps one
  // whose CRC no longer matches.
  out.bytes = joinBlocks(file);
  out.fromBlocks = true;
  if (writeChecksum) {
    const std::uint32_t crc = cCRC32().GetByteArrayCrc32(out.bytes);
    out.checksum = makeChecksumBlock(crc, random);
    out.bytes.insert(out.bytes.end(), out.checksum->begin(), out.checksum->end());
  }
  if (Refusal refused = checkProductBytes(out.bytes, writeChecksum)) return refuse(*refused);
  return out;
}

namespace {

// The pipeline; `becomesPath` when the model's path names the target once
// it is saved (Save, Save As), so the file written is the one to watch.
SaveOutcome saveFile(SaveContext& context, const std::string& target, bool becomesPath) {
  ProductFile& file = context.file;
  ProductForm& form = context.form;
  Prompter& prompter = context.prompter;
  FileServices& files = context.files != nullptr ? *context.files : systemFiles();
  ClockRandom clockRandom;  // seeded now, once for this save
  RandomSource& random = context.random != nullptr ? *context.random : clockRandom;

  if (form.detailMaps.empty()) {
    prompter.message("No data.");
    return SaveOutcome::Refused;
  }
  if (!form.printing && parseNumber(form.versionText).value_or(0) < 4.09) {
    prompter.message("Change version to 4.09 or higher to disable Printing.");
    return SaveOutcome::Refused;
  }
  auto pid = idValue(form.pidText);
  auto fid = idValue(form.fidText);
  if ((pid && *pid == 0) || (fid && *fid == 0)) {
    const Answer answer =
        prompter.ask("FID or PID should not be zero.\r\n\r\nPlease check.\r\n\r\nContinue?", Buttons::YesNoCancel);
    if (answer != Answer::Yes) return SaveOutcome::Refused;
  }

  BusyPointer busy(context.activity);
  RebuildUndo undo(file, form);
  std::string refusal;
  std::optional<ComposedFile> composed = composeSave(file, form, prompter, random, refusal);
  if (!composed) {
    prompter.message(refusal);
    return SaveOutcome::Refused;
  }
  auto giveUp = [&](const std::string& message, SaveOutcome outcome) {
    undo.restore(file, form);
    prompter.message(message);
    return outcome;
  };
  Bytes& bytes = composed->bytes;
  std::optional<Bytes>& checksum = composed->checksum;

  if (auto blocked = files.checkWritable(target)) {
    // A read-only target is the system's refusal followed by the program's own hint.
    if (blocked->readOnly) return giveUp(blocked->text + "   " + kFileInUse, SaveOutcome::Refused);
    return giveUp(blocked->text + ": " + target + "\r\n\r\nThe file was not changed.", SaveOutcome::Refused);
  }
  if (files.heldOpen(target)) return giveUp(kFileInUse, SaveOutcome::Refused);
  if (changedByAnotherProgram(file, target, files) &&
      prompter.ask(kChangedByAnotherProgram, Buttons::YesNo) != Answer::Yes) {
    undo.restore(file, form);
    return SaveOutcome::Refused;
  }
  if (files.exists(target) && !backup(target, prompter, files)) {
    undo.restore(file, form);
    return SaveOutcome::Refused;
  }
  FileIdentity written;
  if (auto failed = files.atomicReplace(target, bytes, &written)) {
    return giveUp(*failed + ": " + target + "\r\n\r\nThe file was not changed.", SaveOutcome::Failed);
  }
  if (becomesPath) rememberDiskState(file, written, bytes);

  for (int p = 1; p <= 91; p += 10) progr(context.activity, static_cast<float>(p));
  context.log.savelog("Saved:" + target);
  progr(context.activity, 1);

  // The bytes on disk now stand for the unchanged model.
  file.loadedData = std::move(bytes);
  const bool loadedChecksum =
      file.checksumIndex >= 0 && static_cast<std::size_t>(file.checksumIndex) < file.blocks.size();
  if (checksum) {
    if (loadedChecksum) {
      file.blocks.set(static_cast<std::size_t>(file.checksumIndex), std::move(*checksum));
    } else {
      file.blocks.push_back(std::move(*checksum));
      file.checksumIndex = static_cast<int>(file.blocks.size()) - 1;
    }
  } else if (loadedChecksum && composed->fromBlocks) {
    // The file on disk has no checksum block now; neither has the model.
    file.blocks.set(static_cast<std::size_t>(file.checksumIndex), {});
    file.checksumIndex = -1;
  }
  file.mapWindowEdited = false;
  file.block52Text = form.tileCopyright1;
  file.block53Text = form.tileCopyright2;
  file.modified = false;
  file.overviewEdited = false;
  file.copyrightEdited = false;
  return SaveOutcome::Saved;
}

}  // namespace

SaveOutcome save(SaveContext& context, const std::string& target) {
  return saveFile(context, target, target == context.file.path);
}

SaveOutcome saveToPath(SaveContext& context) { return save(context, context.file.path); }

std::string proposedSaveName(const ProductFile& file) { return file.path.empty() ? "untitled.tdb" : file.path; }

std::optional<std::string> checkSaveName(const std::string& answer, Prompter& prompter, const FileServices& files) {
  if (answer.empty()) return std::nullopt;
  // The checks look at the file name only: a folder such as "maps.old" says
  // nothing about the file. The case of the path is kept, since on most
  // systems other than Windows it names a different file.
  const std::string name = toLowerAscii(answer.substr(fileNameStart(answer)));
  std::string target = answer;
  if (name.find(".tdb") == std::string::npos) {
    if (name.find('.') != std::string::npos) {
      prompter.message("This is not a tdb file.");
      return std::nullopt;
    }
    target += ".tdb";
  }
  if (target.size() > 3 && files.exists(target) &&
      prompter.ask("File exists. Replace this file?", Buttons::YesNoCancel) != Answer::Yes) {
    return std::nullopt;
  }
  return target;
}

SaveOutcome saveAs(SaveContext& context, const std::string& dialogAnswer) {
  FileServices& files = context.files != nullptr ? *context.files : systemFiles();
  auto target = checkSaveName(dialogAnswer, context.prompter, files);
  if (!target) return SaveOutcome::Refused;
  SaveOutcome outcome = saveFile(context, *target, true);
  if (outcome == SaveOutcome::Saved) context.file.path = *target;
  return outcome;
}

SaveOutcome saveCopy(SaveContext& context, const std::string& dialogAnswer) {
  FileServices& files = context.files != nullptr ? *context.files : systemFiles();
  auto target = checkSaveName(dialogAnswer, context.prompter, files);
  if (!target) return SaveOutcome::Refused;
  return save(context, *target);
}

}  // namespace velmor
