#pragma once
// The update check's reading of the maker's version page and its answer.
// The download itself is the window's; everything it decides is here.
#include <cstddef>
#include <optional>
#include <string>

namespace velmor {

// No more of the page than this is read.
inline constexpr std::size_t kVersionPageLimit = 1000;
// A version text longer than this is not a version.
inline constexpr std::size_t kVersionTextLimit = 20;

// The text between the first "<body>" and the first "</" after it, with
// blanks and line breaks removed, when it is a version: digits in parts
// separated by single dots, at most 20 characters.
std::optional<std::string> latestVersionText(const std::string& page);

// Part by part as numbers, missing parts as 0: 2.10 is newer than 2.9 and
// 2.1 equals 2.1.0. Negative, zero or positive as `a` is older, the same
// or newer than `b`. Both must be versions as above.
int compareVersions(const std::string& a, const std::string& b);

struct UpdateAnswer {
  std::string text;              // what the result label shows
  bool updateAvailable = false;  // "Download Page" is shown
};

// The answer for a page that was read.
UpdateAnswer answerForPage(const std::string& page, const std::string& programVersion);
// The answer for a check that failed; `reason` says why.
UpdateAnswer answerForFailure(const std::string& reason);

inline constexpr const char* kNoVersionReason = "the version page holds no version.";

// Until the maker has a site, a build carries addresses under this host that
// lead nowhere; asking one would only end in a failure about a missing host.
inline constexpr const char* kPlaceholderHost = "velmor.example.org";
inline constexpr const char* kNoUpdateAddressText = "No update address is configured for this build";

// True when the address's host is the placeholder host or lies below it
// (letter case aside).
bool isPlaceholderAddress(const std::string& address);
// The answer when the version address is a placeholder.
UpdateAnswer answerForNoAddress();

}  // namespace velmor
