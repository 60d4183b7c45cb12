// velmor-cli installed: the products MapSource and BaseCamp know.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/install/install_environment.hpp"
#include "core/install/installed_products.hpp"

namespace velmor::cli {

void addInstalledCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("installed", "List the products installed for MapSource/BaseCamp");
  auto prefix = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  auto check = std::make_shared<bool>(false);
  addWinePrefixOption(cmd, *prefix);
  cmd->add_flag(
      "--json", *json,
      "An array of {source, fromFolder, name, line, tdb, file}; bundles add bundle, familyId, productId, productName ({level, text} with --check)");
  cmd->add_flag("--check", *check,
                "Check the installed products instead of listing them: registry values naming missing files or "
                "folders, IDs that are not 2 bytes or not the product file's");
  cmd->callback([&exitCode, prefix, json, check] {
    // An empty list from a folder that is no prefix would read as "nothing installed".
    if (auto problem = winePrefixProblem(*prefix)) {
      std::cerr << *problem << "\n";
      exitCode = 2;
      return;
    }
    if (*check) {
      exitCode = checkInstalledProducts(*prefix, *json);
      return;
    }
    auto environment = systemInstallEnvironment(*prefix);
    CliPrompter prompter;
    const auto products = listInstalledProducts(*environment, prompter, quietActivity());
    if (*json) {
      nlohmann::ordered_json out = nlohmann::ordered_json::array();
      for (const InstalledProduct& p : products) {
        out.push_back({{"source", p.source},
                       {"fromFolder", p.fromFolder},
                       {"name", p.name},
                       {"line", p.line},
                       {"tdb", p.tdb},
                       {"file", p.file ? nlohmann::ordered_json(*p.file) : nlohmann::ordered_json(nullptr)}});
        if (p.bundle) {
          out.back()["bundle"] = true;
          out.back()["familyId"] = *p.familyId;
          out.back()["productId"] = *p.productId;
          out.back()["productName"] = p.productName;
        }
      }
      std::cout << out.dump(2) << "\n";
    } else {
      for (const InstalledProduct& p : products)
        std::cout << p.line << "\n        " << (p.file ? *p.file : "not found: " + p.tdb) << "\n";
    }
    // An empty list is an answer, not a failure; it says where it looked.
    if (products.empty()) std::cerr << noInstalledProductsText(*environment) << "\n";
    exitCode = 0;
  });
}

}  // namespace velmor::cli
