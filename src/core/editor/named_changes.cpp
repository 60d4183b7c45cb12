#include "named_changes.hpp"

#include <optional>
#include <vector>

#include "../common/number_text.hpp"
#include "../platform/unicode_text.hpp"
#include "../product/code_page.hpp"
#include "../product/loader.hpp"
#include "../product/map_window.hpp"
#include "field_rules.hpp"

namespace velmor {

namespace {

const NamedChange kChanges[] = {
    {"pid", "Product id (digits)"},
    {"fid", "Family id (digits)"},
    {"series-name", "\"Mapsource Name\""},
    {"family-name", "\"Faimily Name\""},
    {"version", "TDB version: 3.00, 4.03, 4.07, 4.08, 4.09 or 4.11"},
    {"code-page", "Code page number (tail bytes 30 and 31)"},
    {"routable", "on|off"},
    {"dem", "on|off"},
    {"profile", "on|off"},
    {"printing", "on|off"},
    {"map-window", "off, or WIDTH%,HEIGHT% (ticks Map Window)"},
    {"override-settings", "on|off"},
    {"tail-byte", "K=HEX: header tail byte K (1-99)"},
    {"copyright", "Copyright text (one record per line)"},
    {"copyright-display", "on|off"},
    {"copyright-print", "on|off"},
    {"tile-copyright1", "First \"Tile Copyright\" text"},
    {"tile-copyright2", "Second \"Tile Copyright\" text"},
    {"overview-name", "\"Overview Name\""},
    {"overview-number", "Overview map number (hexadecimal)"},
    {"parent-number", "Parent number"},
    {"overview-bounds", "N,E,S,W in degrees"},
};

// Text typed into a box key by key: a key the box drops refuses the whole
// change rather than changing the text behind the user's back.
void typed(const std::string& box, const std::string& text, const std::function<bool(char32_t)>& passes) {
  if (auto bad = firstRefusedCharacter(text, passes)) {
    std::string ch;
    appendUtf8(ch, *bad);
    throw ChangeRefused{"The " + box + " box does not take '" + ch + "'."};
  }
}

}  // namespace

std::span<const NamedChange> namedChanges() { return kChanges; }

bool NamedChanges::onOff(const std::string& option, const std::string& value) {
  if (value == "on") return true;
  if (value == "off") return false;
  refuse(option + " takes on or off, not '" + value + "'.");
}

void NamedChanges::idBox(const std::string& box, std::string& target, const std::string& value) {
  typed(box, value, pidFidKeyPasses);
  target = value;
  pidFidKey(file_, kEnter);
}

void NamedChanges::nameBox(const std::string& box, std::string& target, const std::string& value) {
  const CodePage& page = CodePage::get(form_.textCodePage);
  typed(box, value, [&page](char32_t k) { return nameKeyPasses(k, page); });
  target = value;
  nameKey(file_, form_, kBackspace);  // sets the flags a typed key sets
}

void NamedChanges::needOverview() const {
  if (file_.overviewIndex < 0) refuse("This file has no overview map block.");
}

void NamedChanges::feature(FeatureOption option, bool wanted) {
  bool& state = featureState(form_, option);
  if (state == wanted) return;  // nothing to click
  state = wanted;
  if (featureOptionClicked(file_, form_, option, suppressCrashWarnings_, prompter_, log_) == RuleOutcome::Refused)
    refuse("");
}

void NamedChanges::mapWindow(const std::string& value) {
  if (value == "off") {
    feature(FeatureOption::MapWindow, false);
    return;
  }
  std::size_t comma = value.find(',');
  std::optional<double> w, h;
  if (comma != std::string::npos) {
    w = mapWindowPercent(value.substr(0, comma));
    h = mapWindowPercent(value.substr(comma + 1));
  }
  if (!w || !h || *w <= 0 || *w > 100 || *h <= 0 || *h > 100)
    refuse("--map-window takes off or WIDTH%,HEIGHT% with percentages from 1 to 100, not '" + value + "'.");
  feature(FeatureOption::MapWindow, true);
  auto percent = [](const std::string& t) { return t.substr(0, t.find('%')) + "%"; };
  mapWindowSizeChanged(file_, form_, true, percent(value.substr(0, comma)));
  mapWindowSizeChanged(file_, form_, false, percent(value.substr(comma + 1)));
}

void NamedChanges::tailByte(const std::string& value) {
  std::size_t eq = value.find('=');
  const std::int64_t box = eq == std::string::npos ? 0 : parseInteger(value.substr(0, eq)).value_or(0);
  std::uint64_t byte = 0;
  std::string hex = eq == std::string::npos ? "" : value.substr(eq + 1);
  if (box < 1 || box > kExtraByteBoxes || hex.empty() || hex.size() > 2 || !parseHex(hex, byte))
    refuse("--tail-byte takes K=HEX with K from 1 to 99 and one or two hexadecimal digits, not '" + value + "'.");
  auto& target = form_.extraBytes[static_cast<std::size_t>(box)];
  if (!target.enabled) {
    refuse("Tail byte " + std::to_string(box) + " is outside the header tail of " +
           std::to_string(file_.headerTailLength) + " bytes.");
  }
  target.text = hexUpper(static_cast<std::uint8_t>(byte));
  // In the window a box edit rides along with the next marked edit; asked
  // for by name it is the edit, so it must reach the file.
  MarkModified(file_);
}

void NamedChanges::bounds(const std::string& value) {
  needOverview();
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t p; (p = value.find(',', start)) != std::string::npos; start = p + 1)
    parts.push_back(value.substr(start, p - start));
  parts.push_back(value.substr(start));
  if (parts.size() != 4) refuse("--overview-bounds takes N,E,S,W, not '" + value + "'.");
  for (const std::string& part : parts) typed("overview bound", part, boundKeyPasses);
  form_.overviewNorth = parts[0];
  form_.overviewEast = parts[1];
  form_.overviewSouth = parts[2];
  form_.overviewWest = parts[3];
  boundKeyReleased(file_);
}

