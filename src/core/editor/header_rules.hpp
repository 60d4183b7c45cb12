#pragma once
// What a click on the version list or a feature option may change, and
// what follows from it. The window (or the command-line tool) shows the
// new state first, then calls the rule; the rule may take it back.
#include <string>

namespace velmor {

struct ProductFile;
struct ProductForm;
class Prompter;
class LogSink;

enum class RuleOutcome {
  Accepted,
  Refused,  // a message said why; the form was put back
};

struct VersionChange {
  RuleOutcome outcome = RuleOutcome::Accepted;
  // The version list must show this once the event is over (the window
  // sets it again a moment later, after the list has finished its own
  // handling of the pick).
  std::string listText;
};

inline constexpr const char* kMapFrameFirst = "Disable Map Frame option first.";
inline constexpr const char* kUnknownVersion = "Unknown tdb version. Please report this version.";
inline constexpr const char* kOptionNeeds409 =
    "Option only available with TDB version 4.09+.\r\nChange TDB version first.";
inline constexpr const char* kCrashWarning =
    "This could cause a problem in Mapsource.\r\n\r\nTick printing or Map Window option only.";

// A version picked (or typed) in the version list.
VersionChange changeVersion(ProductFile& file, ProductForm& form, const std::string& picked, Prompter& prompter);

enum class FeatureOption { Routable, Dem, Profile, Printing, MapWindow };

// "Routing", "DEM", "Profile", "Print", "Map Window".
const char* featureLogName(FeatureOption option);
bool& featureState(ProductForm& form, FeatureOption option);
// The refusal of an option whose tail byte the file's version has no room
// for, naming the oldest version that has ("... TDB version 4.07+." ...).
std::string optionNeedsVersionText(FeatureOption option);

// A click on a feature option whose new state the form already holds.
// Refused or not, the click marks the model modified and is logged.
RuleOutcome featureOptionClicked(ProductFile& file, ProductForm& form, FeatureOption option, bool suppressCrashWarnings,
                                 Prompter& prompter, LogSink& log);

// A click on "Override settings" (the form holds the new state).
void overrideSettingsClicked(ProductFile& file, ProductForm& form);

// A change in one of the two map-window size lists.
void mapWindowSizeChanged(ProductFile& file, ProductForm& form, bool width, const std::string& text);

// A change or a typed key in the code page list (`typed`), or an entry
// picked from it.
void codePageChanged(ProductFile& file, ProductForm& form, const std::string& text, bool typed);

}  // namespace velmor
