#pragma once
// What the detail-map list, the tile labels and the " img data" panel
// remember between clicks. It lives in the form so that every rule can run
// without a window; a load starts it afresh.
#include <cstdint>
#include <string>
#include <unordered_map>

namespace velmor {

enum class PanelTextKind { None, ListEntry, Label };

struct TileState {
  int listIndex = -1;        // selected list entry, -1 for none
  int lastClickedLabel = 0;  // 1-based label number, 0 before the first click
  int searchStart = 0;       // list position where the next search begins

  // Labels sent to the back, with their depth: lower is further back. A label
  // not in the map keeps its creation order (later labels lie on top).
  std::unordered_map<int, std::int64_t> sentBack;
  std::int64_t nextBackDepth = -1;

  // The filled rectangle over the current tile.
  bool highlightShown = false;
  int highlightLabel = 0;

  // The text panel beside the list and which tile it describes.
  std::string panelText;
  PanelTextKind panelKind = PanelTextKind::None;
  int panelTile = -1;

  // The tile whose block the byte boxes show, and whether they were edited
  // since they were filled or kept.
  int rawBlockTile = -1;
  bool rawBytesPending = false;
};

}  // namespace velmor
