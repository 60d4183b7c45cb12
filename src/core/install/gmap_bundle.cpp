#include "gmap_bundle.hpp"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <random>
#include <string_view>
#include <system_error>

#include "../common/prompter.hpp"
#include "../img/img_directory.hpp"
#include "../img/typ_file.hpp"
#include "../platform/file_services.hpp"
#include "../platform/range_reader.hpp"
#include "../platform/unicode_text.hpp"
#include "../platform/utf8_path.hpp"
#include "../product/block_types.hpp"
#include "../product/loader.hpp"
#include "../product/tile_texts.hpp"
#include "registry_file.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// Index and search files can be large; they are read whole only to copy them.
constexpr std::uint64_t kMaxCopiedFile = std::uint64_t{1} << 31;

// The map number an IMG's name is made of; 0 when the name is not a number.
std::int64_t tileNumberOf(const std::string& stem) {
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(stem.data(), stem.data() + stem.size(), value);
  return ec == std::errc() && end == stem.data() + stem.size() ? value : 0;
}

struct SortedFiles {
  std::string index, mdr, basemap, typ;
  std::map<std::int64_t, std::string> tiles;
};

std::optional<std::string> sortFiles(const GmapRequest& request, SortedFiles& out) {
  out.typ = request.typFile;
  const std::string product = lowerUtf8(localFileName(request.productFile));
  auto takeOnce = [](std::string& slot, const std::string& file, const char* twice) -> std::optional<std::string> {
    if (!slot.empty()) return std::string(twice);
    slot = file;
    return std::nullopt;
  };
  for (const std::string& file : request.files) {
    const std::string name = lowerUtf8(localFileName(file));
    std::optional<std::string> refusal;
    if (name.ends_with(".tdb")) {
      if (name != product) refusal = kTwoTdbFiles;
    } else if (name.ends_with(".mdx")) {
      refusal = takeOnce(out.index, file, kTwoMdxFiles);
    } else if (name.find("mdr.img") != std::string::npos) {
      refusal = takeOnce(out.mdr, file, "Can't have 2 mdr files");
    } else if (name.ends_with(".typ")) {
      refusal = takeOnce(out.typ, file, "Can't have 2 typ files");
    } else if (name.ends_with(".img")) {
      if (name.find("gmapsup") != std::string::npos) continue;  // a device's file, not part of a product
      const std::int64_t number = tileNumberOf(localStem(file));
      if (number == 0) {
        refusal = takeOnce(out.basemap, file, kTwoBasemaps);
      } else if (!out.tiles.emplace(number, file).second) {
        refusal = "Two files hold tile " + std::to_string(number) + ": " + out.tiles[number] + " and " + file;
      }
    } else {
      refusal = file + " is not a file of a map product (.img, .mdx, .typ)";
    }
    if (refusal) return refusal;
  }
  return std::nullopt;
}

// Adds the subfiles of one IMG as the folder `folder` of the bundle.
std::optional<std::string> addImg(GmapPlan& plan, const std::string& img, const std::string& folder) {
  std::string error;
  auto reader = openRangeReader(img, error);
  if (!reader) return "Cannot read " + img + ": " + error;
  auto list = ImgDirectory::subfiles(*reader, error);
  if (!list) return img + ": " + error;
  plan.folders.push_back(folder);
  for (ImgSubfile& subfile : list->subfiles) {
    GmapEntry entry;
    entry.path = folder + "/" + subfile.name;
    entry.source = img;
    entry.imgBlockSize = list->blockSize;
    entry.blocks = std::move(subfile.blocks);
    entry.size = subfile.size;
    plan.entries.push_back(std::move(entry));
  }
  return std::nullopt;
}

void addCopy(GmapPlan& plan, const std::string& path, const std::string& source) {
  GmapEntry entry;
  entry.path = path;
  entry.source = source;
  plan.entries.push_back(std::move(entry));
}

std::string idsText(std::uint16_t familyId, std::uint16_t productId) {
  return "family " + std::to_string(familyId) + ", product " + std::to_string(productId);
}

}  // namespace

std::optional<std::string> windowsNameProblem(const std::string& name) {
  if (name.empty()) return std::string("it is empty");
  for (unsigned char c : name) {
    if (c < 32) return std::string("it holds a control character");
    if (std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos)
      return "it holds \"" + std::string(1, static_cast<char>(c)) + "\", which Windows forbids in names";
  }
  if (name.back() == '.' || name.back() == ' ') return std::string("Windows drops a dot or space at its end");
  std::string device = lowerUtf8(name.substr(0, name.find('.')));
  while (!device.empty() && device.back() == ' ') device.pop_back();
  static const char* const kDevices[] = {"con", "prn", "aux", "nul"};
  const bool numbered = device.size() == 4 && (device.rfind("com", 0) == 0 || device.rfind("lpt", 0) == 0) &&
                        device[3] >= '1' && device[3] <= '9';
  if (numbered || std::find(std::begin(kDevices), std::end(kDevices), device) != std::end(kDevices))
    return "\"" + device + "\" is a device name on Windows";
  return std::nullopt;
}

