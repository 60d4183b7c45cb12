#include "product_check.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "../img/img_directory.hpp"
#include "../img/img_scanner.hpp"
#include "../img/typ_file.hpp"
#include "../platform/file_services.hpp"
#include "../platform/range_reader.hpp"
#include "../platform/unicode_text.hpp"
#include "../platform/utf8_path.hpp"
#include "../common/byte_reader.hpp"
#include "../product/loader.hpp"
#include "../common/number_text.hpp"
#include "../product/tile_layout.hpp"
#include "../product/tile_texts.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// Collects what the loader says, so that it becomes findings instead of
// messages; every question is answered No (a check changes nothing).
class CollectingPrompter : public Prompter {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  Answer ask(const std::string& text, Buttons buttons) override {
    messages.push_back(text);
    return buttons == Buttons::Ok ? Answer::Ok : buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
  std::vector<std::string> messages;
};

std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

std::string imgStem(const std::string& name) {
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool isEightDigits(const std::string& stem) {
  return stem.size() == 8 && std::all_of(stem.begin(), stem.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct Box {
  double north = 0, east = 0, south = 0, west = 0;
};

std::string boxText(const Box& b) {
  return "N " + formatDegrees(b.north) + " E " + formatDegrees(b.east) + " S " + formatDegrees(b.south) + " W " +
         formatDegrees(b.west);
}

// Half a map unit of the IMG's 24-bit bounds, as their degrees are cut to five decimals.
constexpr double kSlack = 1.1e-5;

bool contains(const Box& outer, const Box& inner) {
  return inner.north <= outer.north + kSlack && inner.south >= outer.south - kSlack &&
         inner.east <= outer.east + kSlack && inner.west >= outer.west - kSlack;
}

// The files to check: the ones given, else the regular files of the folder.
std::vector<std::string> filesToCheck(const std::string& productPath, const std::vector<std::string>& given,
                                      Findings& out) {
  if (!given.empty()) return given;
  std::vector<std::string> found;
  fs::path folder = pathFromUtf8(productPath).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    addError(out, "cannot list the product's folder " + utf8FromPath(folder) + ": " + ec.message());
    return found;
  }
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) {
      addError(out, "cannot list the product's folder " + utf8FromPath(folder) + ": " + ec.message());
      break;
    }
    std::error_code typeError;
    // Only regular files: a FIFO or a device named like a map file is never opened.
    if (it->is_regular_file(typeError)) found.push_back(utf8FromPath(it->path()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

struct ReadDirectory {
  std::optional<ImgDirectory> directory;
  std::string problem;  // why there is none
};

ReadDirectory readImgDirectory(const std::string& path) {
  std::string error;
  auto reader = openRangeReader(path, error);
  if (!reader) return {std::nullopt, error};
  ImgDirectory dir = ImgDirectory::read(*reader);
  if (dir.truncated()) return {std::nullopt, kImgTruncated};
  if (!dir.readable()) return {std::nullopt, "not an IMG container that can be read (damaged or scrambled)"};
  return {std::move(dir), ""};
}

// The bounds of the TRE of map `number` in a container, in degrees.
std::optional<Box> treBounds(const std::string& path, const ImgDirectory& dir, const std::string& number) {
  for (const auto& [start, entry] : dir.entries()) {
    if (entry.kind != "TRE" || entry.name != number) continue;
    std::string error;
    auto reader = openRangeReader(path, error);
    if (!reader) return std::nullopt;
    std::vector<std::uint8_t> header(0x21);
    if (reader->readAt(start, header, error) != static_cast<std::int64_t>(header.size())) return std::nullopt;
    const ImgTile tile = treHeaderBounds(ByteReader(header), 0);
    return Box{imgUnitsToDegrees(tile.north), imgEastToDegrees(tile.east), imgUnitsToDegrees(tile.south),
               imgUnitsToDegrees(tile.west)};
  }
  return std::nullopt;
}

class ProductChecker {
 public:
  ProductChecker(const ProductFile& file, const ProductForm& form, Findings& out)
      : file_(file), form_(form), out_(out) {}

  void ids() {
    if (file_.familyId == kMapCompilerDefaultFamilyId) {
      addWarning(out_,
                 "family id 6324 is the map compiler's default: every other map built without a family id "
                 "has it too, and MapSource shows only one of them");
    }
    if (file_.familyId == 0) addWarning(out_, "family id 0 lies outside 1..65535");
    if (file_.productId == 0) addWarning(out_, "product id 0 lies outside 1..65535");
  }

  void sortFiles(const std::vector<std::string>& files) {
    for (const std::string& path : files) {
      const std::string name = lowerUtf8(localFileName(path));
      if (name.ends_with(".mdx")) mdx_.push_back(path);
      else if (name.ends_with(".typ")) typ_.push_back(path);
      else if (name.ends_with(".img") && !name.ends_with("mdr.img") && name.find("gmapsup") == std::string::npos)
        imgs_[imgStem(name)] = path;
    }
  }

  void tiles() {
    Box overview = overviewBox();
    std::vector<std::string> missing, outside;
    int matched = 0;
    for (int i = 0; i < static_cast<int>(form_.detailMaps.size()); ++i) {
      const TileSource s = tileSource(file_, form_.detailMaps[static_cast<std::size_t>(i)]);
      const TileLayout layout = readTileLayout(s.reader, s.origin);
      const std::string number = mapNumberName(layout.mapNumber);
      numbers_.insert(number);
      const Box box{mapUnitsToDegrees(layout.north), eastMapUnitsToDegrees(layout.east),
                    mapUnitsToDegrees(layout.south), mapUnitsToDegrees(layout.west)};
      if (hasOverview_ && !contains(overview, box)) outside.push_back(number + " (" + boxText(box) + ")");
      auto img = imgs_.find(number);
      if (img == imgs_.end()) {
        missing.push_back(number + ".img");
        continue;
      }
      if (tileMatches(layout, number, img->second, overview, outside)) ++matched;
    }
    if (!missing.empty()) {
      addError(out_, std::to_string(missing.size()) + " detail map" + (missing.size() == 1 ? " has" : "s have") +
                         " no IMG among the files: " + shortList(missing));
    }
    if (!outside.empty()) {
      addError(out_, "the overview bounds (" + boxText(overview) + ") do not contain " +
                         std::to_string(outside.size()) + " tile" + (outside.size() == 1 ? "" : "s") + ": " +
                         shortList(outside) + "; MapSource leaves out what lies outside them");
    } else if (hasOverview_ && !form_.detailMaps.empty()) {
      addOk(out_, "the overview bounds contain every tile");
    }
    if (matched == static_cast<int>(form_.detailMaps.size()) && matched > 0) {
      addOk(out_, std::to_string(matched) + " detail map" + (matched == 1 ? "" : "s") +
                      ", each with its IMG of the same subfiles and sizes");
    }
  }

  void overviewMap() {
    if (!hasOverview_) {
      addError(out_, "the product file has no overview map block");
      return;
    }
    const std::string number = mapNumberName(static_cast<std::uint32_t>(overviewNumber_));
    std::vector<std::string> others;
    bool found = false;
    for (const auto& [stem, path] : imgs_) {
      if (numbers_.count(stem)) continue;
      ReadDirectory read = readImgDirectory(path);
      if (!read.directory) {
        addError(out_, localFileName(path) + ": " + read.problem);
        continue;
      }
      bool overviewInside = false;
      std::string named;
      for (const auto& [start, entry] : read.directory->entries()) {
        if (entry.name == number) overviewInside = true;
        if (named.empty() || entry.name < named) named = entry.name;
      }
      if (overviewInside && !found) {
        addOk(out_, "overview map (basemap) " + localFileName(path) + " has the overview block's map number " + number);
        found = true;
        continue;
      }
      if (isEightDigits(stem)) {
        addWarning(out_, localFileName(path) + " has no detail map in the product file");
      } else {
        others.push_back(localFileName(path) + " (map number " + named + ")");
      }
    }
    if (found) return;
    if (!others.empty()) {
      addError(out_, "no overview map (basemap) IMG with the overview block's map number " + number + ": " +
                         shortList(others) + " hold" + (others.size() == 1 ? "s" : "") + " another");
    } else {
      addError(out_, "no overview map (basemap) IMG among the files: none holds map number " + number);
    }
  }

  void index() {
    if (mdx_.empty()) {
      addWarning(out_, "no MDX index among the files: MapSource cannot search the map's index");
      return;
    }
    for (const std::string& path : mdx_) checkMdx(path);
  }

  void typFiles() {
    for (const std::string& path : typ_) {
      std::string error;
      auto ids = readTypIds(path, error);
      if (!ids) {
        addError(out_, localFileName(path) + ": " + error);
        continue;
      }
      bool sound = true;
      if (ids->familyId != file_.familyId) {
        addError(out_, localFileName(path) + " is for family id " + std::to_string(ids->familyId) +
                           ", the product's is " + std::to_string(file_.familyId) + ": its symbols are not used");
        sound = false;
      }
      if (ids->productId != file_.productId) {
        addError(out_, localFileName(path) + " is for product id " + std::to_string(ids->productId) +
                           ", the product's is " + std::to_string(file_.productId));
        sound = false;
      }
      if (sound) addOk(out_, localFileName(path) + " has the product's family and product ids");
    }
  }

 private:
  Box overviewBox() {
    if (file_.overviewIndex < 0 || static_cast<std::size_t>(file_.overviewIndex) >= file_.blocks.size()) return {};
    const ByteReader r(file_.blocks[static_cast<std::size_t>(file_.overviewIndex)]);
    hasOverview_ = r.size() >= 3 + 24;
    overviewNumber_ = r.bit4(3);
    return Box{mapUnitsToDegrees(r.bit4(11)), eastMapUnitsToDegrees(r.bit4(15)), mapUnitsToDegrees(r.bit4(19)),
               mapUnitsToDegrees(r.bit4(23))};
  }

  // The tile's IMG holds the subfiles the product file lists, of the sizes it lists.
  bool tileMatches(const TileLayout& layout, const std::string& number, const std::string& path, const Box& overview,
                   std::vector<std::string>& outside) {
    ReadDirectory read = readImgDirectory(path);
    if (!read.directory) {
      addError(out_, localFileName(path) + ": " + read.problem);
      return false;
    }
    std::map<std::string, std::uint32_t> inImg;
    for (const auto& [start, entry] : read.directory->entries())
      if (entry.name == number) inImg[entry.kind] = entry.size;
    if (inImg.empty()) {
      addError(out_, localFileName(path) + " holds no subfile of map " + number + ": it is another tile");
      return false;
    }
    std::vector<std::string> differences;
    std::set<std::string> listedKinds;
    for (const TileSubfile& sub : layout.subfiles) {
      const std::string name = sub.name ? std::string(sub.name->begin(), sub.name->end()) : "?";
      const auto dot = name.rfind('.');
      const std::string kind = dot == std::string::npos ? name : name.substr(dot + 1);
      listedKinds.insert(kind);
      auto found = inImg.find(kind);
      if (found == inImg.end()) differences.push_back(kind + " is missing from the IMG");
      else if (found->second != sub.size)
        differences.push_back(kind + " has " + std::to_string(sub.size) + " bytes in the product file, " +
                              std::to_string(found->second) + " in the IMG");
    }
    for (const auto& [kind, size] : inImg)
      if (!listedKinds.count(kind)) differences.push_back(kind + " is in the IMG but not in the product file");
    if (!differences.empty()) {
      addError(out_, localFileName(path) +
                         " is not the tile the product file lists (rebuilt since?): " + shortList(differences));
      return false;
    }
    if (hasOverview_) {
      if (auto box = treBounds(path, *read.directory, number); box && !contains(overview, *box))
        outside.push_back(localFileName(path) + " (" + boxText(*box) + ")");
    }
    return true;
  }

  void checkMdx(const std::string& path) {
    FileRead read = systemFiles().readFile(path, 64 * 1024 * 1024, OverLimit::Refuse);
    if (!read) {
      addError(out_, localFileName(path) + ": " + read.error);
      return;
    }
    const std::vector<std::uint8_t>& bytes = read.bytes;
    const ByteReader r(bytes);
    if (bytes.size() < 14 || std::string(bytes.begin(), bytes.begin() + 5) != "Midxd") {
      addError(out_, localFileName(path) + " is not an MDX index (no \"Midxd\" header)");
      return;
    }
    const std::int64_t recordSize = r.bit4(6);
    const std::int64_t count = static_cast<std::uint32_t>(r.bit4(10));
    if (recordSize != 12 || 14 + count * 12 > static_cast<std::int64_t>(bytes.size())) {
      addError(out_, localFileName(path) + " is damaged: it says " + std::to_string(count) + " records of " +
                         std::to_string(recordSize) + " bytes in " + std::to_string(bytes.size()) + " bytes");
      return;
    }
    std::vector<std::string> problems;
    if (count != static_cast<std::int64_t>(form_.detailMaps.size()))
      problems.push_back(std::to_string(count) + " records for " + std::to_string(form_.detailMaps.size()) + " tiles");
    std::set<std::string> indexed;
    std::set<std::uint16_t> pids, fids;
    for (std::int64_t k = 0; k < count; ++k) {
      const std::int64_t at = 14 + k * 12;
      indexed.insert(mapNumberName(static_cast<std::uint32_t>(r.bit4(at))));
      pids.insert(r.bit2(at + 4));
      fids.insert(r.bit2(at + 6));
    }
    std::vector<std::string> notIndexed, notTiles;
    for (const std::string& n : numbers_)
      if (!indexed.count(n)) notIndexed.push_back(n);
    for (const std::string& n : indexed)
      if (!numbers_.count(n)) notTiles.push_back(n);
    if (!notIndexed.empty()) problems.push_back("tiles not indexed: " + shortList(notIndexed));
    if (!notTiles.empty()) problems.push_back("map numbers that are no tile of the product: " + shortList(notTiles));
    for (std::uint16_t pid : pids)
      if (pid != file_.productId)
        problems.push_back("product id " + std::to_string(pid) + " instead of " + std::to_string(file_.productId));
    for (std::uint16_t fid : fids)
      if (fid != file_.familyId)
        problems.push_back("family id " + std::to_string(fid) + " instead of " + std::to_string(file_.familyId));
    if (problems.empty()) {
      addOk(out_, localFileName(path) + " indexes every tile with the product's ids");
    } else {
      std::string text;
      for (const std::string& p : problems) text += (text.empty() ? "" : "; ") + p;
      addError(out_, localFileName(path) + " does not index this product: " + text);
    }
  }

  const ProductFile& file_;
  const ProductForm& form_;
  Findings& out_;
  std::vector<std::string> mdx_, typ_;
  std::map<std::string, std::string> imgs_;  // lower-case stem -> path
  std::set<std::string> numbers_;            // the detail maps' eight-digit numbers
  bool hasOverview_ = false;
  std::int32_t overviewNumber_ = 0;
};

}  // namespace

ProductCheck checkProductFiles(const std::string& productPath, const std::vector<std::string>& files,
                               Activity& activity) {
  ProductCheck check;
  Findings& out = check.findings;
  ProductFile file;
  ProductForm form;
  CollectingPrompter prompter;
  activity.busy(true);
  if (openProduct(file, form, productPath, prompter) != LoadStatus::Read) {
    std::string why;
    for (const std::string& m : prompter.messages) why += (why.empty() ? "" : " ") + oneLine(m);
    addError(out, "cannot read the product file " + productPath + (why.empty() ? "" : ": " + why));
    activity.busy(false);
    return check;
  }
  for (const std::string& m : prompter.messages) addWarning(out, "product file: " + oneLine(m));
  if (!file.errorText.empty()) addWarning(out, "product file: " + oneLine(file.errorText));
  check.productRead = true;
  check.product.path = productPath;
  check.product.seriesName = form.seriesNameText;
  check.product.familyId = file.familyId;
  check.product.productId = file.productId;
  for (int i = 0; i < static_cast<int>(form.detailMaps.size()); ++i)
    check.product.tiles.push_back(tileMapNumber(file, form, i));

  ProductChecker checker(file, form, out);
  checker.ids();
  checker.sortFiles(filesToCheck(productPath, files, out));
  activity.yieldEvents();
  checker.tiles();
  checker.overviewMap();
  checker.index();
  checker.typFiles();
  activity.busy(false);
  return check;
}

}  // namespace velmor
