#pragma once
// Opening a product file is always the same pair: loadbinary reads the file
// whole, get_data walks its blocks and fills the model and the form.
#include <cstdint>
#include <optional>
#include <string>

#include "damage_verdict.hpp"
#include "product_form.hpp"
#include "../common/prompter.hpp"
#include "product_file.hpp"

namespace velmor {

enum class LoadStatus { Read, TooLarge, Unreadable };

LoadStatus loadbinary(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter,
                      Activity& activity = quietActivity());
void get_data(ProductFile& file, ProductForm& form, Prompter& prompter, Activity& activity = quietActivity());

// Both steps, as every way of opening a file runs them.
LoadStatus openProduct(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter,
                       Activity& activity = quietActivity());

// The block report alone (velmor-cli report): the same report, messages and
// error text as openProduct, without what only an edit of the file needs:
// the copy kept to compare against, the CRC of the bytes as read, the list
// of blocks and the window's list of tiles. `file` and `form` serve for
// reading the report, bounds and error text, not for editing or saving.
// The judgement of the bytes read comes with it, as judgeProductFile gives
// it after openProduct.
struct ReportLoad {
  LoadStatus status = LoadStatus::Read;
  DamageVerdict verdict;
};
ReportLoad openProductForReport(ProductFile& file, ProductForm& form, const std::string& path, Prompter& prompter);

// The map number of the overview block of a file just opened; nullopt when
// it has no overview block.
std::optional<std::uint32_t> overviewMapNumberRead(const ProductFile& file, const ProductForm& form);

// Sets the modified flag (the title then ends with "+").
inline void MarkModified(ProductFile& file) { file.modified = true; }

}  // namespace velmor
