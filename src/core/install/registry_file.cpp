#include "registry_file.hpp"

#include "../common/path_text.hpp"
#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "../platform/registry_importer.hpp"
#include "../platform/registry_reader.hpp"
#include "../platform/unicode_text.hpp"
#include "../platform/windows_host.hpp"
#include "../img/img_directory.hpp"
#include "../product/code_page.hpp"
#include "../product/field_encoding.hpp"
#include "../product/loader.hpp"
#include "product_summary.hpp"

namespace velmor {

namespace {

// The registry file is ANSI text, as the registry editor reads REGEDIT4.
constexpr int kRegistryFileCodePage = 1252;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

bool isBasicBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether the old BASIC Val() of a text is 0. Val reads a number from the
// start of the text, passing over blanks, with an optional sign and the
// prefixes &H and &O; a text that does not start with a number is 0.
bool basicValueIsZero(const std::string& text) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && isBasicBlank(text[i])) ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  skipBlanks();
  std::string digits = "0123456789";
  if (i + 1 < text.size() && text[i] == '&') {
    const char radix = static_cast<char>(text[i + 1] | 0x20);
    if (radix == 'h') digits = "0123456789abcdefABCDEF";
    if (radix == 'o') digits = "01234567";
    if (radix == 'h' || radix == 'o') i += 2;
  }
  for (; i < text.size(); ++i) {
    if (isBasicBlank(text[i])) continue;
    if (digits.find(text[i]) == std::string::npos) break;
    if (text[i] != '0') return false;
  }
  return true;
}

bool isBasemapCandidate(const std::string& name) {
  return name.ends_with(".img") && basicValueIsZero(name.substr(0, name.find('.'))) && !contains(name, "gmapsup");
}

// A path written between double quotes must not end the quotes or the line.
bool breaksValueLine(const std::string& text) {
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

std::string withoutTrailingSeparators(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder;
}

}  // namespace

std::optional<ProductFileSet> classifyChosenFiles(const std::vector<std::string>& chosenFiles, std::string& refusal) {
  ProductFileSet set;
  bool tdb = false;
  bool mdx = false;
  bool basemap = false;
  for (const std::string& entry : chosenFiles) {
    const std::string name = lowerUtf8(fileNameOf(entry));
    if (name.ends_with(".typ")) {
      if (!set.typFile.empty()) {
        refusal = kTwoTypFiles;
        return std::nullopt;
      }
      set.typFile = fileNameOf(entry);
    } else if (name.ends_with(".tdb")) {
      if (tdb) {
        refusal = kTwoTdbFiles;
        return std::nullopt;
      }
      tdb = true;
      set.productFile = name;
    } else if (name.ends_with(".mdx")) {
      if (mdx) {
        refusal = kTwoMdxFiles;
        return std::nullopt;
      }
      mdx = true;
      set.indexFile = name;
    } else if (contains(name, "mdr.img")) {
      set.mdrFile = name;  // the last one counts
    } else if (isBasemapCandidate(name)) {
      if (basemap) {
        refusal = kTwoBasemaps;
        return std::nullopt;
      }
      basemap = true;
      set.basemap = name;
    }
  }
  return set;
}

std::string registryKeyPrefix(bool is64BitWindows) {
  return is64BitWindows ? "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Garmin\\MapSource\\Families\\"
                        : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Garmin\\MapSource\\Families\\";
}

std::string escapedFolder(const std::string& folder) {
  std::string out;
  for (char c : folder) {
    out += c;
    if (c == '\\') out += '\\';
  }
  return out + "\\\\";
}

std::string familyIdText(std::uint16_t familyId) {
  const std::string hex =
      hexByte2(static_cast<std::uint8_t>(familyId >> 8)) + hexByte2(static_cast<std::uint8_t>(familyId & 0xFF));
  return hex.substr(2, 2) + "," + hex.substr(0, 2);
}

