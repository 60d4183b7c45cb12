#include "header_rules.hpp"

#include <cmath>
#include <cstdio>

#include "../product/loader.hpp"
#include "../common/number_text.hpp"
#include "../product/product_file.hpp"
#include "../product/tail_resize.hpp"
#include "../common/log_sink.hpp"
#include "../product/map_window.hpp"
#include "../product/product_form.hpp"
#include "../common/prompter.hpp"

namespace velmor {

namespace {

int versionNumber(const std::string& text) {
  auto v = parseNumber(text);
  if (!v || !std::isfinite(*v) || *v < 0 || *v > 655.35) return -1;
  return static_cast<int>(std::nearbyint(*v * 100.0));
}

// "4.09": the way the version list writes its entries.
std::string versionListText(int version) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d.%02d", version / 100, version % 100);
  return buf;
}

// The tail byte that holds a feature option.
int featureTailByte(FeatureOption option) {
  switch (option) {
    case FeatureOption::Routable: return 38;
    case FeatureOption::Dem: return 39;
    case FeatureOption::Profile: return 40;
    case FeatureOption::Printing: return 49;
    case FeatureOption::MapWindow: return 50;
  }
  return 0;
}

// The oldest version of the list whose tail holds `byte`.
std::string versionHolding(int byte) {
  for (int version : {300, 403, 407, 408, 409, 411}) {
    if (tailLengthForVersion(version).value_or(0) > byte) return versionListText(version);
  }
  return versionListText(411);
}

// Routable, DEM and Profile whose byte left the tail are shown as the file
// will read back (a missing byte means "no"); otherwise the window would
// show a tick that the save cannot write.
void optionsFollowTail(ProductForm& form, int tail) {
  if (tail <= featureTailByte(FeatureOption::Routable)) form.routable = false;
  if (tail <= featureTailByte(FeatureOption::Dem)) form.dem = false;
  if (tail <= featureTailByte(FeatureOption::Profile)) form.profile = false;
}

}  // namespace

std::string optionNeedsVersionText(FeatureOption option) {
  if (option == FeatureOption::Printing || option == FeatureOption::MapWindow) return kOptionNeeds409;
  return "Option only available with TDB version " + versionHolding(featureTailByte(option)) +
         "+.\r\nChange TDB version first.";
}

VersionChange changeVersion(ProductFile& file, ProductForm& form, const std::string& picked, Prompter& prompter) {
  // A refused pick goes back to the last version that was accepted, which
  // is the version the header and the tail length agree on.
  const std::uint16_t before = file.tdbVersion;
  // Before any file is loaded the list shows the start-up version.
  const bool showsFallback = before == 0 || versionNumber(form.fallbackVersionText) == before;
  const std::string beforeText = showsFallback ? form.fallbackVersionText : versionListText(before);

  const int version = versionNumber(picked);
  const std::optional<int> n = version < 0 ? std::nullopt : tailLengthForVersion(version);

  // An unknown version counts as a tail of -1 here, so with "Map Window"
  // ticked it meets the map-window refusal first.
  if (form.mapWindow && n.value_or(-1) < 58) {
    form.versionText = beforeText;
    prompter.message(kMapFrameFirst);
    return {RuleOutcome::Refused, beforeText};
  }
  if (!n) {
    form.versionText = beforeText;
    prompter.message(kUnknownVersion);
    return {RuleOutcome::Refused, beforeText};
  }

  file.tdbVersion = static_cast<std::uint16_t>(version);
  form.versionText = picked;
  if (*n == 0) form.overrideSettings = false;
  form.countBoxText = std::to_string(*n);
  form.overrideSettingsEnabled = *n > 0;
  file.headerTailLength = *n;
  newtdb(file, form, *n);
  optionsFollowTail(form, *n);
  return {RuleOutcome::Accepted, picked};
}

const char* featureLogName(FeatureOption option) {
  switch (option) {
    case FeatureOption::Routable: return "Routing";
    case FeatureOption::Dem: return "DEM";
    case FeatureOption::Profile: return "Profile";
    case FeatureOption::Printing: return "Print";
    case FeatureOption::MapWindow: return "Map Window";
  }
  return "";
}

bool& featureState(ProductForm& form, FeatureOption option) {
  switch (option) {
    case FeatureOption::Routable: return form.routable;
    case FeatureOption::Dem: return form.dem;
    case FeatureOption::Profile: return form.profile;
    case FeatureOption::Printing: return form.printing;
    case FeatureOption::MapWindow: break;
  }
  return form.mapWindow;
}

RuleOutcome featureOptionClicked(ProductFile& file, ProductForm& form, FeatureOption option, bool suppressCrashWarnings,
                                 Prompter& prompter, LogSink& log) {
  RuleOutcome outcome = RuleOutcome::Accepted;
  if (option == FeatureOption::MapWindow) file.mapWindowEdited = true;
  if (option == FeatureOption::Printing || option == FeatureOption::MapWindow) {
    if (file.headerTailLength > 48) {
      bool warned = false;
      if (form.printing && form.mapWindow && !suppressCrashWarnings) {
        prompter.message(kCrashWarning);
        featureState(form, option) = false;
        warned = true;
        outcome = RuleOutcome::Refused;
      }
      if (warned || option == FeatureOption::MapWindow) mapWindowSizeRule(form, file.headerTailLength);
    } else {
      prompter.message(kOptionNeeds409);
      if (option == FeatureOption::Printing) {
        form.printing = true;
      } else {
        form.mapWindow = false;
      }
      outcome = RuleOutcome::Refused;
    }
  } else if (featureState(form, option) && file.headerTailLength <= featureTailByte(option)) {
    // A tick the tail has no byte for would be lost at the save without a
    // word: refuse it now, as Printing and Map Window are refused.
    prompter.message(optionNeedsVersionText(option));
    featureState(form, option) = false;
    outcome = RuleOutcome::Refused;
  }
  MarkModified(file);
  log.savelog(std::string("Changed ") + featureLogName(option));
  return outcome;
}

void overrideSettingsClicked(ProductFile& file, ProductForm&) { MarkModified(file); }

void mapWindowSizeChanged(ProductFile& file, ProductForm& form, bool width, const std::string& text) {
  (width ? form.mapWindowWidthText : form.mapWindowHeightText) = text;
  file.mapWindowEdited = true;
  MarkModified(file);
}

void codePageChanged(ProductFile& file, ProductForm& form, const std::string& text, bool typed) {
  form.codePageText = text;
  codepage(form);
  if (typed) MarkModified(file);
}

}  // namespace velmor
