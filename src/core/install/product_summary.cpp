#include "product_summary.hpp"

#include <filesystem>
#include <system_error>

#include "../common/byte_reader.hpp"
#include "../common/prompter.hpp"
#include "../platform/file_start.hpp"
#include "../platform/utf8_path.hpp"
#include "../product/block_types.hpp"
#include "../product/code_page.hpp"

namespace velmor {

namespace {

constexpr std::size_t kSummaryBytes = 100;
constexpr std::int64_t kSeriesNameOffset = 9;

}  // namespace

std::string hex2(const std::string& hex) { return hex.size() >= 2 ? hex : std::string(2 - hex.size(), '0') + hex; }

std::optional<ProductSummary> productSummary(const std::string& path, Prompter& prompter) {
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(pathFromUtf8(path), ec)) return std::nullopt;
  std::string error;
  const auto bytes = readFileStart(path, kSummaryBytes, error);
  if (!bytes) {
    // Shown once; the listing goes on with the next product.
    prompter.message(error);
    return std::nullopt;
  }
  const ByteReader r(*bytes);
  if (bytes->empty() || r.dat(0) != HeaderBlock) return std::nullopt;
  ProductSummary summary;
  // The name ends at its 0 or, in a file cut short, where the bytes end.
  const std::size_t length = r.textLength(kSeriesNameOffset);
  if (length > 0) {
    summary.seriesName =
        CodePage::get(1252).decode(std::span<const std::uint8_t>(bytes->data() + kSeriesNameOffset, length));
  }
  summary.familyLow = r.dat(5);
  summary.familyHigh = r.dat(6);
  summary.productLow = r.dat(3);
  summary.productHigh = r.dat(4);
  return summary;
}

std::string readProductSummary(const std::string& path, Prompter& prompter) {
  const auto summary = productSummary(path, prompter);
  if (!summary) return "";
  return summary->seriesName + "\r" + hex2(hexUpper(summary->familyLow)) + "\r" + hex2(hexUpper(summary->familyHigh)) +
         "\r" + hex2(hexUpper(summary->productLow)) + "\r" + hex2(hexUpper(summary->productHigh));
}

}  // namespace velmor
