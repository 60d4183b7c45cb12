#include "finding.hpp"

#include <algorithm>

namespace velmor {

std::string shortList(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 5;
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > kShown) text += " and " + std::to_string(names.size() - kShown) + " more";
  return text;
}

const char* findingLevelName(FindingLevel level) {
  switch (level) {
    case FindingLevel::Error: return "error";
    case FindingLevel::Warning: return "warning";
    case FindingLevel::Ok: break;
  }
  return "ok";
}

std::string findingLine(const Finding& finding) {
  return std::string(findingLevelName(finding.level)) + ": " + finding.text;
}

Findings errorsFirst(Findings findings) {
  std::stable_sort(findings.begin(), findings.end(),
                   [](const Finding& a, const Finding& b) { return a.level < b.level; });
  return findings;
}

bool hasErrors(const Findings& findings) {
  return std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.level == FindingLevel::Error; });
}

std::string findingsText(const Findings& findings) {
  std::string text;
  for (const Finding& f : findings) text += findingLine(f) + "\n";
  return text;
}

}  // namespace velmor
