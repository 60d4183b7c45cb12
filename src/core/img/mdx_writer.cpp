#include "mdx_writer.hpp"

#include "../product/field_encoding.hpp"
#include "../common/number_text.hpp"
#include "../product/tile_texts.hpp"

namespace velmor {

namespace {

constexpr std::uint32_t kRecordSize = 12;

std::optional<std::uint16_t> idBox(const std::string& text, const char* box, Prompter& prompter) {
  auto value = box16(text);
  if (!value) {
    prompter.message(std::string("The ") + box + " box must hold a whole number from 0 to 65535. No MDX was written.");
  }
  return value;
}

bool endsWithMdx(const std::string& path) {
  return path.size() >= 4 && toLowerAscii(path.substr(path.size() - 4)) == ".mdx";
}

}  // namespace

std::optional<Bytes> composeMdx(const ProductFile& file, const ProductForm& form, Prompter& prompter) {
  if (form.detailMaps.empty()) {
    prompter.message(kMdxNoTiles);
    return std::nullopt;
  }
  const auto pid = idBox(form.pidText, "PID", prompter);
  if (!pid) return std::nullopt;
  const auto fid = idBox(form.fidText, "FID", prompter);
  if (!fid) return std::nullopt;

  Bytes out = {'M', 'i', 'd', 'x', 'd', 0};
  out.reserve(14 + kRecordSize * form.detailMaps.size());
  appendLe32(out, kRecordSize);
  appendLe32(out, static_cast<std::uint32_t>(form.detailMaps.size()));
  for (std::size_t tile = 0; tile < form.detailMaps.size(); ++tile) {
    // The map number as the block holds it, which also names the tile's IMG file.
    const auto number = static_cast<std::uint32_t>(tileMapNumber(file, form, static_cast<int>(tile)));
    appendLe32(out, number);
    appendLe16(out, *pid);
    appendLe16(out, *fid);
    appendLe32(out, number);
  }
  return out;
}

std::string mdxBackupName(const std::string& path) {
  if (!endsWithMdx(path)) return path + "_bak.mdx";
  return path.substr(0, path.size() - 4) + "_bak.mdx";
}

MdxOutcome writeMdx(const std::string& path, const ProductFile& file, const ProductForm& form, Prompter& prompter,
                    FileServices& files, Activity& activity) {
  std::optional<Bytes> bytes = composeMdx(file, form, prompter);
  if (!bytes) return MdxOutcome::Refused;
  if (files.exists(path)) {
    const std::string backupPath = mdxBackupName(path);
    // The copy is read-only, keeps the old file's owner and stays the first
    // backup ever made, even against another program doing the same. A
    // backup name taken by a folder, a device or a link to one is no
    // backup: the old index is kept.
    if (!files.exists(backupPath)) prompter.message(kMdxBackupMessage + backupPath);
    std::string error;
    if (files.createBackup(path, backupPath, error) == BackupResult::Failed) {
      prompter.message(error + ": " + backupPath);
      return MdxOutcome::Failed;
    }
  }
  activity.busy(true);
  auto failed = files.atomicReplace(path, *bytes);
  activity.busy(false);
  if (failed) {
    prompter.message(*failed + ": " + path);
    return MdxOutcome::Failed;
  }
  return MdxOutcome::Written;
}

}  // namespace velmor
