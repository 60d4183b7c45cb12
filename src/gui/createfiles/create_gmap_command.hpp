#pragma once
// "Create gmap" of the "Create TDB Files" dialog: the map bundle BaseCamp
// reads, made from the chosen files as velmor-cli gmap makes it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace velmor {

class Prompter;

// Where the bundle goes and which style goes into it; "" when the user
// cancelled (no folder: nothing is written; no TYP: a bundle without one).
// BaseCamp's maps folder, where the bundle may be installed as well; nullopt
// (or no function) when this machine has none, and then nothing is asked.
struct GmapChoices {
  std::function<std::string(const std::string& startFolder)> outputFolder;
  std::function<std::string(const std::string& startFolder)> typFile;
  std::function<std::optional<std::string>()> mapsFolder;
};

// The program's folder and file dialogs.
GmapChoices fileDialogChoices(QWidget* parent);

// Writes "<family name>.gmap" for the product file among `chosenFiles`;
// every problem is told through `prompter`, and a TYP whose ids are not the
// product's is given them only when the user says so. Then offers to
// install it into BaseCamp's maps folder. Returns the folder written, or "".
std::string createGmapFromChosen(const std::vector<std::string>& chosenFiles, Prompter& prompter,
                                 const GmapChoices& choices);

inline constexpr const char* kGmapWritten = "Map bundle written:";
inline constexpr const char* kGmapInstalled = "Map bundle installed:";
std::string installGmapQuestion(const std::string& mapsFolder);

}  // namespace velmor
