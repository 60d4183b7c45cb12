#include "tile_selection.hpp"

#include <algorithm>

#include "../common/bytes.hpp"
#include "../product/tile_texts.hpp"

namespace velmor {

namespace {

bool validTile(const ProductForm& form, int tile) {
  return tile >= 0 && static_cast<std::size_t>(tile) < form.detailMaps.size();
}

struct BoundsTexts {
  std::string north, east, south, west, description;
};

// The record is north#east#south#west#description#. A description may itself
// hold "#", so everything after the fourth separator up to the closing one is
// the description.
BoundsTexts boundsTexts(const std::string& record) {
  BoundsTexts b;
  std::string* fields[] = {&b.north, &b.east, &b.south, &b.west};
  std::size_t pos = 0;
  for (std::string* field : fields) {
    const std::size_t hash = record.find('#', pos);
    if (hash == std::string::npos) {
      *field = record.substr(pos);
      return b;
    }
    *field = record.substr(pos, hash - pos);
    pos = hash + 1;
  }
  std::string rest = pos < record.size() ? record.substr(pos) : std::string();
  if (!rest.empty() && rest.back() == '#') rest.pop_back();
  b.description = std::move(rest);
  return b;
}

}  // namespace

std::vector<std::string> splitFields(const std::string& text, const std::string& separator) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t at = text.find(separator, pos);
    if (at == std::string::npos) {
      fields.push_back(text.substr(pos));
      break;
    }
    fields.push_back(text.substr(pos, at - pos));
    pos = at + separator.size();
  }
  return fields;
}

void selectMap(ProductForm& form, int tile) {
  if (!validTile(form, tile)) return;
  form.selectedMap = tile;
  form.tileState.listIndex = tile;
  form.tileState.highlightLabel = tile + 1;
  form.tileState.highlightShown = true;
}

std::string listPanelText(const ProductFile& file, const ProductForm& form, int tile) {
  const TileTexts t = tileTexts(file, form, tile);
  const BoundsTexts b = boundsTexts(t.boundsRecord);
  std::string text = b.description + ":" + kCrLf;
  text += b.north + "," + b.east + kCrLf;
  text += b.south + "," + b.west + kCrLf + kCrLf;
  text += t.infoText;
  return text;
}

std::string labelPanelText(const ProductFile& file, const ProductForm& form, int tile) {
  const TileTexts t = tileTexts(file, form, tile);
  const BoundsTexts b = boundsTexts(t.boundsRecord);
  std::string text = "Description:" + t.listText + kCrLf;
  text += "IMG:" + t.imgName + kCrLf;
  text += "Lat:" + b.north + " Long:" + b.east + kCrLf;
  text += "Lat:" + b.south + " Long:" + b.west + kCrLf + kCrLf;
  text += t.infoText;
  return text;
}

void refreshPanelText(const ProductFile& file, ProductForm& form, int tile) {
  TileState& s = form.tileState;
  if (s.panelTile != tile || !validTile(form, tile)) return;
  if (s.panelKind == PanelTextKind::ListEntry) s.panelText = listPanelText(file, form, tile);
  if (s.panelKind == PanelTextKind::Label) s.panelText = labelPanelText(file, form, tile);
}

void listClick(const ProductFile& file, ProductForm& form, int tile) {
  if (!validTile(form, tile)) return;
  selectMap(form, tile);
  TileState& s = form.tileState;
  s.panelKind = PanelTextKind::ListEntry;
  s.panelTile = tile;
  s.panelText = listPanelText(file, form, tile);
}

void labelLeftClick(const ProductFile& file, ProductForm& form, int label) {
  const int tile = label - 1;
  if (!validTile(form, tile)) return;
  TileState& s = form.tileState;
  s.highlightLabel = label;
  s.highlightShown = true;
  s.panelKind = PanelTextKind::Label;
  s.panelTile = tile;
  s.panelText = labelPanelText(file, form, tile);

  // A second click on the same label must not flip the stacking again, or a
  // click on a spot where tiles overlap could never settle. When the
  // selection moved elsewhere since (list, search), the click selects again.
  if (label == s.lastClickedLabel && form.selectedMap == tile) return;
  s.lastClickedLabel = label;
  s.listIndex = tile;
  s.sentBack[label] = s.nextBackDepth--;
  form.selectedMap = tile;
}

bool mayEditDescription(const ProductForm& form, Prompter& prompter) {
  if (!validTile(form, form.tileState.listIndex)) {
    prompter.message("Select an img.");
    return false;
  }
  return true;
}

std::int64_t labelDepth(const ProductForm& form, int label) {
  const auto it = form.tileState.sentBack.find(label);
  return it == form.tileState.sentBack.end() ? label : it->second;
}

int topLabel(const ProductForm& form, std::span<const int> labelsUnderPoint) {
  int best = 0;
  std::int64_t bestDepth = 0;
  for (int label : labelsUnderPoint) {
    const std::int64_t depth = labelDepth(form, label);
    if (best == 0 || depth > bestDepth) {
      best = label;
      bestDepth = depth;
    }
  }
  return best;
}

}  // namespace velmor
