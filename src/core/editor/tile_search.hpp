#pragma once
// "Search Map TXT": finds the next tile whose description or IMG name holds
// the search text, without regard to case, and wraps around once.
#include <string>
#include <string_view>

#include "../common/prompter.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

// Runs one search from the form's searchStart; returns the tile found or -1.
int search(const ProductFile& file, ProductForm& form, std::string_view term, Prompter& prompter);

// A key typed into the search box: Enter searches, every other key makes the
// next search start again from the first tile.
int searchBoxKey(const ProductFile& file, ProductForm& form, bool enter, std::string_view term, Prompter& prompter);

}  // namespace velmor
