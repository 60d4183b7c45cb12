#include "stream_tools.hpp"

#include <cmath>

#include "../product/loader.hpp"
#include "../common/number_text.hpp"
#include "tile_selection.hpp"

namespace velmor {

void copyStream(ProductForm& form) {
  const int n = form.tailBoxCount - 1;
  std::string stream = std::to_string(n) + ",";
  for (int k = 1; k <= n && k <= kExtraByteBoxes; ++k) {
    stream += form.extraBytes[static_cast<std::size_t>(k)].text;
    stream += ",";
  }
  form.streamBuffer = std::move(stream);
}

bool pasteStream(ProductFile& file, ProductForm& form) {
  if (form.streamBuffer.empty()) return false;
  const std::vector<std::string> fields = splitFields(form.streamBuffer, ",");
  if (fields.empty()) return false;
  const std::optional<std::int64_t> count = parseInteger(fields[0]);
  // A stream that does not hold what its count promises came from somewhere
  // else than "Copy Stream"; putting part of it in would mix two tails.
  if (!count || *count < -1 || *count > kExtraByteBoxes) return false;
  const int n = static_cast<int>(*count);
  if (static_cast<int>(fields.size()) < n + 1) return false;

  form.tailBoxCount = n + 1;
  form.countBoxText = std::to_string(n + 1);
  for (int k = 1; k <= kExtraByteBoxes; ++k) {
    ExtraByteBox& box = form.extraBytes[static_cast<std::size_t>(k)];
    if (k < n + 1) {
      box.text = fields[static_cast<std::size_t>(k)];
      box.enabled = true;
    } else {
      box.enabled = false;
    }
  }
  MarkModified(file);
  return true;
}

double recalculatedDegrees(double thousandths) { return std::trunc(thousandths * 100.0) / 100000.0; }

bool recalculate(ProductFile& file, ProductForm& form) {
  // Without tiles the bounds still hold their reset values (north -180 ...),
  // which would overwrite the overview with a meaningless box.
  if (form.detailMaps.empty()) return false;
  const OverallBounds& b = file.overallBounds;
  form.overviewNorth = numberText(recalculatedDegrees(b.greatestLatitude));
  form.overviewSouth = numberText(recalculatedDegrees(b.leastLatitude));
  form.overviewWest = numberText(recalculatedDegrees(b.leastLongitude));
  form.overviewEast = numberText(recalculatedDegrees(b.greatestLongitude));
  // The overview block is rebuilt from the boxes only when it was edited.
  file.overviewEdited = true;
  MarkModified(file);
  return true;
}

}  // namespace velmor
