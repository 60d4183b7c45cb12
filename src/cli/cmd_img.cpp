// velmor-cli img: what the scanner finds in an IMG file, the subfile kinds
// and sizes and the bounds of every tile, as the "Create TDB Files" dialog
// uses them.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/img/img_scanner.hpp"
#include "core/product/bytes.hpp"
#include "core/product/number_text.hpp"

namespace velmor::cli {

namespace {

using nlohmann::ordered_json;

std::vector<std::string> listItems(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1) {
    items.push_back(list.substr(start, comma - start));
  }
  return items;
}

ordered_json box(float north, float east, float south, float west) {
  return {{"north", numberText(north)}, {"east", numberText(east)}, {"south", numberText(south)},
          {"west", numberText(west)}};
}

ordered_json describe(const std::string& path, const ImgScanResult& scan) {
  ordered_json j;
  j["path"] = path;
  j["size"] = scan.fileSize;
  j["subfileKinds"] = scan.subfileKinds;
  j["subfileSizes"] = scan.subfileSizes;
  j["sizesFrom"] = scan.sizesFromDirectory ? "directory" : "headers";
  ordered_json subfiles = ordered_json::array();
  const auto kinds = listItems(scan.subfileKinds);
  const auto sizes = listItems(scan.subfileSizes);
  for (std::size_t i = 0; i < kinds.size() && i < sizes.size(); ++i) {
    std::uint64_t size = 0;
    parseHex(sizes[i], size);
    subfiles.push_back({{"kind", kinds[i]}, {"size", size}});
  }
  j["subfiles"] = subfiles;
  ordered_json tiles = ordered_json::array();
  for (const ImgTile& t : scan.tiles) {
    ordered_json tile = {{"offset", t.offset}, {"usable", t.usable}};
    tile.update(box(imgUnitsToDegrees(t.north), imgEastToDegrees(t.east), imgUnitsToDegrees(t.south),
                    imgUnitsToDegrees(t.west)));
    tile["units"] = {{"north", t.north}, {"east", t.east}, {"south", t.south}, {"west", t.west}};
    tiles.push_back(tile);
  }
  j["tileCount"] = scan.tiles.size();
  j["tiles"] = tiles;
  const auto& b = scan.tileBounds;
  j["bounds"] = scan.hasBounds ? box(b[0], b[1], b[2], b[3]) : ordered_json(nullptr);
  j["truncated"] = scan.truncated;
  j["errors"] = scan.errorText;
  return j;
}

void printText(const ordered_json& j) {
  std::cout << "File:     " << j["path"].get<std::string>() << " (" << j["size"] << " bytes)\n"
            << "Kinds:    " << j["subfileKinds"].get<std::string>() << "\n"
            << "Sizes:    " << j["subfileSizes"].get<std::string>() << " (from the "
            << (j["sizesFrom"] == "directory" ? "container's directory" : "subfile headers") << ")\n"
            << "Tiles:    " << j["tileCount"] << "\n";
  for (const auto& t : j["tiles"]) {
    std::cout << "  TRE at &" << hexUpper(t["offset"].get<std::uint64_t>()) << ": N " << t["north"].get<std::string>()
              << " E " << t["east"].get<std::string>() << " S " << t["south"].get<std::string>() << " W "
              << t["west"].get<std::string>() << (t["usable"].get<bool>() ? "" : " (left out)") << "\n";
  }
  if (!j["bounds"].is_null()) {
    const auto& b = j["bounds"];
    std::cout << "Bounds:   N " << b["north"].get<std::string>() << " E " << b["east"].get<std::string>() << " S "
              << b["south"].get<std::string>() << " W " << b["west"].get<std::string>() << "\n";
  }
  if (!j["errors"].get<std::string>().empty()) std::cout << j["errors"].get<std::string>();
}

}  // namespace

void addImgCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("img", "Scan an IMG file for its map subfiles and tile bounds");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  cmd->add_option("FILE", *file, "IMG file")->required();
  cmd->add_flag("--json", *json, "Print JSON (shape documented in the README)");
  cmd->callback([&exitCode, file, json] {
    CliPrompter prompter;
    ImgScanResult scan = loadbinaryfst(*file, prompter);
    get_imglimits(scan);
    if (scan.readable) {
      ordered_json j = describe(*file, scan);
      if (*json) std::cout << j.dump(2) << "\n";
      else printText(j);
    }
    // A file cut short is a failure even when some of its tiles were found.
    exitCode = scan.hasBounds && !scan.truncated ? 0 : 1;
  });
}

}  // namespace velmor::cli
