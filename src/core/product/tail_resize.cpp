#include "tail_resize.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "product_form.hpp"
#include "loader.hpp"
#include "../common/number_text.hpp"
#include "product_file.hpp"

namespace velmor {

namespace {

// A box "holds 0" when its text is zero written with zeros only ("0", "00").
bool holdsZero(const std::string& text) { return !text.empty() && text.find_first_not_of('0') == std::string::npos; }

ExtraByteBox& box(ProductForm& form, int k) { return form.extraBytes[static_cast<std::size_t>(k)]; }

constexpr std::array<std::pair<int, const char*>, 7> kTailDefaults{
    {{1, "12"}, {2, "1"}, {3, "1"}, {4, "1"}, {10, "18"}, {34, "10"}, {35, "27"}}};

}  // namespace

std::optional<int> tailLengthForVersion(int tdbVersion) {
  switch (tdbVersion) {
    case 300: return 0;
    case 403: return 30;
    case 407: return 41;
    case 408: return 49;
    case 409: return 58;
    case 411: return 61;
    default: return std::nullopt;
  }
}

void newtdb(ProductFile& file, ProductForm& form, int n) {
  // Bytes that leave the tail are cleared and bytes that enter it start at
  // zero; the bytes both lengths share keep their values.
  int m = std::max(1, std::min(form.tailBoxCount, n));
  for (int k = m; k <= kExtraByteBoxes; ++k) box(form, k).text = "0";
  form.tailBoxCount = n;

  for (const auto& [k, text] : kTailDefaults) {
    if (holdsZero(box(form, k).text)) box(form, k).text = text;
  }

  if (n > 30) {
    auto number = parseInteger(form.codePageText);
    if (number.value_or(0) < 1250) form.codePageText = "1252";
    codepage(form);
    box(form, 34).text = "10";
    box(form, 35).text = "27";
  }

  for (int k = 1; k <= kExtraByteBoxes; ++k) box(form, k).enabled = k < n;

  if (file.checksumText.empty()) file.checksumText = kUnsetChecksumText;
  MarkModified(file);
}

void codepage(ProductForm& form) {
  auto number = parseInteger(form.codePageText);
  if (!number || *number < 0 || *number > 0xFFFF) return;
  char hex[8];
  std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(*number));
  box(form, 31).text = std::string(hex, 2);
  box(form, 30).text = std::string(hex + 2, 2);
}

}  // namespace velmor
