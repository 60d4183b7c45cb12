#include "map_window.hpp"
#include "../common/number_text.hpp"
#include "product_decoder.hpp"

namespace velmor {

ProductDecoder::ProductDecoder(ProductFile& file, ProductForm& form, std::span<const std::uint8_t> bytes)
    : file_(file), form_(form), reader_(bytes), codePage_(&CodePage::get(1252)) {}

std::uint16_t ProductDecoder::bit2(std::int64_t offset) {
  if (!reader_.inside(offset, 2)) {
    file_.errorText += "bit2:Read past the end of the data at &" + hexUpper(static_cast<std::uint64_t>(offset)) + kCrLf;
  }
  return reader_.bit2(offset);
}

std::int32_t ProductDecoder::bit4(std::int64_t offset) {
  if (!reader_.inside(offset, 4)) {
    file_.errorText += "bit4:Read past the end of the data at &" + hexUpper(static_cast<std::uint64_t>(offset)) + kCrLf;
  }
  return reader_.bit4(offset);
}

std::uint8_t ProductDecoder::tailByte(int offset) const {
  // Bytes past the tail belong to the next block: they are not header values.
  if (offset >= file_.headerTailLength) return 0;
  return reader_.dat(file_.headerTailOffset + offset);
}

std::uint16_t ProductDecoder::decodeHeader() {
  std::uint16_t n = bit2(1);
  appendReport("Block id=&" + hexUpper(reader_.dat(0)) + " length=" + hexUpper(n));

  file_.productId = bit2(3);
  file_.familyId = bit2(5);
  file_.tdbVersion = bit2(7);
  const std::int64_t seriesOffset = 9;
  file_.seriesName = reader_.gettext(seriesOffset, 0);
  const std::int64_t versionOffset = seriesOffset + static_cast<std::int64_t>(file_.seriesName.size()) + 1;
  file_.productVersion = {reader_.dat(versionOffset), reader_.dat(versionOffset + 1)};
  const std::int64_t familyOffset = versionOffset + 2;
  file_.familyName = reader_.gettext(familyOffset, 0);
  file_.headerTailOffset = familyOffset + static_cast<std::int64_t>(file_.familyName.size()) + 1;
  file_.headerTailLength = static_cast<int>(3 + static_cast<std::int64_t>(n) - file_.headerTailOffset);
  const int tail = file_.headerTailLength;
  file_.headerDamaged = tail < 0;
  file_.preservedTailByte = tail >= 1 ? reader_.dat(file_.headerTailOffset) : 0;
  file_.tailOverflow.clear();
  for (int k = 100; k < tail; ++k) file_.tailOverflow.push_back(reader_.dat(file_.headerTailOffset + k));

  file_.mapLevel = tailByte(10);
  appendReport("Map Level:" + std::to_string(file_.mapLevel));

  file_.codePage = file_.tdbVersion != 300 && tail > 31 ? reader_.bit2(file_.headerTailOffset + 30) : 0;
  form_.codePageText = file_.tdbVersion != 300 && tail > 31 ? std::to_string(file_.codePage) : "";
  codePage_ = &CodePage::get(file_.codePage);
  form_.textCodePage = codePage_->number();

  form_.pidText = std::to_string(file_.productId);
  form_.fidText = std::to_string(file_.familyId);
  form_.versionText = numberText(file_.tdbVersion / 100.0);
  form_.fallbackVersionText = form_.versionText;
  form_.seriesNameText = text(file_.seriesName);
  form_.familyNameText = text(file_.familyName);
  file_.nameFields[0] = {0, familyOffset, file_.familyName};
  file_.nameFields[1] = {0, seriesOffset, file_.seriesName};

  appendReport("routable:" + std::to_string(tailByte(38)));
  appendReport("profile info:" + std::to_string(tailByte(40)));
  appendReport("DEM capability:" + std::to_string(tailByte(39)));

  form_.routable = tailByte(38) == 1;
  form_.dem = tailByte(39) == 1;
  form_.profile = tailByte(40) == 1;
  form_.mapWindow = false;
  form_.printing = true;
  const bool below409 = parseNumber(form_.versionText).value_or(0) < 4.09;
  if (tail > 48) {
    if (!below409) form_.printing = tailByte(49) == 0;
    form_.mapWindow = tailByte(50) != 0 || tailByte(51) != 0 || tailByte(52) != 0;
  }
  if (tail == 0) form_.overrideSettings = false;
  form_.overrideSettingsEnabled = tail > 0;

  for (int k = 1; k <= kExtraByteBoxes; ++k) {
    auto& box = form_.extraBytes[static_cast<std::size_t>(k)];
    if (k < tail) {
      box.text = hexUpper(reader_.dat(file_.headerTailOffset + k));
      box.enabled = true;
    } else {
      box.text = " ";
      box.enabled = false;
    }
  }
  form_.tailBoxCount = tail > 0 ? tail : 0;
  form_.countBoxText = std::to_string(tail > 0 ? tail : 1);

  file_.blocks.addLoaded(0, std::min<std::size_t>(n + 3u, reader_.size()));
  return n;
}

}  // namespace velmor
