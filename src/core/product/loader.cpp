#include "loader.hpp"

#include "map_window.hpp"
#include "../platform/file_services.hpp"
#include "block_types.hpp"
#include "damage_verdict.hpp"
#include "disk_state.hpp"
#include "../common/bytes.hpp"
#include "../common/number_text.hpp"
#include "product_decoder.hpp"

namespace velmor {

namespace {

std::string leastText(double value) { return value < 0 ? numberText(value) : " " + numberText(value); }

// A damaged file can hold millions of bad blocks. The first messages are
// shown; the next ones go to the error text, so the window never drowns in
// boxes; past those only their number is kept, so the error text stays small.
class BlockMessages {
 public:
  static constexpr std::int64_t kShown = 20;
  static constexpr std::int64_t kWritten = 1000;
  BlockMessages(Prompter& prompter, std::string& errorText) : prompter_(prompter), errorText_(errorText) {}
  void show(const std::string& text) {
    ++count_;
    if (count_ <= kShown) {
      prompter_.message(text);
    } else if (count_ <= kShown + kWritten) {
      appendErrorLine(errorText_, text);
    }
  }
  void finish() {
    const std::int64_t left = count_ - kShown - kWritten;
    if (left > 0) appendErrorLine(errorText_, std::to_string(left) + " more messages about blocks were left out.");
  }

