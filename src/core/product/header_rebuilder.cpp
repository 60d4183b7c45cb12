// updateblock0: the header block from the header row and the extra-byte boxes.
#include "map_window.hpp"
#include "block_types.hpp"
#include "../common/number_text.hpp"
#include "rebuilders.hpp"

namespace velmor {

namespace {

using Boxes = std::array<std::string, kExtraByteBoxes + 1>;

std::string boxRefusal(int box) {
  return refusalText("Extra byte box " + std::to_string(box) + " must hold a hexadecimal number from 0 to FF.");
}

// The feature options go into the boxes that stand for their tail bytes.
// The map-window sizes only when "Map Window" or a size list was changed:
// the lists show the bytes rounded to tens of per cent, and working the
// bytes out from them again would move sizes nobody touched.
Refusal writeOptionsIntoBoxes(const ProductFile& file, const ProductForm& form, int tail, Boxes& boxes) {
  if (tail > 37) {
    boxes[38] = form.routable ? "1" : "0";
    boxes[39] = form.dem ? "1" : "0";
    boxes[40] = form.profile ? "1" : "0";
  }
  if (tail > 48) {
    boxes[49] = form.printing ? "0" : "1";
    if (form.mapWindow && file.mapWindowEdited) {
      auto width = mapWindowPercent(form.mapWindowWidthText);
      if (!width || *width < 0) return refusalText("The first map-window size list must hold a percentage.");
      auto height = mapWindowPercent(form.mapWindowHeightText);
      if (!height || *height < 0) return refusalText("The second map-window size list must hold a percentage.");
      const std::uint16_t w = mapWindowValue(*width, kMapWindowWidthFactor);
      const std::uint16_t h = mapWindowValue(*height, kMapWindowHeightFactor);
      boxes[50] = hexUpper(static_cast<std::uint8_t>(w & 0xFF));
      boxes[51] = hexUpper(static_cast<std::uint8_t>(w >> 8));
      boxes[54] = hexUpper(static_cast<std::uint8_t>(h & 0xFF));
      boxes[55] = hexUpper(static_cast<std::uint8_t>(h >> 8));
    }
  }
  return std::nullopt;
}

// Tail bytes 1 to last: boxes 1 to 99, then the bytes past box 99 kept from
// the file (zeros where the file had none).
Refusal appendTailBytes(const ProductFile& file, const Boxes& boxes, int last, Bytes& tail) {
  for (int k = 1; k <= last; ++k) {
    if (k <= kExtraByteBoxes) {
      auto value = hexByteBox(boxes[static_cast<std::size_t>(k)]);
      if (!value) return boxRefusal(k);
      tail.push_back(*value);
    } else {
      const auto over = static_cast<std::size_t>(k - kExtraByteBoxes - 1);
      tail.push_back(over < file.tailOverflow.size() ? file.tailOverflow[over] : 0);
    }
  }
  return std::nullopt;
}

}  // namespace

Refusal updateblock0(ProductFile& file, ProductForm& form, Prompter& prompter) {
  // Names that ran past the block hold the next blocks' bytes: a header
  // rebuilt from them would swallow those. It stays as read; the save
  // refuses any change (composeSave).
  if (file.headerDamaged) return std::nullopt;
  const CodePage& page = CodePage::get(form.textCodePage);
  auto pid = box16(form.pidText);
  if (!pid) return refusalText("The PID box must hold a number from 0 to 65535.");
  auto fid = box16(form.fidText);
  if (!fid) return refusalText("The FID box must hold a number from 0 to 65535.");

  Bytes body;
  appendLe16(body, *pid);
  appendLe16(body, *fid);
  appendLe16(body, file.tdbVersion);
  if (auto r = appendStoredOrText(page, form.seriesNameText, file.seriesName, "The Mapsource Name", body)) return r;
  body.push_back(file.productVersion[0]);
  body.push_back(file.productVersion[1]);
  if (auto r = appendStoredOrText(page, form.familyNameText, file.familyName, "The Faimily Name", body)) return r;

  Boxes boxes;
  for (std::size_t k = 0; k < boxes.size(); ++k) boxes[k] = form.extraBytes[k].text;
  std::string note;
  const int tail = file.headerTailLength;
  if (tail < 1) {
    note = "Found unknown header:&" + hexUpper(file.tdbVersion) + " Please report.";
  } else {
    for (std::string& box : boxes) {
      if (box.empty()) box = "0";
    }
    Bytes tailBytes{file.preservedTailByte};
    if (form.overrideSettings) {
      note = "Using own settings";
      // The count box says how long the tail is; the boxes go in as typed.
      const int most = kExtraByteBoxes + 1 + static_cast<int>(file.tailOverflow.size());
      auto count = parseInteger(form.countBoxText);
      if (!count || *count < 1 || *count > most) {
        return refusalText("The extra-byte count box must hold a number from 1 to " + std::to_string(most) + ".");
      }
      if (auto r = appendTailBytes(file, boxes, static_cast<int>(*count) - 1, tailBytes)) return r;
    } else {
      if (auto r = writeOptionsIntoBoxes(file, form, tail, boxes)) return r;
      if (auto r = appendTailBytes(file, boxes, tail - 1, tailBytes)) return r;
    }
    body.insert(body.end(), tailBytes.begin(), tailBytes.end());
  }

  Bytes block;
  if (auto r = frameBlock(HeaderBlock, body, "The header block", block)) return r;
  if (!note.empty()) prompter.message(note);
  for (std::size_t k = 0; k < boxes.size(); ++k) form.extraBytes[k].text = boxes[k];
  if (file.blocks.empty()) file.blocks.push_back({});
  file.blocks.set(0, std::move(block));
  return std::nullopt;
}

}  // namespace velmor