GmapPlanResult planGmap(const GmapRequest& request, Prompter& prompter) {
  GmapPlanResult result;
  auto fail = [&result](std::string text) {
    result.error = std::move(text);
    return result;
  };
  ProductFile file;
  ProductForm form;
  if (openProduct(file, form, request.productFile, prompter) != LoadStatus::Read)
    return fail("Cannot read the product file " + request.productFile);
  SortedFiles sorted;
  if (auto refusal = sortFiles(request, sorted)) return fail(*refusal);

  // Every tile the product file lists, and no other.
  std::map<std::int64_t, std::string> tiles = sorted.tiles;
  std::vector<std::string> tileFiles;
  for (int i = 0; i < static_cast<int>(form.detailMaps.size()); ++i) {
    const std::int64_t number = tileMapNumber(file, form, i);
    auto found = tiles.find(number);
    if (found == tiles.end())
      return fail("Tile " + tileImgName(file, form, i) + " of " + request.productFile + " is missing: list its " +
                  tileImgName(file, form, i) + ".img");
    tileFiles.push_back(found->second);
    tiles.erase(found);
  }
  // Named by a number that is no tile of the product, the overview map is
  // known by the overview block's map number inside it.
  const std::optional<std::uint32_t> overview = overviewMapNumberRead(file, form);
  if (sorted.basemap.empty() && overview) {
    for (auto it = tiles.begin(); it != tiles.end(); ++it) {
      if (!imgHoldsMap(it->second, *overview)) continue;
      sorted.basemap = it->second;
      tiles.erase(it);
      break;
    }
  }
  if (sorted.basemap.empty())
    return fail("No overview map among the files: BaseCamp needs the product's overview .img");
  if (!tiles.empty()) return fail(tiles.begin()->second + " is not a tile of " + request.productFile);

  GmapPlan plan;
  GmapInfo& info = plan.info;
  info.name = form.familyNameText;
  info.id = file.familyId;
  info.dataVersion = static_cast<std::uint16_t>(file.productVersion[0] | file.productVersion[1] << 8);
  if (auto problem = windowsNameProblem(info.name))
    return fail("The family name \"" + info.name + "\" cannot name the bundle's folder: " + *problem);
  plan.bundleName = info.name + ".gmap";
  GmapSubProduct sub;
  sub.name = form.seriesNameText;
  sub.id = file.productId;
  sub.directory = "Product" + std::to_string(file.productId);
  sub.tdb = localFileName(request.productFile);
  sub.baseMap = localStem(sorted.basemap);

  std::vector<std::string> named = {request.productFile, sorted.basemap};
  for (const std::string* f : {&sorted.index, &sorted.mdr, &sorted.typ})
    if (!f->empty()) named.push_back(*f);
  named.insert(named.end(), tileFiles.begin(), tileFiles.end());
  for (const std::string& f : named) {
    if (auto problem = windowsNameProblem(localFileName(f)))
      return fail("The name of " + f + " cannot be used in the bundle: " + *problem);
  }

  plan.entries.push_back(GmapEntry{"Info.xml", "", 0, {}, 0, "", false});  // its text comes last
  if (!sorted.index.empty()) {
    info.idx = localFileName(sorted.index);
    addCopy(plan, info.idx, sorted.index);
  }
  if (!sorted.mdr.empty()) {
    info.mdr = localStem(sorted.mdr);
    if (auto failed = addImg(plan, sorted.mdr, info.mdr)) return fail(*failed);
  }
  if (!sorted.typ.empty()) {
    std::string error;
    auto ids = readTypIds(sorted.typ, error);
    if (!ids) return fail(error);
    info.typ = localFileName(sorted.typ);
    bool patch = false;
    if (ids->familyId != file.familyId || ids->productId != file.productId) {
      const std::string differ = "The TYP file " + sorted.typ + " has the ids " +
                                 idsText(ids->familyId, ids->productId) + ", the product " +
                                 idsText(file.familyId, file.productId) + ": BaseCamp will not use its style.";
      TypIdChoice choice = request.typIds;
      if (choice == TypIdChoice::Ask) {
        const Answer answer = prompter.ask(differ + " Give the bundle's copy the product's ids?", Buttons::YesNoCancel);
        if (answer == Answer::Cancel) return fail("Cancelled");
        choice = answer == Answer::Yes ? TypIdChoice::Give : TypIdChoice::Keep;
      }
      if (choice == TypIdChoice::Refuse) {
        result.typIdsDiffer = true;
        return fail(differ);
      }
      patch = choice == TypIdChoice::Give;
    }
    if (patch) info.typ = patchedTypName(info.typ);
    addCopy(plan, info.typ, sorted.typ);
    plan.entries.back().patchTyp = patch;
  }
  plan.folders.push_back(sub.directory);
  addCopy(plan, sub.directory + "/" + sub.tdb, request.productFile);
  if (auto failed = addImg(plan, sorted.basemap, sub.directory + "/" + sub.baseMap)) return fail(*failed);
  for (const std::string& tile : tileFiles) {
    if (auto failed = addImg(plan, tile, sub.directory + "/" + localStem(tile))) return fail(*failed);
  }
  info.subProducts.push_back(std::move(sub));
  plan.entries.front().text = infoXmlText(info);
  std::sort(plan.folders.begin(), plan.folders.end());
  result.plan = std::move(plan);
  return result;
}

