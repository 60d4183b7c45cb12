#pragma once
// The settings file velmor.dat: 34 lines identified only by their number.
// Map makers copy this file between installs, so its line format is kept
// exactly: CR LF after every line, "123" first, blanks for empty entries.
#include <array>
#include <cstdint>
#include <string>

namespace velmor {

inline constexpr int kRecentFileCount = 6;
inline constexpr int kSettingsLineCount = 34;
// Design colours of the detail-map rectangles (0x00BBGGRR).
inline constexpr std::int32_t kDefaultBlockColour = 0x00C0E0FF;
inline constexpr std::int32_t kDefaultBlockBorderColour = 0x00404080;

struct Settings {
  std::array<std::string, kRecentFileCount> recentFiles{};     // line 1 most recent
  std::string startPath;                                       // 7
  std::string dialogPath;                                      // 8
  std::string reserved9;                                       // 9, written back as read
  std::string reserved10;                                      // 10
  std::string mapCompilerPath;                                 // 11, cgpsmapper
  std::string mapSourcePath;                                   // 12
  bool flag13 = false;                                         // 13, never true once read; written "False"
  std::string reserved14;                                      // 14, written " " when empty
  std::string reserved15;                                      // 15
  std::string lastMapFolder;                                   // 16
  std::int32_t blockColour = kDefaultBlockColour;              // 17
  std::int32_t blockBorderColour = kDefaultBlockBorderColour;  // 18
  bool moreOptionsShown = false;                               // 19
  std::string baseCampPath;                                    // 20
  float imgPanelLeft = 0;                                      // 21, twips
  float imgPanelTop = 0;                                       // 22, twips
  bool overrideSettings = false;                               // 23
  int windowWidth = 0;                                         // 24, twips; at least 1000 once read
  int windowHeight = 0;                                        // 25
  bool logsEnabled = false;                                    // 26
  bool newLogEachDay = false;                                  // 27
  float windowTop = 0;                                         // 28, written only
  float windowLeft = 0;                                        // 29, written only
  bool suppressCrashWarnings = false;                          // 30
  bool clearCache = false;                                     // 31
  std::string qlandkartePath;                                  // 32
  int defaultProgram = 0;                                      // 33: 0 MapSource, 1 BaseCamp, 2 QlandkarteGT
};

inline constexpr int kMinimumWindowSize = 1000;
// The widest range a window position may take, in twips: 2^24 - 1 pixels
// either way, past which no window system places anything.
inline constexpr double kMaxWindowTwips = 16777215.0 * 15;

// Reads the settings text into `settings`. Lines that are missing or do not
// convert keep the value they had; nothing is ever reported.
void parseSettings(const std::string& text, Settings& settings);

// The whole file text, 34 lines each ended by CR LF.
std::string settingsText(const Settings& settings);

}  // namespace velmor
