#include "tile_search.hpp"

#include "../platform/unicode_text.hpp"
#include "../product/code_page.hpp"
#include "../product/tile_texts.hpp"
#include "tile_selection.hpp"

namespace velmor {

namespace {

// A tile matches on its list entry or on its label caption, which adds the
// IMG name, so a tile can be found by the name of its IMG file.
bool matches(const ProductFile& file, const ProductForm& form, int tile, const std::string& term) {
  return lowerUtf8(tileCaption(file, form, tile)).find(term) != std::string::npos;
}

}  // namespace

int search(const ProductFile& file, ProductForm& form, std::string_view termText, Prompter& prompter) {
  const int count = static_cast<int>(form.detailMaps.size());
  if (count == 0) {
    prompter.message("No Data.");
    return -1;
  }
  const std::string term = lowerUtf8(termText);
  int& start = form.tileState.searchStart;
  if (start < 0 || start > count) start = 0;
  // One pass from where the last search stopped, then, once, from the top.
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = start; i < count; ++i) {
      if (!matches(file, form, i, term)) continue;
      listClick(file, form, i);
      start = i + 1;
      return i;
    }
    if (start == 0) break;
    start = 0;
  }
  return -1;
}

int searchBoxKey(const ProductFile& file, ProductForm& form, bool enter, std::string_view term, Prompter& prompter) {
  if (!enter) {
    form.tileState.searchStart = 0;
    return -1;
  }
  return search(file, form, term, prompter);
}

}  // namespace velmor
