#include "update_check.hpp"

#include <algorithm>
#include <vector>

namespace velmor {

namespace {

bool isVersion(const std::string& text) {
  if (text.empty() || text.size() > kVersionTextLimit) return false;
  bool partHasDigit = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      partHasDigit = true;
    } else if (c == '.' && partHasDigit) {
      partHasDigit = false;
    } else {
      return false;
    }
  }
  return partHasDigit;
}

// The parts without their leading zeros, so that parts of any length
// compare as numbers without overflowing.
std::vector<std::string> versionParts(const std::string& version) {
  std::vector<std::string> parts(1);
  for (char c : version) {
    if (c == '.') {
      parts.emplace_back();
    } else if (c != '0' || !parts.back().empty()) {
      parts.back() += c;
    }
  }
  return parts;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int compareParts(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::optional<std::string> latestVersionText(const std::string& page) {
  const std::size_t body = page.find("<body>");
  if (body == std::string::npos) return std::nullopt;
  const std::size_t start = body + 6;
  const std::size_t end = page.find("</", start);
  if (end == std::string::npos) return std::nullopt;
  std::string text;
  for (std::size_t k = start; k < end; ++k) {
    const char c = page[k];
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t') text += c;
  }
  if (!isVersion(text)) return std::nullopt;
  return text;
}

int compareVersions(const std::string& a, const std::string& b) {
  const std::vector<std::string> pa = versionParts(a);
  const std::vector<std::string> pb = versionParts(b);
  const std::size_t n = std::max(pa.size(), pb.size());
  for (std::size_t k = 0; k < n; ++k) {
    const std::string x = k < pa.size() ? pa[k] : std::string();
    const std::string y = k < pb.size() ? pb[k] : std::string();
    if (const int c = compareParts(x, y); c != 0) return c;
  }
  return 0;
}

UpdateAnswer answerForPage(const std::string& page, const std::string& programVersion) {
  const auto latest = latestVersionText(page.substr(0, kVersionPageLimit));
  if (!latest) return answerForFailure(kNoVersionReason);
  if (compareVersions(*latest, programVersion) > 0) return {"An update is available: " + *latest, true};
  return {"Your version is up to date.", false};
}

UpdateAnswer answerForFailure(const std::string& reason) { return {"Could not check for updates: " + reason, false}; }

bool isPlaceholderAddress(const std::string& address) {
  const std::size_t scheme = address.find("://");
  std::size_t start = scheme == std::string::npos ? 0 : scheme + 3;
  std::size_t end = address.find_first_of("/?#", start);
  if (end == std::string::npos) end = address.size();
  // "user:password@host:port": the host lies after the last "@" and before the port.
  if (const std::size_t at = address.rfind('@', end); at != std::string::npos && at >= start) start = at + 1;
  if (const std::size_t colon = address.find(':', start); colon != std::string::npos && colon < end) end = colon;
  std::string host;
  for (std::size_t k = start; k < end; ++k) host += lowerAscii(address[k]);
  while (!host.empty() && host.back() == '.') host.pop_back();
  const std::string placeholder = kPlaceholderHost;
  if (host == placeholder) return true;
  return host.size() > placeholder.size() &&
         host.compare(host.size() - placeholder.size() - 1, std::string::npos, "." + placeholder) == 0;
}

UpdateAnswer answerForNoAddress() { return {kNoUpdateAddressText, false}; }

}  // namespace velmor
