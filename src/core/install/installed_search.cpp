#include "installed_search.hpp"

#include "../platform/unicode_text.hpp"

namespace velmor {

std::optional<std::size_t> InstalledSearch::next(const std::vector<std::string>& lines, const std::string& text) {
  const std::string term = lowerUtf8(text);
  std::optional<std::size_t> found;
  for (int pass = 0; pass < 2 && !found; ++pass) {
    const std::size_t start = position_;
    for (std::size_t i = start; i < lines.size(); ++i) {
      if (lowerUtf8(lines[i]).find(term) != std::string::npos) {
        found = i;
        position_ = i + 1;
        break;
      }
    }
    // A search that began further down runs once more from the top.
    if (found || start == 0) break;
    position_ = 0;
  }
  if (!found || position_ >= lines.size()) position_ = 0;
  return found;
}

}  // namespace velmor
