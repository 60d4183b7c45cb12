#include "installed_products.hpp"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "../common/bytes.hpp"
#include "../common/error_text.hpp"
#include "../common/prompter.hpp"
#include "../platform/registry_reader.hpp"
#include "../platform/unicode_text.hpp"
#include "../platform/utf8_path.hpp"
#include "../platform/file_services.hpp"
#include "../platform/wine_prefix.hpp"
#include "gmap_info.hpp"
#include "install_environment.hpp"
#include "product_summary.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// Deeper than any real registry tree; a link loop in a damaged registry
// must not walk forever.
constexpr int kMaxWalkDepth = 64;

struct SubkeyWalk {
  std::string name;
  std::string text;  // its line and its own dump
};

struct KeyWalk {
  std::string valuesText;
  std::vector<SubkeyWalk> subkeys;
};

std::string childPath(const std::string& path, const std::string& name) {
  if (!path.empty() && path.back() == '\\') return path + name;
  return path + "\\" + name;
}

std::string walkText(const KeyWalk& walk, int indent);

KeyWalk walkKey(RegistryReader& reader, const std::string& path, int indent, Prompter& prompter, int depth) {
  KeyWalk walk;
  auto listing = reader.readKey(path);
  if (!listing) return walk;
  const std::string margin(static_cast<std::size_t>(indent), ' ');
  for (const RegistryValue& value : listing->values) {
    auto byte = [&value](std::size_t i) -> std::uint32_t { return i < value.data.size() ? value.data[i] : 0; };
    if (value.type == kRegSz) {
      const std::string name = lowerUtf8(value.name);
      if (name == "typ" || name == "tdb") walk.valuesText += registryText(value) + kCrLf;
    } else if (value.type == kRegBinary) {
      if (byte(1) < 0x80) walk.valuesText += std::to_string(byte(1) << 8 | byte(0)) + kCrLf;
    } else if (value.type == kRegDword) {
      const std::uint32_t dword = byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
      walk.valuesText += margin + "> " + value.name + " = " + hexUpper(dword) + kCrLf;
    }
  }
  std::vector<std::string> defaults;
  for (const std::string& name : listing->subkeys)
    defaults.push_back(reader.defaultValue(childPath(path, name)).value_or("Error"));
  if (listing->closeFailed) prompter.message(kErrorClosingKey);
  for (std::size_t i = 0; i < listing->subkeys.size(); ++i) {
    const std::string& name = listing->subkeys[i];
    SubkeyWalk sub{name, margin + name + " " + defaults[i] + kCrLf};
    if (depth < kMaxWalkDepth)
      sub.text += walkText(walkKey(reader, childPath(path, name), indent + 4, prompter, depth + 1), indent + 4);
    walk.subkeys.push_back(std::move(sub));
  }
  return walk;
}

std::string walkText(const KeyWalk& walk, int indent) {
  std::string text = walk.valuesText;
  for (const SubkeyWalk& sub : walk.subkeys) {
    if (indent == 4) text += "!";
    text += sub.text;
  }
  return text;
}

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(kCrLf, start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return lines;
}

// One entry of the dump: listed when one of its lines names a product file.
void addRegistryPart(int source, const std::string& keyName, const std::string& part, InstallEnvironment& environment,
                     std::vector<InstalledProduct>& out) {
  if (part.empty()) return;
  const std::vector<std::string> lines = crlfLines(lowerUtf8(part));
  auto tdb = std::find_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find(".tdb") != std::string::npos; });
  if (tdb == lines.end()) return;
  InstalledProduct product;
  product.source = source;
  product.name = lowerUtf8(keyName);
  product.tdb = *tdb;
  product.line = lines.front();
  const auto cut = tdb->rfind('\\');
  if (cut != std::string::npos) product.line += "  " + tdb->substr(0, cut);
  product.file = environment.localFile(product.tdb);
  out.push_back(std::move(product));
}

std::vector<fs::directory_entry> sortedEntries(const fs::path& folder) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
  std::sort(entries.begin(), entries.end(), [](const fs::directory_entry& a, const fs::directory_entry& b) {
    const std::string x = lowerUtf8(utf8FromPath(a.path().filename()));
    const std::string y = lowerUtf8(utf8FromPath(b.path().filename()));
    return x != y ? x < y : a.path().filename() < b.path().filename();
  });
  return entries;
}

bool hasExtension(const fs::directory_entry& entry, const std::string& extension) {
  std::error_code ec;
  if (!entry.is_regular_file(ec)) return false;
  const std::string name = lowerUtf8(utf8FromPath(entry.path().filename()));
  return name.size() > extension.size() &&
         name.compare(name.size() - extension.size(), extension.size(), extension) == 0;
}

