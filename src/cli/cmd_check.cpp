// velmor-cli check: why a product may not show in MapSource or BaseCamp,
// from its files and the products already installed.
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "core/check/installed_check.hpp"
#include "core/check/product_check.hpp"
#include "core/install/install_environment.hpp"
#include "core/platform/wine_prefix.hpp"

namespace velmor::cli {

namespace {

struct CheckArgs {
  std::string product;
  std::vector<std::string> files;
  std::string winePrefix;
  bool json = false;
};

int printFindings(const Findings& unsorted, bool json) {
  const Findings findings = errorsFirst(unsorted);
  if (json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const Finding& f : findings) out.push_back({{"level", findingLevelName(f.level)}, {"text", f.text}});
    std::cout << out.dump(2) << "\n";
  } else {
    std::cout << findingsText(findings);
  }
  return hasErrors(findings) ? 1 : 0;
}

int runCheck(const CheckArgs& args) {
  if (auto problem = winePrefixProblem(args.winePrefix)) {
    std::cerr << *problem << "\n";
    return 2;
  }
  ProductCheck check = checkProductFiles(args.product, args.files);
  if (check.productRead) {
    auto environment = systemInstallEnvironment(args.winePrefix);
    Findings installed = checkInstalled(*environment, &check.product);
    check.findings.insert(check.findings.end(), installed.begin(), installed.end());
  }
  return printFindings(check.findings, args.json);
}

}  // namespace

void addCheckCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("check", "Check a product's files and its clashes with installed products");
  auto args = std::make_shared<CheckArgs>();
  cmd->add_option("PRODUCT", args->product, "Product file (.tdb)")->required();
  cmd->add_option("FILES", args->files, "The product's files (default: every file in the product file's folder)");
  addWinePrefixOption(cmd, args->winePrefix);
  cmd->add_flag("--json", args->json, "An array of {level, text}");
  cmd->callback([args, &exitCode] { exitCode = runCheck(*args); });
}

int checkInstalledProducts(const std::string& winePrefix, bool json) {
  auto environment = systemInstallEnvironment(winePrefix);
  return printFindings(checkInstalled(*environment, nullptr), json);
}

// A --wine-prefix that names no prefix is a mistake of the caller.
std::optional<std::string> winePrefixProblem(const std::string& folder) {
#ifndef _WIN32
  if (!folder.empty() && !WinePrefix(folder).exists())
    return folder + " is not a Wine prefix (it holds no system.reg).";
#else
  (void)folder;
#endif
  return std::nullopt;
}

void addWinePrefixOption(CLI::App* command, std::string& folder) {
  command->add_option("--wine-prefix", folder, "Wine prefix (default: $WINEPREFIX, else ~/.wine)");
}

}  // namespace velmor::cli
