#pragma once
// Exactly what the main window's controls hold. The decoders fill it, the
// editing rules change it and the rebuilders read it at save time, so the
// whole editor can run and be tested without a window.
#include <array>
#include <string>
#include <vector>

#include "detail_map_view.hpp"
#include "tile_state.hpp"

namespace velmor {

inline constexpr int kExtraByteBoxes = 99;

struct ExtraByteBox {
  std::string text = "00";
  bool enabled = true;  // white and editable; greyed (RGB 200, 200, 180) when false
};

enum class CopyrightKind { Neither, Sources, CopyrightInfo };

struct ProductForm {
  // Header row.
  std::string pidText;
  std::string fidText;
  std::string seriesNameText;                // "Mapsource Name"
  std::string familyNameText;                // "Faimily Name"
  std::string versionText;                   // what the version list shows ("4.07", "3" ...)
  std::string fallbackVersionText = "4.11";  // the version as loaded
  std::string codePageText;
  // The code page the texts were decoded with; they are encoded back with it.
  int textCodePage = 1252;

  bool routable = false;
  bool dem = false;
  bool profile = false;
  bool printing = true;
  bool mapWindow = false;
  bool mapWindowListsEnabled = false;
  std::string mapWindowWidthText = "50%";
  std::string mapWindowHeightText = "40%";

  bool overrideSettings = false;
  bool overrideSettingsEnabled = true;

  // Index 1..99 are the boxes; index 0 is unused (tail byte 0 has no box).
  std::array<ExtraByteBox, kExtraByteBoxes + 1> extraBytes{};
  int tailBoxCount = 61;
  std::string countBoxText = "61";

  // Copyright row.
  bool copyrightDisplay = false;
  bool copyrightPrint = false;
  CopyrightKind copyrightKind = CopyrightKind::Neither;
  std::string copyrightByte2Text = "0";
  std::string copyrightByte3Text = "0";
  std::string copyrightText;
  bool copyrightTextEnabled = true;

  // Overview map.
  std::string overviewNumberText;  // hexadecimal
  std::string parentNumberText;    // decimal
  std::string overviewNameText;
  std::string overviewNorth, overviewEast, overviewSouth, overviewWest;

  // "Tile Copyright" row (blocks 0x52 and 0x53).
  std::string tileCopyright1;
  std::string tileCopyright2;
  bool tileCopyright1Enabled = true;
  bool tileCopyright2Enabled = true;

  // Detail maps, one per tile in file order.
  std::vector<DetailMapView> detailMaps;
  int selectedMap = 0;

  // Plot state that a load resets.
  float zoom = 1.0f;
  int panX = 0;
  int panY = 0;

  // The " img data" raw block panel: byte box texts of the shown block.
  std::vector<std::string> rawBlockBoxes;
  bool rawBlockPanelShown = false;
  bool keepChangesEnabled = false;
  // Colour of each byte box (classic palette index, -1 for the default).
  std::vector<int> rawBlockColours;

  // Selection, search and panel state of the tiles; reset by every load.
  TileState tileState;
  // "Copy Stream" / "Paste Stream": lives as long as the program, so a load
  // never clears it.
  std::string streamBuffer;
};

}  // namespace velmor
