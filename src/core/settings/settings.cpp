#include "settings.hpp"

#include <cmath>
#include <vector>

#include "../common/number_text.hpp"

namespace velmor {

namespace {

// Lines end in CR LF; a file edited with a tool that writes bare LF still
// reads line by line instead of collapsing into one line.
std::vector<std::string> settingsLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    std::size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

bool onlyBlanks(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

template <typename Int>
void readInteger(const std::string& line, Int& value) {
  auto v = parseInteger(line);
  if (v && *v >= INT32_MIN && *v <= INT32_MAX) value = static_cast<Int>(*v);
}

void readFlag(const std::string& line, bool& value) {
  auto v = parseInteger(line);
  if (v) value = *v != 0;
}

// A window position in twips. "nan", "inf" and places no screen has do not
// convert: they would come back as wild numbers and put the panel where no
// one can reach it, start after start.
void readPosition(const std::string& line, float& value) {
  auto v = parseNumber(line);
  if (!v || !std::isfinite(*v) || std::fabs(*v) > kMaxWindowTwips) return;
  value = static_cast<float>(*v);
}

std::string flagText(bool b) { return b ? "1" : "0"; }

}  // namespace

void parseSettings(const std::string& text, Settings& s) {
  std::vector<std::string> lines = settingsLines(text);
  auto has = [&](int n) { return static_cast<std::size_t>(n) < lines.size(); };
  auto line = [&](int n) -> const std::string& { return lines[static_cast<std::size_t>(n)]; };

  for (int i = 0; i < kRecentFileCount; ++i) {
    if (has(1 + i)) {
      const std::string& entry = line(1 + i);
      s.recentFiles[static_cast<std::size_t>(i)] = onlyBlanks(entry) ? std::string() : entry;
    }
  }
  if (has(7)) s.startPath = line(7);
  if (has(8)) s.dialogPath = line(8);
  if (has(9)) s.reserved9 = line(9);
  if (has(10)) s.reserved10 = line(10);
  if (has(11)) s.mapCompilerPath = line(11);
  if (has(12)) s.mapSourcePath = line(12);
  // The program has only ever written "True" or "False" here, which never
  // converts to a number, so the flag always comes back false.
  s.flag13 = false;
  if (has(14)) s.reserved14 = line(14);
  if (has(15)) s.reserved15 = line(15);
  if (has(16)) s.lastMapFolder = line(16);
  if (has(17)) readInteger(line(17), s.blockColour);
  if (has(18)) readInteger(line(18), s.blockBorderColour);
  if (has(19)) readFlag(line(19), s.moreOptionsShown);
  if (has(20)) s.baseCampPath = line(20);
  if (has(21)) readPosition(line(21), s.imgPanelLeft);
  if (has(22)) readPosition(line(22), s.imgPanelTop);
  if (has(23)) readFlag(line(23), s.overrideSettings);
  if (has(24)) readInteger(line(24), s.windowWidth);
  if (has(25)) readInteger(line(25), s.windowHeight);
  if (s.windowWidth < kMinimumWindowSize) s.windowWidth = kMinimumWindowSize;
  if (s.windowHeight < kMinimumWindowSize) s.windowHeight = kMinimumWindowSize;
  if (has(26)) readFlag(line(26), s.logsEnabled);
  if (has(27)) readFlag(line(27), s.newLogEachDay);
  // Lines 28 and 29 (window top and left) are written for older versions
  // but never applied.
  if (has(30)) readFlag(line(30), s.suppressCrashWarnings);
  if (has(31)) readFlag(line(31), s.clearCache);
  if (has(32)) s.qlandkartePath = line(32);
  if (has(33)) {
    // Only the three programs the launch button knows are accepted; any
    // other number would leave the button without a program.
    int program = s.defaultProgram;
    readInteger(line(33), program);
    if (program >= 0 && program <= 2) s.defaultProgram = program;
  }
}

std::string settingsText(const Settings& s) {
  std::string out;
  auto add = [&](const std::string& value) { out += value + "\r\n"; };
  add("123");
  for (const std::string& entry : s.recentFiles) add(onlyBlanks(entry) ? " " : entry);
  add(s.startPath);
  add(s.dialogPath);
  add(s.reserved9);
  add(s.reserved10);
  add(s.mapCompilerPath);
  add(s.mapSourcePath);
  add(s.flag13 ? "True" : "False");
  add(s.reserved14.empty() ? " " : s.reserved14);
  add(s.reserved15);
  add(s.lastMapFolder);
  add(std::to_string(s.blockColour));
  add(std::to_string(s.blockBorderColour));
  add(flagText(s.moreOptionsShown));
  add(s.baseCampPath);
  add(numberText(s.imgPanelLeft));
  add(numberText(s.imgPanelTop));
  add(flagText(s.overrideSettings));
  add(std::to_string(s.windowWidth));
  add(std::to_string(s.windowHeight));
  add(flagText(s.logsEnabled));
  add(flagText(s.newLogEachDay));
  add(numberText(s.windowTop));
  add(numberText(s.windowLeft));
  add(flagText(s.suppressCrashWarnings));
  add(flagText(s.clearCache));
  add(s.qlandkartePath);
  add(std::to_string(s.defaultProgram));
  return out;
}

}  // namespace velmor
