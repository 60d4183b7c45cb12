#pragma once
#include <CLI/CLI.hpp>

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

}  // namespace velmor::cli
