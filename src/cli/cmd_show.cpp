#include <iostream>
#include <nlohmann/json.hpp>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/product/block_walk.hpp"
#include "core/product/byte_reader.hpp"
#include "core/product/code_page.hpp"
#include "core/product/loader.hpp"
#include "core/product/number_text.hpp"
#include "core/product/tile_layout.hpp"

namespace velmor::cli {

namespace {

using nlohmann::ordered_json;

std::string hex8(std::uint32_t v) {
  std::string h = hexUpper(v);
  return std::string(8 - h.size(), '0') + h;
}

std::string kindName(CopyrightKind kind) {
  switch (kind) {
    case CopyrightKind::Sources: return "Sources";
    case CopyrightKind::CopyrightInfo: return "Copyright Info";
    default: return "";
  }
}

ordered_json describe(const ProductFile& file, const ProductForm& form) {
  const CodePage& cp = CodePage::get(form.textCodePage);
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
    j["copyright"] = {{"display", form.copyrightDisplay},   {"print", form.copyrightPrint},
                      {"kind", kindName(form.copyrightKind)}, {"byte2", form.copyrightByte2Text},
                      {"byte3", form.copyrightByte3Text},    {"text", form.copyrightText},
                      {"editable", form.copyrightTextEnabled}};
  } else {
    j["copyright"] = nullptr;
  }
  if (file.overviewIndex >= 0) {
    j["overview"] = {{"mapNumber", form.overviewNumberText}, {"parentNumber", form.parentNumberText},
                     {"name", form.overviewNameText},        {"north", form.overviewNorth},
                     {"east", form.overviewEast},            {"south", form.overviewSouth},
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
    const std::uint32_t stored = static_cast<std::uint32_t>(r.dat(p + 5)) << 24 |
                                 static_cast<std::uint32_t>(r.dat(p + 12)) << 16 |
                                 static_cast<std::uint32_t>(r.dat(p + 15)) << 8 | r.dat(p + 20);
    j["checksum"] = {{"offset", p}, {"stored", hex8(stored)}};
  } else {
    j["checksum"] = nullptr;
  }

  ordered_json tiles = ordered_json::array();
  for (const DetailMapView& view : form.detailMaps) {
    TileLayout t = readTileLayout(r, view.blockOffset);
    ordered_json subfiles = ordered_json::array();
    for (const TileSubfile& sub : t.subfiles) {
      subfiles.push_back({{"name", sub.name ? cp.decode(*sub.name) : "?"}, {"size", sub.size}});
    }
    tiles.push_back({{"number", t.mapNumber},
                     {"parent", hexUpper(t.parent)},
                     {"description", view.listText},
                     {"north", formatDegrees(view.north, true)},
                     {"east", formatDegrees(view.east, true)},
                     {"south", formatDegrees(view.south, true)},
                     {"west", formatDegrees(view.west, true)},
                     {"subfileCount", t.count},
                     {"subfiles", subfiles}});
  }
  j["tiles"] = tiles;
  const auto& b = file.overallBounds;
  j["bounds"] = {{"maxlat", b.greatestLatitude},
                 {"minlat", b.leastLatitude},
                 {"maxlon", b.greatestLongitude},
                 {"minlon", b.leastLongitude}};
  ordered_json blocks = ordered_json::array();
  for (const BlockSpan& s : walkBlocks(file.data)) {
    blocks.push_back({{"offset", s.offset}, {"type", hexUpper(s.type)}, {"length", s.length}, {"truncated", s.truncated}});
  }
  j["blocks"] = blocks;
  j["errors"] = file.errorText;
  return j;
}

void printText(const ordered_json& j) {
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
  std::cout << "Tiles:           " << j["tiles"].size() << "\n";
  for (const auto& t : j["tiles"]) {
    std::cout << "  " << t["number"] << " parent " << t["parent"].get<std::string>() << " \""
              << t["description"].get<std::string>() << "\" N " << t["north"].get<std::string>() << " E "
              << t["east"].get<std::string>() << " S " << t["south"].get<std::string>() << " W "
              << t["west"].get<std::string>() << "\n";
    for (const auto& s : t["subfiles"]) {
      std::cout << "    " << s["name"].get<std::string>() << " " << s["size"] << "\n";
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
    ordered_json j = describe(product, form);
    if (*json) std::cout << j.dump(2) << "\n";
    else printText(j);
    exitCode = 0;
  });
}

}  // namespace velmor::cli
