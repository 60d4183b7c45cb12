// velmor-cli show: every decoded field, as text or as JSON. Both are written
// tile by tile and block by block as they are produced, so a file of
// millions of blocks takes no more memory than its opening does.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/product/block_walk.hpp"
#include "core/product/checksum_block.hpp"
#include "core/common/byte_reader.hpp"
#include "core/product/code_page.hpp"
#include "core/product/damage_verdict.hpp"
#include "core/product/loader.hpp"
#include "core/common/number_text.hpp"
#include "core/product/tile_texts.hpp"
#include "core/product/tile_layout.hpp"
#include "json_out.hpp"

namespace velmor::cli {

namespace {

using nlohmann::ordered_json;

std::string kindName(CopyrightKind kind) {
  switch (kind) {
    case CopyrightKind::Sources: return "Sources";
    case CopyrightKind::CopyrightInfo: return "Copyright Info";
    default: return "";
  }
}

// Everything but the tiles and the blocks: small whatever the file holds.
ordered_json describeHead(const ProductFile& file, const ProductForm& form) {
  ByteReader r(file.data);
  ordered_json j;
  j["path"] = file.path;
  j["size"] = file.data.size();

  ordered_json tail = ordered_json::array();
  for (int k = 0; k < file.headerTailLength; ++k) tail.push_back(r.dat(file.headerTailOffset + k));
  j["header"] = {
      {"productId", file.productId},
      {"familyId", file.familyId},
      {"tdbVersion", file.tdbVersion},
      {"version", form.versionText},
      {"seriesName", form.seriesNameText},
      {"productVersion", {file.productVersion[0], file.productVersion[1]}},
      {"familyName", form.familyNameText},
      {"tailLength", file.headerTailLength},
      {"tail", tail},
      {"mapLevel", file.mapLevel},
      {"codePage", form.codePageText},
      {"routable", form.routable},
      {"dem", form.dem},
      {"profile", form.profile},
      {"printing", form.printing},
      {"mapWindow", form.mapWindow},
      {"mapWindowWidth", form.mapWindowWidthText},
      {"mapWindowHeight", form.mapWindowHeightText},
  };
  if (file.copyrightIndex >= 0) {
    j["copyright"] = {{"display", form.copyrightDisplay},     {"print", form.copyrightPrint},
                      {"kind", kindName(form.copyrightKind)}, {"byte2", form.copyrightByte2Text},
                      {"byte3", form.copyrightByte3Text},     {"text", form.copyrightText},
                      {"editable", form.copyrightTextEnabled}};
  } else {
    j["copyright"] = nullptr;
  }
  if (file.overviewIndex >= 0) {
    j["overview"] = {{"mapNumber", form.overviewNumberText},
                     {"parentNumber", form.parentNumberText},
                     {"name", form.overviewNameText},
                     {"north", form.overviewNorth},
                     {"east", form.overviewEast},
                     {"south", form.overviewSouth},
                     {"west", form.overviewWest}};
  } else {
    j["overview"] = nullptr;
  }
  auto tileCopyright = [](int index, const std::string& text, bool editable) -> ordered_json {
    if (index < 0) return nullptr;
    return {{"index", index}, {"text", text}, {"editable", editable}};
  };
  j["block52"] = tileCopyright(file.block52Index, form.tileCopyright1, form.tileCopyright1Enabled);
  j["block53"] = tileCopyright(file.block53Index, form.tileCopyright2, form.tileCopyright2Enabled);

  if (file.checksumIndex >= 0 && !file.checksumText.empty()) {
    const std::int64_t p = findChecksumBlock(file.data);
    j["checksum"] = {{"offset", p}, {"stored", hexUpper8(storedCrcAt(file.data, p).value_or(0))}};
  } else {
    j["checksum"] = nullptr;
  }
  return j;
}

ordered_json boundsJson(const ProductFile& file) {
  const auto& b = file.overallBounds;
  return {{"maxlat", b.greatestLatitude},
          {"minlat", b.leastLatitude},
          {"maxlon", b.greatestLongitude},
          {"minlon", b.leastLongitude}};
}

// Degree texts of tile bounds. Tiles of a grid share their edges, so a
// small table of recent values saves most of the work on millions of tiles.
class DegreeTexts {
 public:
  const std::string& operator()(float degrees) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &degrees, sizeof bits);
    Slot& slot = slots_[bits * 2654435761u >> (32 - kBits)];
    if (!slot.used || slot.bits != bits) slot = {bits, true, formatDegrees(degrees, true)};
    return slot.text;
  }

 private:
  static constexpr int kBits = 12;
  struct Slot {
    std::uint32_t bits = 0;
    bool used = false;
    std::string text;
  };
  std::vector<Slot> slots_ = std::vector<Slot>(1u << kBits);
};

// One tile's fields, read from its block.
struct ShownTile {
  TileLayout layout;
  std::string description;
  std::string north, east, south, west;
};

ShownTile shownTile(const ProductFile& file, const ProductForm& form, const CodePage& page, DegreeTexts& degrees,
                    std::size_t i) {
  const DetailMapView& view = form.detailMaps[i];
  const TileSource source = tileSource(file, view);
  ShownTile t{readTileLayout(source.reader, source.origin),
              {},
              degrees(view.north),
              degrees(view.east),
              degrees(view.south),
              degrees(view.west)};
  t.description = page.decode(t.layout.description);
  return t;
}