namespace {

std::string randomSuffix() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string suffix;
  for (int i = 0; i < 6; ++i) suffix += kLetters[device() % (sizeof(kLetters) - 1)];
  return suffix;
}

// A fresh folder of our own inside `parent`; nullopt with the reason.
std::optional<fs::path> freshFolder(const fs::path& parent, const std::string& kind, std::string& error) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    const fs::path folder = parent / pathFromUtf8(".velmor-" + kind + "-" + randomSuffix());
    std::error_code ec;
    if (fs::create_directory(folder, ec)) return folder;
    if (ec) {
      error = "Cannot write in " + utf8FromPath(parent) + ": " + ec.message();
      return std::nullopt;
    }
  }
  error = "Cannot make a temporary folder in " + utf8FromPath(parent);
  return std::nullopt;
}

std::optional<std::string> readSubfile(RangeReader& reader, const GmapEntry& entry, std::vector<std::uint8_t>& out) {
  out.assign(entry.size, 0);
  std::size_t at = 0;
  for (std::uint16_t block : entry.blocks) {
    if (at >= out.size()) break;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(entry.imgBlockSize), out.size() - at);
    std::string error;
    const std::int64_t got = reader.readAt(block * entry.imgBlockSize, std::span(out).subspan(at, count), error);
    if (got != static_cast<std::int64_t>(count))
      return "Cannot read " + entry.source + ": " + (error.empty() ? "it ended early" : error);
    at += count;
  }
  return std::nullopt;
}

std::optional<std::string> writeEntries(const GmapPlan& plan, const fs::path& root, FileServices& files) {
  for (const std::string& folder : plan.folders) {
    std::error_code ec;
    fs::create_directories(root / pathFromUtf8(folder), ec);
    if (ec) return "Cannot make the folder " + folder + ": " + ec.message();
  }
  std::string openImg;
  std::unique_ptr<RangeReader> reader;
  std::vector<std::uint8_t> bytes;
  for (const GmapEntry& entry : plan.entries) {
    const std::string target = utf8FromPath(root / pathFromUtf8(entry.path));
    std::string error;
    if (entry.source.empty()) {
      bytes.assign(entry.text.begin(), entry.text.end());
    } else if (entry.imgBlockSize > 0) {
      if (!reader || openImg != entry.source) {
        reader = openRangeReader(entry.source, error);
        if (!reader) return "Cannot read " + entry.source + ": " + error;
        openImg = entry.source;
      }
      if (auto failed = readSubfile(*reader, entry, bytes)) return failed;
    } else {
      auto whole = files.readAll(entry.source, entry.patchTyp ? kMaxTypFileSize : kMaxCopiedFile, error);
      if (!whole) return "Cannot read " + entry.source + ": " + error;
      bytes = std::move(*whole);
      if (entry.patchTyp) bytes = withTypIds(bytes, plan.info.id, plan.info.subProducts.front().id);
    }
    if (auto failed = files.atomicReplace(target, bytes)) return "Cannot write " + target + ": " + *failed;
  }
  return std::nullopt;
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

void removeQuietly(const fs::path& path) {
  std::error_code ec;
  fs::remove_all(path, ec);
}

// Builds the bundle (in a .gmapi folder when asked) in a temporary folder of
// `parent`; the folder to rename into place, or nullopt.
std::optional<fs::path> buildBeside(const GmapPlan& plan, const fs::path& parent, bool gmapi, FileServices& files,
                                    std::string& error) {
  auto temp = freshFolder(parent, "gmap", error);
  if (!temp) return std::nullopt;
  fs::path root = *temp;
  if (gmapi) {
    root /= pathFromUtf8(plan.bundleName);
    std::error_code ec;
    fs::create_directory(root, ec);
  }
  if (auto failed = writeEntries(plan, root, files)) {
    error = *failed;
    removeQuietly(*temp);
    return std::nullopt;
  }
  return temp;
}

}  // namespace

