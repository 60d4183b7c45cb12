#pragma once
// What the installed-products list shows of a product file it finds in a
// map folder: its series name and its family and product ids, read from the
// header block at the start of the file.
#include <cstdint>
#include <optional>
#include <string>

namespace velmor {

class Prompter;

struct ProductSummary {
  std::string seriesName;  // UTF-8, decoded from code page 1252
  std::uint8_t familyLow = 0;
  std::uint8_t familyHigh = 0;
  std::uint8_t productLow = 0;
  std::uint8_t productHigh = 0;
  std::uint16_t familyId() const { return static_cast<std::uint16_t>(familyHigh << 8 | familyLow); }
};

// Pads a hexadecimal text to two digits: "A" gives "0A", "" gives "00".
std::string hex2(const std::string& hex);

// The summary of the product file at `path`, from at most its first 100
// bytes; a shorter file gives what it holds. nullopt when the path is empty,
// names no file, or the file does not start with a header block. A read
// error is shown once through `prompter`.
std::optional<ProductSummary> productSummary(const std::string& path, Prompter& prompter);

// The summary as five parts separated by CR: the series name, then hex2 of
// the family id's low and high byte and the product id's low and high byte.
// "" when there is none.
std::string readProductSummary(const std::string& path, Prompter& prompter);

}  // namespace velmor