// A map bundle: its Info.xml names the family and each product, with its
// folder and product file. False when the folder holds no readable Info.xml.
bool addBundle(const fs::directory_entry& folder, const std::vector<fs::directory_entry>& inside,
               std::vector<InstalledProduct>& out) {
  auto xml = std::find_if(inside.begin(), inside.end(), [](const fs::directory_entry& e) {
    return equalsNoCase(utf8FromPath(e.path().filename()), "Info.xml");
  });
  if (xml == inside.end()) return false;
  std::string error;
  auto text = systemFiles().readAll(utf8FromPath(xml->path()), 1 << 20, error);
  if (!text) return false;
  auto info = parseInfoXml(std::string(text->begin(), text->end()));
  if (!info) return false;
  const std::string folderName = utf8FromPath(folder.path().filename());
  for (const GmapSubProduct& sub : info->subProducts) {
    InstalledProduct product;
    product.source = 4;
    product.fromFolder = true;
    product.bundle = true;
    product.familyId = info->id;
    product.productId = sub.id;
    product.name = info->name;
    product.productName = sub.name;
    product.tdb = std::string(kGarminMapsFolder) + "\\" + folderName + "\\" + sub.directory + "\\" + sub.tdb;
    const fs::path local = folder.path() / fs::path(std::u8string(sub.directory.begin(), sub.directory.end())) /
                           fs::path(std::u8string(sub.tdb.begin(), sub.tdb.end()));
    std::error_code ec;
    if (!sub.tdb.empty() && fs::is_regular_file(local, ec)) product.file = utf8FromPath(local);
    product.line = "    " + std::to_string(info->id) + " " + info->name + " (bundle " + folderName + ", product " +
                   std::to_string(sub.id) + " " + sub.name + ")";
    out.push_back(std::move(product));
  }
  return true;
}

// BaseCamp's installed maps: every bundle, and every folder of the older
// kind holding a TYP file, with its product file in Product1.
void scanMapsFolder(InstallEnvironment& environment, Prompter& prompter, std::vector<InstalledProduct>& out) {
  const auto maps = environment.mapsFolder();
  if (!maps) return;
  std::error_code ec;
  for (const fs::directory_entry& folder : sortedEntries(pathFromUtf8(*maps))) {
    if (!folder.is_directory(ec)) continue;
    const auto inside = sortedEntries(folder.path());
    if (addBundle(folder, inside, out)) continue;
    if (std::none_of(inside.begin(), inside.end(), [](const auto& e) { return hasExtension(e, ".typ"); })) continue;
    auto product1 = std::find_if(inside.begin(), inside.end(), [&ec](const fs::directory_entry& e) {
      return e.is_directory(ec) && equalsNoCase(utf8FromPath(e.path().filename()), "Product1");
    });
    if (product1 == inside.end()) continue;
    const auto products = sortedEntries(product1->path());
    auto tdb = std::find_if(products.begin(), products.end(), [](const auto& e) { return hasExtension(e, ".tdb"); });
    // A folder without a product file gives nothing to open.
    if (tdb == products.end()) continue;
    InstalledProduct product;
    product.source = 4;
    product.fromFolder = true;
    const std::string local = utf8FromPath(tdb->path());
    product.tdb = std::string(kGarminMapsFolder) + "\\" + utf8FromPath(folder.path().filename()) + "\\Product1\\" +
                  utf8FromPath(tdb->path().filename());
    product.file = local;
    const auto summary = productSummary(local, prompter);
    product.name = summary ? summary->seriesName : "";
    product.line = "    " + std::to_string(summary ? summary->familyId() : 0) + " " + product.name;
    out.push_back(std::move(product));
  }
}

}  // namespace

std::string walkRegistryKey(RegistryReader& reader, const std::string& path, int indent, Prompter& prompter) {
  return walkText(walkKey(reader, path, indent, prompter, 0), indent);
}

void get_regvals(int source, InstallEnvironment& environment, Prompter& prompter, std::vector<InstalledProduct>& out) {
  const char* key = source == 0                  ? kFamiliesKey
                    : source == 1                ? kFamiliesNtKey
                    : source == 2 || source == 4 ? kProductsKey
                                                 : nullptr;
  if (!key) return;
  if (RegistryReader* reader = environment.registry()) {
    // Each direct subkey is one entry. The entries are kept apart as they
    // are walked, so a "!" inside a name or a value cannot split one.
    const KeyWalk walk = walkKey(*reader, key, 4, prompter, 0);
    addRegistryPart(source, "", walk.valuesText, environment, out);
    for (const SubkeyWalk& sub : walk.subkeys) addRegistryPart(source, sub.name, sub.text, environment, out);
  }
  if (source == 4) scanMapsFolder(environment, prompter, out);
}

std::string noInstalledProductsText(InstallEnvironment& environment) {
  std::string text = "MapSource and BaseCamp know no map products here.";
  const std::string where = environment.whereLooked();
  text += where.empty() ? " Looked in their registry keys and maps folder." : " Looked in " + where + ".";
  return text;
}

std::vector<InstalledProduct> listInstalledProducts(InstallEnvironment& environment, Prompter& prompter,
                                                    Activity& activity) {
  std::vector<InstalledProduct> products;
  activity.busy(true);
  for (int source : {0, 1, 2, 4}) {
    get_regvals(source, environment, prompter, products);
    activity.yieldEvents();
  }
  activity.busy(false);
  return products;
}

}  // namespace velmor