std::optional<std::string> writeGmap(const GmapPlan& plan, const std::string& target, bool gmapi, FileServices& files) {
  const fs::path to = pathFromUtf8(target);
  if (present(to)) return target + " exists already; nothing was written";
  fs::path parent = to.parent_path();
  if (parent.empty()) parent = ".";
  std::error_code ec;
  if (!fs::is_directory(parent, ec)) return "The folder " + utf8FromPath(parent) + " does not exist";
  std::string error;
  auto built = buildBeside(plan, parent, gmapi, files, error);
  if (!built) return error;
  // Checked again: another program may have made the target meanwhile, and
  // a rename would put the bundle inside an empty folder of that name.
  if (present(to)) {
    removeQuietly(*built);
    return target + " exists already; nothing was written";
  }
  fs::rename(*built, to, ec);
  if (ec) {
    removeQuietly(*built);
    return "Cannot move the bundle to " + target + ": " + ec.message();
  }
  return std::nullopt;
}

std::optional<std::string> installGmap(const GmapPlan& plan, const std::string& mapsFolder, Prompter& prompter,
                                       FileServices& files, std::string& error) {
  const fs::path maps = pathFromUtf8(mapsFolder);
  std::error_code ec;
  fs::create_directories(maps, ec);
  if (ec) {
    error = "Cannot make the maps folder " + mapsFolder + ": " + ec.message();
    return std::nullopt;
  }
  const fs::path target = maps / pathFromUtf8(plan.bundleName);
  const std::uint16_t productId = plan.info.subProducts.front().id;
  std::vector<fs::path> older;
  for (fs::directory_iterator it(maps, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = utf8FromPath(it->path().filename());
    std::error_code dirEc;
    if (name.rfind(".velmor-", 0) == 0 || !it->is_directory(dirEc)) continue;
    bool same = equalsNoCase(name, plan.bundleName);
    std::string why;
    if (auto text = files.readAll(utf8FromPath(it->path() / "Info.xml"), 1 << 20, why)) {
      auto info = parseInfoXml(std::string(text->begin(), text->end()));
      if (info && info->id == plan.info.id) {
        for (const GmapSubProduct& sub : info->subProducts) same = same || sub.id == productId;
      }
    }
    if (same) older.push_back(it->path());
  }
  if (!older.empty()) {
    std::string list;
    for (const fs::path& path : older) list += "\n" + utf8FromPath(path);
    if (prompter.ask("A bundle of this product is installed already:" + list + "\nReplace it?", Buttons::YesNo) !=
        Answer::Yes) {
      error = "Not installed: the installed bundle stays";
      return std::nullopt;
    }
  }
  auto built = buildBeside(plan, maps, false, files, error);
  if (!built) return std::nullopt;
  // The old bundles step aside first and come back if the new one cannot
  // take their place.
  std::vector<std::pair<fs::path, fs::path>> moved;
  auto restore = [&moved] {
    for (auto& [from, to] : moved) {
      std::error_code back;
      fs::rename(to, from, back);
    }
  };
  for (const fs::path& old : older) {
    std::string why;
    auto aside = freshFolder(maps, "old", why);
    if (aside) fs::rename(old, *aside / "bundle", ec);
    if (!aside || ec) {
      error = "Cannot move the installed bundle " + utf8FromPath(old) + " aside: " + (aside ? ec.message() : why);
      restore();
      for (auto& m : moved) removeQuietly(m.second.parent_path());
      if (aside) removeQuietly(*aside);
      removeQuietly(*built);
      return std::nullopt;
    }
    moved.emplace_back(old, *aside / "bundle");
  }
  fs::rename(*built, target, ec);
  if (ec) {
    error = "Cannot move the bundle to " + utf8FromPath(target) + ": " + ec.message();
    removeQuietly(*built);
    restore();
    for (auto& m : moved) removeQuietly(m.second.parent_path());
    return std::nullopt;
  }
  for (auto& m : moved) removeQuietly(m.second.parent_path());
  return utf8FromPath(target);
}

}  // namespace velmor
