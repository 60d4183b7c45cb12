// velmor-cli img: what the scanner finds in an IMG file, the subfile kinds
// and sizes and the bounds of every tile, as the "Create TDB Files" dialog
// uses them.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "json_out.hpp"
#include "core/img/img_scanner.hpp"
#include "core/common/bytes.hpp"
#include "core/common/number_text.hpp"

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
  return {{"north", numberText(north)},
          {"east", numberText(east)},
          {"south", numberText(south)},
          {"west", numberText(west)}};
}

ordered_json tileBox(const ImgTile& t) {
  return box(imgUnitsToDegrees(t.north), imgEastToDegrees(t.east), imgUnitsToDegrees(t.south),
             imgUnitsToDegrees(t.west));
}

// The scan as JSON, each tile written as it is reached: a file of a million
// tiles never becomes one document in memory.
void printJson(const std::string& path, const ImgScanResult& scan) {
  JsonOut out(stdout);
  out.openObject();
  out.key("path").value(path);
  out.key("size").value(static_cast<std::int64_t>(scan.fileSize));
  out.key("subfileKinds").value(scan.subfileKinds);
  out.key("subfileSizes").value(scan.subfileSizes);
  out.key("sizesFrom").value(scan.sizesFromDirectory ? "directory" : "headers");
  out.key("subfiles").openArray();
  const auto kinds = listItems(scan.subfileKinds);
  const auto sizes = listItems(scan.subfileSizes);
  for (std::size_t i = 0; i < kinds.size() && i < sizes.size(); ++i) {
    std::uint64_t size = 0;
    parseHex(sizes[i], size);
    out.json({{"kind", kinds[i]}, {"size", size}});
  }
  out.close();
  out.key("tileCount").value(static_cast<std::uint64_t>(scan.tiles.size()));
  out.key("tiles").openArray();
  for (const ImgTile& t : scan.tiles) {
    ordered_json tile = {{"offset", t.offset}, {"usable", t.usable}};
    tile.update(tileBox(t));
    tile["units"] = {{"north", t.north}, {"east", t.east}, {"south", t.south}, {"west", t.west}};
    out.json(tile);
  }
  out.close();
  const auto& b = scan.tileBounds;
  out.key("bounds").json(scan.hasBounds ? box(b[0], b[1], b[2], b[3]) : ordered_json(nullptr));
  out.key("truncated").value(scan.truncated);
  out.key("errors").value(scan.errorText);
  out.close();
  out.flush();
  std::fputc('\n', stdout);
}

void printText(const std::string& path, const ImgScanResult& scan) {
  std::cout << "File:     " << path << " (" << scan.fileSize << " bytes)\n"
            << "Kinds:    " << scan.subfileKinds << "\n"
            << "Sizes:    " << scan.subfileSizes << " (from the "
            << (scan.sizesFromDirectory ? "container's directory" : "subfile headers") << ")\n"
            << "Tiles:    " << scan.tiles.size() << "\n";
  for (const ImgTile& t : scan.tiles) {
    const ordered_json b = tileBox(t);
    std::cout << "  TRE at &" << hexUpper(static_cast<std::uint64_t>(t.offset)) << ": N "
              << b["north"].get<std::string>() << " E " << b["east"].get<std::string>() << " S "
              << b["south"].get<std::string>() << " W " << b["west"].get<std::string>()
              << (t.usable ? "" : " (left out)") << "\n";
  }
  if (scan.hasBounds) {
    const auto& b = scan.tileBounds;
    std::cout << "Bounds:   N " << numberText(b[0]) << " E " << numberText(b[1]) << " S " << numberText(b[2]) << " W "
              << numberText(b[3]) << "\n";
  }
  if (!scan.errorText.empty()) std::cout << scan.errorText;
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
      if (*json) printJson(*file, scan);
      else printText(*file, scan);
    }
    // A file cut short is a failure even when some of its tiles were found.
    exitCode = scan.hasBounds && !scan.truncated ? 0 : 1;
  });
}

}  // namespace velmor::cli