void NamedChanges::apply(const std::string& name, const std::string& value) {
  if (name == "pid") {
    idBox("PID", form_.pidText, value);
  } else if (name == "fid") {
    idBox("FID", form_.fidText, value);
    fidEnter(file_, form_, prompter_);
  } else if (name == "series-name") {
    nameBox("Mapsource Name", form_.seriesNameText, value);
  } else if (name == "family-name") {
    nameBox("Faimily Name", form_.familyNameText, value);
  } else if (name == "version") {
    if (changeVersion(file_, form_, value, prompter_).outcome == RuleOutcome::Refused) refuse("");
  } else if (name == "code-page") {
    auto n = parseInteger(value);
    if (!n || *n < 0 || *n > 0xFFFF) refuse("--code-page takes a code page number, not '" + value + "'.");
    codePageChanged(file_, form_, std::to_string(*n), true);
  } else if (name == "routable") {
    feature(FeatureOption::Routable, onOff("--routable", value));
  } else if (name == "dem") {
    feature(FeatureOption::Dem, onOff("--dem", value));
  } else if (name == "profile") {
    feature(FeatureOption::Profile, onOff("--profile", value));
  } else if (name == "printing") {
    feature(FeatureOption::Printing, onOff("--printing", value));
  } else if (name == "map-window") {
    mapWindow(value);
  } else if (name == "override-settings") {
    bool on = onOff("--override-settings", value);
    if (!form_.overrideSettingsEnabled) refuse("Override settings is not available for a header without a tail.");
    form_.overrideSettings = on;
    overrideSettingsClicked(file_, form_);
  } else if (name == "tail-byte") {
    tailByte(value);
  } else if (name == "copyright") {
    if (file_.copyrightIndex < 0) refuse("This file has no copyright block.");
    if (!form_.copyrightTextEnabled) refuse("This copyright text cannot be edited.");
    form_.copyrightText = value;
    copyrightEdited(file_);
  } else if (name == "copyright-display" || name == "copyright-print") {
    if (file_.copyrightIndex < 0) refuse("This file has no copyright block.");
    (name == "copyright-display" ? form_.copyrightDisplay : form_.copyrightPrint) = onOff("--" + name, value);
    copyrightEdited(file_);
  } else if (name == "tile-copyright1" || name == "tile-copyright2") {
    const bool first = name == "tile-copyright1";
    if (!(first ? form_.tileCopyright1Enabled : form_.tileCopyright2Enabled))
      refuse("This Tile Copyright box cannot be edited.");
    (first ? form_.tileCopyright1 : form_.tileCopyright2) = value;
    tileCopyrightKey(file_);
  } else if (name == "overview-name") {
    needOverview();
    nameBox("Overview Name", form_.overviewNameText, value);
  } else if (name == "overview-number") {
    needOverview();
    nameBox("Overview Number", form_.overviewNumberText, value);
  } else if (name == "parent-number") {
    needOverview();
    nameBox("Parent Number", form_.parentNumberText, value);
  } else if (name == "overview-bounds") {
    bounds(value);
  }
}

}  // namespace velmor
