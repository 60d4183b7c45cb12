#include "installed_check.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>

#include "../install/install_environment.hpp"
#include "../install/installed_products.hpp"
#include "../platform/registry_reader.hpp"
#include "../platform/unicode_text.hpp"
#include "../platform/utf8_path.hpp"
#include "../product/loader.hpp"
#include "../product/tile_texts.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

bool sameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(pathFromUtf8(a), pathFromUtf8(b), ec);
}

// What an installed product file holds; nullopt when it cannot be read.
struct InstalledIds {
  std::uint16_t familyId = 0;
  std::set<std::int32_t> tiles;
};

std::optional<InstalledIds> readInstalled(const std::string& path) {
  ProductFile file;
  ProductForm form;
  SilentPrompter prompter(Answer::No);
  if (openProduct(file, form, path, prompter) != LoadStatus::Read) return std::nullopt;
  InstalledIds ids{file.familyId, {}};
  for (int i = 0; i < static_cast<int>(form.detailMaps.size()); ++i) ids.tiles.insert(tileMapNumber(file, form, i));
  return ids;
}

class RegistryCheck {
 public:
  RegistryCheck(InstallEnvironment& environment, RegistryReader& registry, Findings& out)
      : env_(environment), registry_(registry), out_(out) {}

  // Every family under MapSource's families key; returns how many there are.
  int families() {
    auto families = registry_.readKey(kFamiliesKey);
    if (!families) return 0;
    for (const std::string& name : families->subkeys) family(name);
    return static_cast<int>(families->subkeys.size());
  }

  // The family id each family key holds (2-byte IDs only), by key name,
  // and the product files its products name that exist here.
  std::map<std::string, std::uint16_t> ids;
  std::map<std::string, std::vector<std::string>> productFiles;

 private:
  void family(const std::string& name) {
    const std::string path = std::string(kFamiliesKey) + name;
    auto key = registry_.readKey(path);
    if (!key) return;
    const std::string who = "installed family \"" + name + "\"";
    std::optional<std::uint16_t> id;
    if (const RegistryValue* v = valueNamed(*key, "ID")) {
      if (v->type != kRegBinary || v->data.size() != 2) {
        addError(out_, who + ": its ID is not 2 bytes of binary data (" + std::to_string(v->data.size()) +
                           " bytes), so MapSource cannot use it");
      } else {
        id = static_cast<std::uint16_t>(v->data[0] | v->data[1] << 8);
        ids[name] = *id;
      }
    } else {
      addError(out_, who + " has no ID value");
    }
    for (const char* file : {"IDX", "MDR", "TYP"}) fileValue(who, *key, file);
    for (const std::string& product : key->subkeys) {
      auto sub = registry_.readKey(path + "\\" + product);
      if (!sub) continue;
      const std::string whose = who + " product " + product;
      if (const RegistryValue* loc = valueNamed(*sub, "LOC"); loc && loc->type == kRegSz) {
        if (!env_.localFolder(registryText(*loc)))
          addError(out_, whose + ": LOC names a folder that does not exist: " + registryText(*loc));
      }
      fileValue(whose, *sub, "BMAP");
      auto tdb = fileValue(whose, *sub, "TDB");
      if (tdb) productFiles[name].push_back(*tdb);
      if (tdb && id) {
        if (auto installed = readInstalled(*tdb); installed && installed->familyId != *id) {
          addError(out_, whose + ": its ID is " + std::to_string(*id) + " but its product file says family id " +
                             std::to_string(installed->familyId));
        }
      }
    }
  }

  // The local file a path value names, or nullopt (a finding when it is missing).
  std::optional<std::string> fileValue(const std::string& who, const RegistryKeyListing& key, const char* name) {
    const RegistryValue* v = valueNamed(key, name);
    if (!v || v->type != kRegSz) return std::nullopt;
    const std::string path = registryText(*v);
    auto local = env_.localFile(path);
    if (!local) addError(out_, who + ": " + name + " names a file that does not exist: " + path);
    return local;
  }

  InstallEnvironment& env_;
  RegistryReader& registry_;
  Findings& out_;
};

void clashes(InstallEnvironment& environment, const CheckedProduct& ours, const RegistryCheck& registry,
             Activity& activity, Findings& out) {
  const std::map<std::string, std::uint16_t>& ids = registry.ids;
  SilentPrompter prompter(Answer::No);
  const std::vector<InstalledProduct> products = listInstalledProducts(environment, prompter, activity);
  std::set<std::string> seen;
  std::set<std::string> idClashes;
  int clashCount = 0;
  for (const InstalledProduct& p : products) {
    if (p.file && sameFile(*p.file, ours.path)) continue;  // itself, installed before
    const std::string key = p.file ? *p.file : p.tdb;
    if (!seen.insert(key).second) continue;
    const std::optional<InstalledIds> installed = p.file ? readInstalled(*p.file) : std::nullopt;
    // A family's ID is what MapSource goes by; a product found in the maps
    // folder has only its product file's.
    std::optional<std::uint16_t> id;
    if (!p.fromFolder) {
      for (const auto& [name, value] : ids)
        if (lowerUtf8(name) == p.name) id = value;
    }
    if (!id && installed) id = installed->familyId;
    const std::string who = "installed product \"" + p.name + "\" (" + p.tdb + ")";
    if (id && *id == ours.familyId && idClashes.insert(p.name).second) {
      addError(out, "family id " + std::to_string(ours.familyId) + " is already used by " + who +
                        ": MapSource shows only one of the two; give this product another family id");
      ++clashCount;
    }
    if (installed) {
      std::vector<std::string> shared;
      for (std::int32_t t : ours.tiles)
        if (installed->tiles.count(t)) shared.push_back(std::to_string(t));
      if (!shared.empty()) {
        addError(out, std::to_string(shared.size()) + " tile number" + (shared.size() == 1 ? " is" : "s are") +
                          " also used by " + who + ": " + shortList(shared));
        ++clashCount;
      }
    }
  }
  // Families the listing leaves out (no product file named): their ID counts all the same.
  for (const auto& [name, id] : ids) {
    if (id != ours.familyId || idClashes.count(lowerUtf8(name))) continue;
    auto files = registry.productFiles.find(name);
    const bool itself = files != registry.productFiles.end() &&
                        std::any_of(files->second.begin(), files->second.end(),
                                    [&ours](const std::string& f) { return sameFile(f, ours.path); });
    if (itself) continue;
    addError(out, "family id " + std::to_string(ours.familyId) + " is already used by installed family \"" + name +
                      "\": MapSource shows only one of the two; give this product another family id");
    ++clashCount;
  }
  if (clashCount == 0) {
    addOk(out, "no installed product has family id " + std::to_string(ours.familyId) + " or one of its tile numbers");
  }
}

}  // namespace

Findings checkInstalled(InstallEnvironment& environment, const CheckedProduct* ours, Activity& activity) {
  Findings out;
  // A machine matter, not the product's: a warning, so that a sound product
  // still checks clean.
  if (auto problem = environment.mapProgramsProblem()) addWarning(out, *problem);
  RegistryReader* registry = environment.registry();
  if (!registry) {
    addWarning(out, "there is no registry to read: installed products were not checked");
    return out;
  }
  activity.busy(true);
  RegistryCheck check(environment, *registry, out);
  const std::size_t before = out.size();
  const int families = check.families();
  if (out.size() == before) {
    addOk(out, std::to_string(families) + " installed famil" + (families == 1 ? "y" : "ies") +
                   ", every file and folder their registry values name exists");
  }
  if (ours) clashes(environment, *ours, check, activity, out);
  activity.busy(false);
  return out;
}

}  // namespace velmor
