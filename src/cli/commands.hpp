#pragma once
#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace velmor::cli {

// Each command registers its sub-command and sets `exitCode` when it runs.
void addReportCommand(CLI::App& app, int& exitCode);
void addShowCommand(CLI::App& app, int& exitCode);
void addVerifyCommand(CLI::App& app, int& exitCode);
void addEditCommand(CLI::App& app, int& exitCode);
void addRegCommand(CLI::App& app, int& exitCode);
void addInstalledCommand(CLI::App& app, int& exitCode);
void addImgCommand(CLI::App& app, int& exitCode);
void addBoundsCommand(CLI::App& app, int& exitCode);
void addMdxCommand(CLI::App& app, int& exitCode);
void addBasemapCommands(CLI::App& app, int& exitCode);
void addGmapCommand(CLI::App& app, int& exitCode);
void addTypCommand(CLI::App& app, int& exitCode);
void addCheckCommand(CLI::App& app, int& exitCode);

// The registry part of check alone, its findings printed: 0 clean, 1 on an error.
int checkInstalledProducts(const std::string& winePrefix, bool json);
// Why a --wine-prefix folder is no Wine prefix, or nullopt ("" is no folder given).
std::optional<std::string> winePrefixProblem(const std::string& folder);
// The --wine-prefix option, the same on every command that reads or installs into a prefix.
void addWinePrefixOption(CLI::App* command, std::string& folder);

}  // namespace velmor::cli