 private:
  Prompter& prompter_;
  std::string& errorText_;
  std::int64_t count_ = 0;
};

// The blocks and the tiles of a file, counted from their framing before
// decoding, so that the lists are made once at their size instead of
// growing (and for a moment doubling) block by block.
struct BlockCounts {
  std::size_t blocks = 1;
  std::size_t tiles = 0;
};
BlockCounts countBlocks(const ByteReader& r, std::int64_t pos) {
  BlockCounts c;
  const auto size = static_cast<std::int64_t>(r.size());
  while (pos < size) {
    const std::int64_t n = r.bit2(pos + 1);
    if (n == 0) break;
    ++c.blocks;
    if (r.dat(pos) == DetailMapBlock) ++c.tiles;
    pos += n + 3;
  }
  return c;
}

// What a load is for: an edit keeps what it needs to save and compare
// later; a report reads the blocks once and is done.
enum class LoadUse { Edit, Report };

// Nothing of the file open before stays.
void startLoad(ProductFile& file, ProductForm& form, const std::string& path) {
  file.modified = false;
  file.path = path;
  form.zoom = 1.0f;
  form.panX = 0;
  form.panY = 0;
  file.data.clear();
  file.loadedData.clear();
  file.errorText.clear();
  form.rawBlockBoxes.clear();
  form.rawBlockPanelShown = false;
  form.keepChangesEnabled = false;
  form.tileCopyright1.clear();
  form.tileCopyright2.clear();

  file.diskIdentity = FileIdentity{};
  file.diskCrc = 0;
}

void endLoad(ProductFile& file) {
  file.modified = false;
  file.overviewEdited = false;
  file.copyrightEdited = false;
  file.mapWindowEdited = false;
}

LoadStatus loadBytes(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter,
                     Activity& activity) {
  startLoad(file, form, path);
  // Only a regular file within the limit is read, and never with an open
  // that could wait for ever (a pipe) or a read that never ends (a device).
  activity.busy(true);
  activity.progress(10);
  LoadStatus status = LoadStatus::Read;
  FileRead read = systemFiles().readFile(path, kMaxProductFileSize, OverLimit::Refuse);
  if (read.status == ReadStatus::TooLarge) {
    prompter.message("tdb files are limited to 25mb.");
    activity.busy(false);
    return LoadStatus::TooLarge;
  }
  if (read) {
    file.data = std::move(read.bytes);
    rememberDiskState(file, read.identity, file.data);
  } else {
    prompter.message(read.error);
    status = LoadStatus::Unreadable;
  }
  file.loadedData = file.data;
  activity.progress(45);
  endLoad(file);
  activity.busy(false);
  return status;
}

// Decodes `bytes`: the file's data for an edit, the bytes read for a report.
void decodeBlocks(ProductFile& file, ProductForm& form, std::span<const std::uint8_t> bytes, Prompter& prompter,
                  Activity& activity, LoadUse use) {
  activity.progress(75);
  activity.busy(true);
  form.zoom = 1.0f;

  form.copyrightPrint = false;
  form.copyrightDisplay = false;
  form.mapWindow = false;
  form.printing = true;
  file.report.clear();
  form.detailMaps = {};  // also gives back the room of a larger file
  file.block52Text.clear();
  file.block53Text.clear();
  form.selectedMap = 0;
  form.rawBlockBoxes.clear();
  form.rawBlockColours.clear();
  form.rawBlockPanelShown = false;
  form.keepChangesEnabled = false;
  form.tileState = TileState{};

  file.block52Index = -1;
  file.block53Index = -1;
  file.copyrightIndex = -1;
  file.overviewIndex = -1;
  file.checksumIndex = -1;
  file.droppedBlocks = 0;
  file.checksumText.clear();
  file.overallBounds = OverallBounds{};
  // The blocks as read stay places in a copy of the bytes read, so that
  // edits to `data` (the family id goes in at once) leave them as they were.
  const bool editing = use == LoadUse::Edit;
  file.blocks.load(editing ? std::make_shared<const Bytes>(file.data) : nullptr);

  ProductDecoder decoder(file, form, bytes);
  decoder.keepTiles(editing);
  const ByteReader& r = decoder.reader();
  BlockMessages messages(prompter, file.errorText);
  bool markedCorrupt = false;
  bool checksumMet = false;

  std::int64_t n = decoder.decodeHeader();
  std::int64_t pos = n + 3;
  if (editing) {
    const BlockCounts counts = countBlocks(r, pos);
    file.blocks.reserve(counts.blocks);
    form.detailMaps.reserve(counts.tiles);
  }
  int k = 0;
  const auto size = static_cast<std::int64_t>(bytes.size());
  while (pos < size) {
    const std::uint8_t type = r.dat(pos);
    n = decoder.bit2(pos + 1);
    if (n == 0) break;
    ++k;
    bool known = false;
    if (checksumMet) {
      messages.show("Header " + hexUpper(type) + " past end: File is corrupt.");
      MarkModified(file);
      markedCorrupt = true;
      if (editing) file.blocks.push_back({});  // an empty entry: saving drops the block
      ++file.droppedBlocks;
    } else {
      const std::int64_t end = std::min(pos + n + 3, size);
      if (editing) file.blocks.addLoaded(static_cast<std::size_t>(pos), static_cast<std::size_t>(end - pos));
      known = true;
      switch (type) {
        case OverviewMapBlock:
          file.overviewIndex = k;
          decoder.getoverview(pos);
          break;
        case CopyrightBlock: decoder.getcopyr(pos, k); break;
        case DetailMapBlock: decoder.getdetailmap(pos, k); break;
        case Block52: decoder.get52(pos, k); break;
        case Block53: decoder.get53(pos, k); break;
        case ChecksumBlock:
          file.checksumText = decoder.checksum(pos);
          file.checksumIndex = k;
          checksumMet = true;
          break;
        default: known = false;
      }
    }
    if (!known) messages.show("Unknown header:" + hexUpper(type) + " Header length incorrect.");
    pos += n + 3;
    if (pos >= size) break;
    if ((k & 1023) == 0) activity.yieldEvents();
  }

  messages.finish();
  activity.busy(false);
  const auto& b = file.overallBounds;
  decoder.appendReport("maxlat:" + numberText(b.greatestLatitude) + " minlat:" + leastText(b.leastLatitude));
  decoder.appendReport("maxlon:" + numberText(b.greatestLongitude) + " minlon:" + leastText(b.leastLongitude));
  activity.progress(1);
  mapWindowSizeRule(form, file.headerTailLength);
  if (!markedCorrupt) file.modified = false;
}

}  // namespace

LoadStatus loadbinary(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter,
                      Activity& activity) {
  return loadBytes(file, form, path, prompter, activity);
}

void get_data(ProductFile& file, ProductForm& form, Prompter& prompter, Activity& activity) {
  decodeBlocks(file, form, file.data, prompter, activity, LoadUse::Edit);
}

LoadStatus openProduct(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter,
                       Activity& activity) {
  LoadStatus status = loadbinary(file, form, path, prompter, activity);
  get_data(file, form, prompter, activity);
  return status;
}

ReportLoad openProductForReport(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter) {
  startLoad(file, form, path);
  ReportLoad out;
  // The bytes are only looked at, never kept for an edit, so they may lie
  // where the system takes a large file in fastest.
  BufferedRead read = systemFiles().readToBuffer(path, kMaxProductFileSize);
  if (read.status == ReadStatus::TooLarge) {
    prompter.message("tdb files are limited to 25mb.");
    out.status = LoadStatus::TooLarge;
  } else if (!read) {
    prompter.message(read.error);
    out.status = LoadStatus::Unreadable;
  }
  endLoad(file);
  // Decoded even when nothing was read, as an edit's load does: what an
  // earlier file left in the model goes.
  decodeBlocks(file, form, read.bytes.bytes(), prompter, quietActivity(), LoadUse::Report);
  out.verdict = judgeProductBytes(read.bytes.bytes());
  return out;
}

std::optional<std::uint32_t> overviewMapNumberRead(const ProductFile& file, const ProductForm& form) {
  std::uint64_t number = 0;
  if (file.overviewIndex < 0 || !parseHex(form.overviewNumberText, number) || number > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

}  // namespace velmor
