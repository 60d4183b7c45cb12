#pragma once
// What a check of a product and its installation found: one line each,
// errors (the map will not show or will hide another), warnings (it may
// not) and what was found sound.
#include <string>
#include <vector>

namespace velmor {

enum class FindingLevel { Error, Warning, Ok };

struct Finding {
  FindingLevel level = FindingLevel::Ok;
  std::string text;
};

using Findings = std::vector<Finding>;

inline void addError(Findings& out, std::string text) { out.push_back({FindingLevel::Error, std::move(text)}); }
inline void addWarning(Findings& out, std::string text) { out.push_back({FindingLevel::Warning, std::move(text)}); }
inline void addOk(Findings& out, std::string text) { out.push_back({FindingLevel::Ok, std::move(text)}); }

// A finding's list of names, cut for a product of thousands of tiles: the
// first five, then "and N more".
std::string shortList(const std::vector<std::string>& names);

// "error", "warning" or "ok".
const char* findingLevelName(FindingLevel level);
// "error: text".
std::string findingLine(const Finding& finding);
// Errors first, then warnings, then the rest, each kind in the order found.
Findings errorsFirst(Findings findings);
bool hasErrors(const Findings& findings);
// Every finding's line, each ended by a line break: what "Copy" puts on the clipboard.
std::string findingsText(const Findings& findings);

}  // namespace velmor