std::string registryFileText(const ProductFileSet& files, const std::string& familyKeyName, std::uint16_t familyId,
                             const std::string& folder, bool is64BitWindows, std::uint16_t productId) {
  const std::string prefix = registryKeyPrefix(is64BitWindows);
  const std::string e = escapedFolder(folder);
  std::string text;
  auto line = [&text](const std::string& content) { text += content + kCrLf; };
  auto value = [&line](const std::string& name, const std::string& data) { line("\"" + name + "\"=\"" + data + "\""); };
  line("REGEDIT4");
  line("");
  line(prefix + familyKeyName + "]");
  line("\"ID\"=hex:" + familyIdText(familyId));
  if (!files.indexFile.empty()) value("IDX", e + files.indexFile);
  if (!files.mdrFile.empty()) value("MDR", e + files.mdrFile);
  if (!files.typFile.empty()) value("TYP", e + files.typFile);
  line(prefix + familyKeyName + "\\" + std::to_string(productId) + "]");
  value("LOC", e);
  if (!files.basemap.empty()) value("BMAP", e + files.basemap);
  value("TDB", e + files.productFile);
  return text;
}

std::vector<ExpectedRegistryKey> registryFileKeys(const ProductFileSet& files, const std::string& familyKeyName,
                                                  std::uint16_t familyId, const std::string& folder,
                                                  std::uint16_t productId) {
  const std::string family = familyKeyPath(familyKeyName);
  const std::string f = withoutTrailingSeparators(folder) + "\\";
  ExpectedRegistryKey familyKey{
      family, {}, {static_cast<std::uint8_t>(familyId & 0xFF), static_cast<std::uint8_t>(familyId >> 8)}};
  if (!files.indexFile.empty()) familyKey.texts.emplace_back("IDX", f + files.indexFile);
  if (!files.mdrFile.empty()) familyKey.texts.emplace_back("MDR", f + files.mdrFile);
  if (!files.typFile.empty()) familyKey.texts.emplace_back("TYP", f + files.typFile);
  ExpectedRegistryKey productKey{family + "\\" + std::to_string(productId), {{"LOC", f}}, {}};
  if (!files.basemap.empty()) productKey.texts.emplace_back("BMAP", f + files.basemap);
  productKey.texts.emplace_back("TDB", f + files.productFile);
  return {familyKey, productKey};
}

std::vector<std::string> missingFromRegistry(const std::vector<ExpectedRegistryKey>& keys, RegistryReader& registry) {
  std::vector<std::string> missing;
  for (const ExpectedRegistryKey& key : keys) {
    auto listing = registry.readKey(key.path);
    if (!listing) {
      missing.push_back("the key " + key.path);
      continue;
    }
    if (!key.id.empty()) {
      const RegistryValue* id = valueNamed(*listing, "ID");
      if (!id || id->type != kRegBinary || id->data != key.id)
        missing.push_back(key.path + ": ID " + familyIdText(static_cast<std::uint16_t>(key.id[0] | key.id[1] << 8)));
    }
    for (const auto& [name, text] : key.texts) {
      const RegistryValue* v = valueNamed(*listing, name);
      if (!v || registryText(*v) != text) missing.push_back(key.path + ": " + name + " = " + text);
    }
  }
  return missing;
}

std::string installedKeysText(const std::vector<ExpectedRegistryKey>& keys, RegistryReader& registry) {
  std::string text;
  for (const ExpectedRegistryKey& key : keys) {
    auto listing = registry.readKey(key.path);
    if (!listing) continue;
    text += key.path + kCrLf;
    for (const RegistryValue& v : listing->values) {
      if (v.type == kRegBinary && v.data.size() == 2) {
        text += "    " + v.name + " = " + std::to_string(v.data[0] | v.data[1] << 8) + kCrLf;
      } else if (v.type == kRegSz) {
        text += "    " + v.name + " = " + registryText(v) + kCrLf;
      }
    }
  }
  return text;
}

std::string familyKeyPath(const std::string& familyKeyName) {
  return std::string("SOFTWARE\\Garmin\\MapSource\\Families\\") + familyKeyName;
}

std::optional<std::string> familyKeyNameRefusal(const std::string& familyKeyName) {
  if (familyKeyName.empty()) return std::string(kNoMapsourceName);
  return familyKeyNameProblem(familyKeyName);
}