void printJson(const ProductFile& file, const ProductForm& form) {
  const CodePage& page = CodePage::get(form.textCodePage);
  DegreeTexts degrees;
  JsonOut out(stdout);
  out.openObject();
  const ordered_json head = describeHead(file, form);
  for (const auto& [name, value] : head.items()) out.key(name).json(value);

  out.key("tiles").openArray();
  for (std::size_t i = 0; i < form.detailMaps.size(); ++i) {
    const ShownTile t = shownTile(file, form, page, degrees, i);
    out.openObject();
    out.key("number").value(t.layout.mapNumber);
    out.key("parent").value(hexUpper(t.layout.parent));
    out.key("description").value(t.description);
    out.key("north").value(t.north);
    out.key("east").value(t.east);
    out.key("south").value(t.south);
    out.key("west").value(t.west);
    out.key("subfileCount").value(static_cast<int>(t.layout.count));
    out.key("subfiles").openArray();
    for (const TileSubfile& sub : t.layout.subfiles) {
      out.openObject();
      out.key("name").value(sub.name ? page.decode(*sub.name) : "?");
      out.key("size").value(sub.size);
      out.close();
    }
    out.close();
    out.close();
  }
  out.close();
  out.key("bounds").json(boundsJson(file));

  out.key("blocks").openArray();
  forEachBlock(file.data, [&out](const BlockSpan& s) {
    out.openObject();
    out.key("offset").value(s.offset);
    out.key("type").value(hexUpper(s.type));
    out.key("length").value(static_cast<int>(s.length));
    out.key("truncated").value(s.truncated);
    out.close();
  });
  out.close();
  out.key("errors").value(file.errorText);
  out.close();
}

void printText(const ProductFile& file, const ProductForm& form) {
  const ordered_json j = describeHead(file, form);
  const auto& h = j["header"];
  std::cout << "File:            " << j["path"].get<std::string>() << " (" << j["size"] << " bytes)\n"
            << "PID / FID:       " << h["productId"] << " / " << h["familyId"] << "\n"
            << "TDB version:     " << h["version"].get<std::string>() << "\n"
            << "Mapsource Name:  " << h["seriesName"].get<std::string>() << "\n"
            << "Family Name:     " << h["familyName"].get<std::string>() << "\n"
            << "Product version: " << h["productVersion"][0] << " " << h["productVersion"][1] << "\n"
            << "Code page:       " << h["codePage"].get<std::string>() << "\n"
            << "Map level:       " << h["mapLevel"] << "\n"
            << "Routable " << h["routable"] << ", DEM " << h["dem"] << ", Profile " << h["profile"] << ", Printing "
            << h["printing"] << ", Map Window " << h["mapWindow"] << "\n"
            << "Header tail:     " << h["tailLength"] << " bytes:";
  for (const auto& b : h["tail"]) std::cout << " " << hexByte2(b.get<std::uint8_t>());
  std::cout << "\n";
  if (!j["copyright"].is_null()) {
    const auto& c = j["copyright"];
    std::cout << "Copyright:       Display " << c["display"] << ", Print " << c["print"] << ", "
              << c["kind"].get<std::string>() << "\n"
              << c["text"].get<std::string>() << "\n";
  }
  if (!j["overview"].is_null()) {
    const auto& o = j["overview"];
    std::cout << "Overview:        " << o["name"].get<std::string>() << " number " << o["mapNumber"].get<std::string>()
              << " parent " << o["parentNumber"].get<std::string>() << "\n"
              << "  N " << o["north"].get<std::string>() << " E " << o["east"].get<std::string>() << " S "
              << o["south"].get<std::string>() << " W " << o["west"].get<std::string>() << "\n";
  }
  for (const char* key : {"block52", "block53"}) {
    if (!j[key].is_null()) std::cout << "Tile Copyright (" << key << "): " << j[key]["text"].get<std::string>() << "\n";
  }
  if (!j["checksum"].is_null()) {
    std::cout << "Checksum:        " << j["checksum"]["stored"].get<std::string>() << " at " << j["checksum"]["offset"]
              << "\n";
  }
  std::cout << "Tiles:           " << form.detailMaps.size() << "\n";
  const CodePage& page = CodePage::get(form.textCodePage);
  DegreeTexts degrees;
  for (std::size_t i = 0; i < form.detailMaps.size(); ++i) {
    const ShownTile t = shownTile(file, form, page, degrees, i);
    std::cout << "  " << t.layout.mapNumber << " parent " << hexUpper(t.layout.parent) << " \"" << t.description
              << "\" N " << t.north << " E " << t.east << " S " << t.south << " W " << t.west << "\n";
    for (const TileSubfile& sub : t.layout.subfiles) {
      std::cout << "    " << (sub.name ? page.decode(*sub.name) : "?") << " " << sub.size << "\n";
    }
  }
}

}  // namespace

void addShowCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("show", "Print every decoded field of a product file");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("FILE", *file, "Product file (.tdb)")->required();
  cmd->add_flag("--json", *json, "Print JSON (shape documented in the README)");
  cmd->callback([&exitCode, file, json] {
    CliPrompter prompter;
    ProductFile product;
    ProductForm form;
    if (openProduct(product, form, *file, prompter) != LoadStatus::Read) {
      exitCode = 1;
      return;
    }
    if (const DamageVerdict verdict = judgeProductFile(product)) std::cerr << verdict.text << "\n";
    if (*json) printJson(product, form);
    else printText(product, form);
    exitCode = 0;
  });
}

}  // namespace velmor::cli
