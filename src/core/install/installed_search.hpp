#pragma once
// "Search" in the installed-products list: each press finds the next line
// holding the text, and wraps to the top when it runs out.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velmor {

class InstalledSearch {
 public:
  // The line to select for `text` (compared in lower case), or nullopt when
  // no line holds it, which leaves every line deselected.
  std::optional<std::size_t> next(const std::vector<std::string>& lines, const std::string& text);
  // Where the next search starts.
  std::size_t position() const { return position_; }

 private:
  std::size_t position_ = 0;
};

}  // namespace velmor