std::optional<std::string> familyKeyNameProblem(const std::string& familyKeyName) {
  const std::size_t length = utf8ToUtf16(familyKeyName).size();
  if (length > kMaxRegistryKeyName) {
    return "The Mapsource Name is " + std::to_string(length) +
           " characters long, but a registry key name holds at "
           "most 255. No registry file was written.";
  }
  bool bad = familyKeyName == "." || familyKeyName == "..";
  for (char c : familyKeyName) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '/' || c == ']' || u < 0x20 || u == 0x7F) bad = true;
  }
  if (!bad) return std::nullopt;
  return "The Mapsource Name \"" + familyKeyName +
         "\" cannot be used: it names the registry key and the registry file, so it may not hold \"\\\", \"/\", "
         "\"]\" or control characters, nor be \".\" or \"..\". No registry file was written.";
}

namespace {

// A chosen file as a path that can be opened: a full path, or a bare name
// in the product folder.
std::string localPathOf(const MapsourceFilesRequest& request, const std::string& entry) {
  const bool bare = entry.find_first_of("/\\") == std::string::npos;
  return bare && !request.localFolder.empty() ? withoutTrailingSeparators(request.localFolder) + kLocalSeparator + entry
                                              : entry;
}

std::optional<std::string> chosenProductPath(const MapsourceFilesRequest& request) {
  for (const std::string& entry : request.chosenFiles)
    if (lowerUtf8(entry).ends_with(".tdb")) return localPathOf(request, entry);
  return std::nullopt;
}

// The product id of the chosen product file, read from its header when it
// can be found.
std::optional<std::uint16_t> chosenProductId(const MapsourceFilesRequest& request) {
  const std::optional<std::string> path = chosenProductPath(request);
  if (!path) return std::nullopt;
  SilentPrompter quiet;
  auto summary = productSummary(*path, quiet);
  if (!summary) return std::nullopt;
  return static_cast<std::uint16_t>(summary->productHigh << 8 | summary->productLow);
}

// mkgmap told --overview-mapname=71110000 names the overview map like a
// tile. When no IMG is a basemap by its name, the one that holds the map of
// the product's overview block is, or MapSource would get no basemap.
std::string overviewMapByContent(const MapsourceFilesRequest& request) {
  const std::optional<std::string> path = chosenProductPath(request);
  if (!path) return "";
  // Read as for a report: no editable copy, no list of tiles.
  ProductFile file;
  ProductForm form;
  SilentPrompter quiet;
  if (openProductForReport(file, form, *path, quiet).status != LoadStatus::Read) return "";
  const std::optional<std::uint32_t> number = overviewMapNumberRead(file, form);
  if (!number) return "";
  for (const std::string& entry : request.chosenFiles) {
    const std::string name = lowerUtf8(fileNameOf(entry));
    if (!name.ends_with(".img") || contains(name, "mdr.img") || contains(name, "gmapsup")) continue;
    if (imgHoldsMap(localPathOf(request, entry), *number)) return name;
  }
  return "";
}

}  // namespace

