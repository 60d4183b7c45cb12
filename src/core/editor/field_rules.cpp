#include "field_rules.hpp"

#include "../product/code_page.hpp"
#include "../product/loader.hpp"
#include "../common/number_text.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"
#include "../common/prompter.hpp"

namespace velmor {

namespace {

constexpr std::int64_t kFamilyIdOffset = 5;
constexpr int kLastCycledBox = 89;

bool isControlThatPasses(char32_t key) { return key == kBackspace || key == kEnter || key == kDelete; }

}  // namespace

bool pidFidKeyPasses(char32_t key) {
  return (key >= '0' && key <= ':') || key == kBackspace || key == kEnter || key == kLineFeed;
}

bool nameKeyPasses(char32_t key, const CodePage& codePage) {
  // The punctuation names may hold, "£" included whether or not the page has it.
  static const std::u32string extra = U" @:#<>%$£^&*()+_!?";
  if (isControlThatPasses(key) || extra.find(key) != std::u32string::npos) return true;
  std::optional<std::uint8_t> byte = codePage.byteFor(key);
  if (!byte) return false;
  const int code = *byte;
  return (code >= 48 && code <= 58) || (code >= 65 && code <= 254);
}

bool boundKeyPasses(char32_t key) {
  static const std::u32string allowed = U".0123456789-+";
  return allowed.find(key) != std::u32string::npos || key == kBackspace || key == kDelete;
}

std::optional<char32_t> firstRefusedCharacter(std::string_view utf8, const std::function<bool(char32_t)>& passes) {
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    char32_t ch = nextUtf8(utf8, pos);
    if (!passes(ch)) return ch;
  }
  return std::nullopt;
}

bool pidFidKey(ProductFile& file, char32_t key) {
  MarkModified(file);
  return pidFidKeyPasses(key);
}

bool fidEnter(ProductFile& file, const ProductForm& form, Prompter& prompter) {
  if (file.data.empty()) {
    prompter.message("No data");
    return false;
  }
  auto value = parseInteger(form.fidText);
  if (!value || *value < 0 || *value > 0xFFFF) return false;
  if (static_cast<std::int64_t>(file.data.size()) < kFamilyIdOffset + 2) return false;
  file.data[kFamilyIdOffset] = static_cast<std::uint8_t>(*value & 0xFF);
  file.data[kFamilyIdOffset + 1] = static_cast<std::uint8_t>(*value >> 8);
  return true;
}

bool nameKey(ProductFile& file, const ProductForm& form, char32_t key) {
  if (!nameKeyPasses(key, CodePage::get(form.textCodePage))) return false;
  file.overviewEdited = true;
  MarkModified(file);
  return true;
}

void boundKeyReleased(ProductFile& file) {
  file.overviewEdited = true;
  MarkModified(file);
}

void copyrightEdited(ProductFile& file) {
  file.copyrightEdited = true;
  MarkModified(file);
}

void tileCopyrightKey(ProductFile& file) { MarkModified(file); }

std::optional<int> extraByteFocus(int box, bool enterKey, int selectedCharacters) {
  if (!enterKey && selectedCharacters <= 2) return std::nullopt;
  if (box == kLastCycledBox || box >= 99) return 1;
  return box + 1;
}

}  // namespace velmor