MapsourceFilesResult create_mapsourcefiles(const MapsourceFilesRequest& request, Prompter& prompter,
                                           FileServices& files, RegistryImporter* importer, Activity& activity,
                                           RegistryReader* readBack) {
  MapsourceFilesResult result;
  const std::string folder = withoutTrailingSeparators(request.registryFolder);
  // Windows reads "\" as a folder separator: a local name holding one
  // (possible only where "/" separates) would lead elsewhere.
  if (kLocalSeparator == '/' && request.localFolder.find('\\') != std::string::npos) {
    prompter.message("The folder " + request.localFolder +
                     " holds \"\\\" in its name, which Windows reads as a separator between folders: MapSource "
                     "would look for the map in another folder. Rename it. No registry file was written.");
    return result;
  }
  if (request.chosenFiles.empty()) {
    prompter.message(kNoEssentialFiles);
    return result;
  }
  std::string refusal;
  auto set = classifyChosenFiles(request.chosenFiles, refusal);
  if (!set) {
    prompter.message(refusal);
    return result;
  }
  if (set->productFile.empty()) {
    prompter.message(kNoTdbFile);
    return result;
  }
  if (set->basemap.empty()) set->basemap = overviewMapByContent(request);
  const std::string chosenText = set->basemap + kCrLf + set->productFile + kCrLf + set->indexFile + kCrLf +
                                 set->mdrFile + (set->typFile.empty() ? std::string() : kCrLf + set->typFile);
  if (auto refusal = familyKeyNameRefusal(request.familyKeyName)) {
    prompter.message(*refusal);
    return result;
  }
  const auto familyId = box16(request.fidText);
  if (!familyId) {
    prompter.message("The FID box must hold a number from 0 to 65535. No registry file was written.");
    return result;
  }
  for (const std::string* path : std::initializer_list<const std::string*>{
           &folder, &set->productFile, &set->indexFile, &set->mdrFile, &set->basemap, &set->typFile}) {
    if (breaksValueLine(*path)) {
      prompter.message("\"" + *path +
                       "\" cannot be written into a registry file: it holds a double quote or a control character. "
                       "No registry file was written.");
      return result;
    }
  }
  const std::uint16_t productId = request.productId ? *request.productId : chosenProductId(request).value_or(1);
  const std::string text =
      registryFileText(*set, request.familyKeyName, *familyId, folder, request.is64BitWindows, productId);
  const CodePage& page = CodePage::get(kRegistryFileCodePage);
  if (auto bad = page.firstUnencodable(text)) {
    prompter.message("A registry file is written in code page 1252, which cannot write \"" + *bad +
                     "\" (in the Mapsource Name or a path). No registry file was written.");
    return result;
  }

  if (request.outputPath.empty() && request.localFolder.empty()) {
    prompter.message("There is no product folder to write the registry file to. No registry file was written.");
    return result;
  }
  result.registryFile = request.outputPath.empty() ? withoutTrailingSeparators(request.localFolder) + kLocalSeparator +
                                                         request.familyKeyName + ".reg"
                                                   : request.outputPath;
  activity.busy(true);
  const auto bytes = page.encode(text + kCrLf);
  if (auto error = files.atomicReplace(result.registryFile, *bytes)) {
    activity.busy(false);
    // An older registry file at this path is not what the user asked for:
    // nothing is offered for import.
    prompter.message("Cannot write the registry file " + result.registryFile + ":\r\n\r\n" + *error);
    result.status = MapsourceFilesStatus::WriteFailed;
    return result;
  }
  result.status = MapsourceFilesStatus::Written;
  // One message: the folder and the chosen files as written, then what the
  // import did and, read back, what the registry now holds.
  std::string summary = "Registry file written: " + result.registryFile + kCrLf + kCrLf + folder + kCrLf + chosenText;
  if (importer) {
    const ImportResult imported = importer->import(result.registryFile, [&activity] { activity.yieldEvents(); });
    result.importStarted = imported.status == ImportStatus::Started;
    if (!result.importStarted) {
      summary += std::string(kCrLf) + kCrLf + "The registry file " + result.registryFile +
                 " was written but not imported.\r\n\r\n" + imported.advice;
    } else if (readBack) {
      const auto keys = registryFileKeys(*set, request.familyKeyName, *familyId, folder, productId);
      result.missing = missingFromRegistry(keys, *readBack);
      result.installed = installedKeysText(keys, *readBack);
      result.importVerified = result.missing.empty();
      if (result.importVerified) {
        summary += std::string(kCrLf) + kCrLf + "Imported. The registry now holds:" + kCrLf + result.installed;
      } else {
        summary += std::string(kCrLf) + kCrLf +
                   "The import failed: the importer ended, but the registry does not hold" + kCrLf;
        for (const std::string& line : result.missing) summary += "    " + line + kCrLf;
      }
    } else {
      summary += std::string(kCrLf) + kCrLf + "Handed to the registry editor for import.";
    }
  }
  prompter.message(summary);
  activity.busy(false);
  return result;
}

}  // namespace velmor
