// velmor-cli edit: the window's edits from the command line. Each change
// goes through the same rule as a click or a key in the window, in the
// order given; a refusal stops everything before a byte is written.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/editor/field_rules.hpp"
#include "core/editor/file_log.hpp"
#include "core/editor/header_rules.hpp"
#include "core/platform/file_services.hpp"
#include "core/product/map_window.hpp"
#include "core/product/code_page.hpp"
#include "core/product/damage_verdict.hpp"
#include "core/product/loader.hpp"
#include "core/common/number_text.hpp"
#include "core/product/save.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/settings_file.hpp"

namespace velmor::cli {

namespace {

// A change that could not be made; its message has been printed.
struct Refused {};

struct Editor {
  ProductFile file;
  ProductForm form;
  CliPrompter& prompter;
  LogSink& log;
  const Settings& settings;

  [[noreturn]] void refuse(const std::string& message) {
    std::cerr << message << "\n";
    throw Refused{};
  }

  bool onOff(const std::string& option, const std::string& value) {
    if (value == "on") return true;
    if (value == "off") return false;
    refuse(option + " takes on or off, not '" + value + "'.");
  }

  // Text typed into a box key by key: a key the box drops refuses the
  // whole change rather than changing the text behind the user's back.
  void typed(const std::string& box, const std::string& text, const std::function<bool(char32_t)>& passes) {
    if (auto bad = firstRefusedCharacter(text, passes)) {
      std::string ch;
      appendUtf8(ch, *bad);
      refuse("The " + box + " box does not take '" + ch + "'.");
    }
  }
  std::function<bool(char32_t)> nameFilter() const {
    const CodePage& page = CodePage::get(form.textCodePage);
    return [&page](char32_t k) { return nameKeyPasses(k, page); };
  }

  void idBox(const std::string& box, std::string& target, const std::string& value) {
    typed(box, value, pidFidKeyPasses);
    target = value;
    pidFidKey(file, kEnter);
  }

  void nameBox(const std::string& box, std::string& target, const std::string& value) {
    typed(box, value, nameFilter());
    target = value;
    nameKey(file, form, kBackspace);  // sets the flags a typed key sets
  }

  void needOverview() {
    if (file.overviewIndex < 0) refuse("This file has no overview map block.");
  }

  void feature(FeatureOption option, bool wanted) {
    bool& state = featureState(form, option);
    if (state == wanted) return;  // nothing to click
    state = wanted;
    if (featureOptionClicked(file, form, option, settings.suppressCrashWarnings, prompter, log) ==
        RuleOutcome::Refused)
      throw Refused{};
  }

  void mapWindow(const std::string& value) {
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
    mapWindowSizeChanged(file, form, true, percent(value.substr(0, comma)));
    mapWindowSizeChanged(file, form, false, percent(value.substr(comma + 1)));
  }

  void tailByte(const std::string& value) {
    std::size_t eq = value.find('=');
    const std::int64_t box =
        eq == std::string::npos ? 0 : parseInteger(value.substr(0, eq)).value_or(0);
    std::uint64_t byte = 0;
    std::string hex = eq == std::string::npos ? "" : value.substr(eq + 1);
    if (box < 1 || box > kExtraByteBoxes || hex.empty() || hex.size() > 2 || !parseHex(hex, byte))
      refuse("--tail-byte takes K=HEX with K from 1 to 99 and one or two hexadecimal digits, not '" + value + "'.");
    auto& target = form.extraBytes[static_cast<std::size_t>(box)];
    if (!target.enabled) {
      refuse("Tail byte " + std::to_string(box) + " is outside the header tail of " +
             std::to_string(file.headerTailLength) + " bytes.");
    }
    target.text = hexUpper(static_cast<std::uint8_t>(byte));
    // In the window a box edit rides along with the next marked edit; from
    // the command line it is the edit, so it must reach the file.
    MarkModified(file);
  }

  void bounds(const std::string& value) {
    needOverview();
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t p; (p = value.find(',', start)) != std::string::npos; start = p + 1)
      parts.push_back(value.substr(start, p - start));
    parts.push_back(value.substr(start));
    if (parts.size() != 4) refuse("--overview-bounds takes N,E,S,W, not '" + value + "'.");
    for (const std::string& part : parts) typed("overview bound", part, boundKeyPasses);
    form.overviewNorth = parts[0];
    form.overviewEast = parts[1];
    form.overviewSouth = parts[2];
    form.overviewWest = parts[3];
    boundKeyReleased(file);
  }

  void apply(const std::string& name, const std::string& value) {
    if (name == "pid") idBox("PID", form.pidText, value);
    else if (name == "fid") {
      idBox("FID", form.fidText, value);
      fidEnter(file, form, prompter);
    } else if (name == "series-name") nameBox("Mapsource Name", form.seriesNameText, value);
    else if (name == "family-name") nameBox("Faimily Name", form.familyNameText, value);
    else if (name == "version") {
      if (changeVersion(file, form, value, prompter).outcome == RuleOutcome::Refused) throw Refused{};
    } else if (name == "code-page") {
      auto n = parseInteger(value);
      if (!n || *n < 0 || *n > 0xFFFF) refuse("--code-page takes a code page number, not '" + value + "'.");
      codePageChanged(file, form, std::to_string(*n), true);
    } else if (name == "routable") feature(FeatureOption::Routable, onOff("--routable", value));
    else if (name == "dem") feature(FeatureOption::Dem, onOff("--dem", value));
    else if (name == "profile") feature(FeatureOption::Profile, onOff("--profile", value));
    else if (name == "printing") feature(FeatureOption::Printing, onOff("--printing", value));
    else if (name == "map-window") mapWindow(value);
    else if (name == "override-settings") {
      bool on = onOff("--override-settings", value);
      if (!form.overrideSettingsEnabled) refuse("Override settings is not available for a header without a tail.");
      form.overrideSettings = on;
      overrideSettingsClicked(file, form);
    } else if (name == "tail-byte") tailByte(value);
    else if (name == "copyright") {
      if (file.copyrightIndex < 0) refuse("This file has no copyright block.");
      if (!form.copyrightTextEnabled) refuse("This copyright text cannot be edited.");
      form.copyrightText = value;
      copyrightEdited(file);
    } else if (name == "copyright-display" || name == "copyright-print") {
      if (file.copyrightIndex < 0) refuse("This file has no copyright block.");
      (name == "copyright-display" ? form.copyrightDisplay : form.copyrightPrint) = onOff("--" + name, value);
      copyrightEdited(file);
    } else if (name == "tile-copyright1" || name == "tile-copyright2") {
      bool first = name == "tile-copyright1";
      if (!(first ? form.tileCopyright1Enabled : form.tileCopyright2Enabled))
        refuse("This Tile Copyright box cannot be edited.");
      (first ? form.tileCopyright1 : form.tileCopyright2) = value;
      tileCopyrightKey(file);
    } else if (name == "overview-name") {
      needOverview();
      nameBox("Overview Name", form.overviewNameText, value);
    } else if (name == "overview-number") {
      needOverview();
      nameBox("Overview Number", form.overviewNumberText, value);
    } else if (name == "parent-number") {
      needOverview();
      nameBox("Parent Number", form.parentNumberText, value);
    } else if (name == "overview-bounds") bounds(value);
  }
};

// How long an edit waits for another one of the same file: far longer than
// any edit takes, short enough that a stuck one is reported, not waited on.
constexpr std::chrono::seconds kEditLockWait{30};

struct EditArgs {
  std::string file;
  std::string out;
  bool yes = false;
};

const char* const kChanges[][2] = {
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

int runEdit(CLI::App& cmd, const EditArgs& args, const std::map<const CLI::Option*, std::string>& names) {
  Folders folders = programFolders();
  Settings settings = startupSettings(folders);
  FileLog log(settings, folders.logFolder);
  CliPrompter prompter(args.yes);

  // Held from reading to writing: a second edit of the same file waits for
  // this one to finish and then reads its result, so neither edit is lost.
  std::string lockError;
  std::unique_ptr<FileLock> lock = systemFiles().lockFile(
      args.file, kEditLockWait,
      [&] { std::cerr << "Waiting for another edit of " << args.file << " to finish...\n"; }, lockError);
  if (!lock) {
    std::cerr << "Cannot edit " << args.file << ": " << lockError << "\n";
    return 1;
  }

  Editor editor{ProductFile{}, ProductForm{}, prompter, log, settings};
  if (openProduct(editor.file, editor.form, args.file, prompter) != LoadStatus::Read) return 1;
  if (!editor.file.errorText.empty()) std::cerr << editor.file.errorText << "\n";
  // Told before the edit: the save gives the file a fresh checksum, after
  // which nothing shows that it was damaged.
  if (const DamageVerdict verdict = judgeProductFile(editor.file)) std::cerr << verdict.text << "\n";

  // Each occurrence of an option in command-line order, with its own value.
  std::map<const CLI::Option*, std::size_t> used;
  try {
    for (const CLI::Option* opt : cmd.parse_order()) {
      auto it = names.find(opt);
      if (it == names.end()) continue;
      std::size_t i = used[opt]++;
      const auto& results = opt->results();
      if (i >= results.size()) continue;
      editor.apply(it->second, results[i]);
    }
  } catch (const Refused&) {
    return 1;
  }

  // The window says so when it opens such a file and marks it changed; here
  // the save would shorten the file without a word, so it is a question.
  if (const int dropped = editor.file.droppedBlocks; dropped > 0) {
    const std::string blocks = dropped == 1 ? "1 block follows" : std::to_string(dropped) + " blocks follow";
    if (prompter.ask(blocks + " the checksum block of " + args.file +
                         ". Saving leaves them out of the file. Save anyway?",
                     Buttons::YesNo) != Answer::Yes) {
      return 1;
    }
  }

  SaveContext context{editor.file, editor.form, prompter, quietActivity(), log, folders.systemFolder};
  SaveOutcome outcome = args.out.empty() ? saveToPath(context) : saveCopy(context, args.out);
  if (outcome != SaveOutcome::Saved) return 1;
  std::cout << "Saved " << (args.out.empty() ? editor.file.path : args.out) << "\n";
  return 0;
}

}  // namespace

void addEditCommand(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("edit", "Change a product file through the editor's rules and save it");
  auto args = std::make_shared<EditArgs>();
  auto names = std::make_shared<std::map<const CLI::Option*, std::string>>();
  cmd->add_option("FILE", args->file, "Product file (.tdb)")->required();
  cmd->add_option("-o,--output", args->out, "Save a copy here and leave FILE as it is");
  cmd->add_flag("--yes", args->yes, "Answer Yes to the editor's questions");
  for (const auto& change : kChanges) {
    auto* opt = cmd->add_option("--" + std::string(change[0]), change[1])
                    ->type_size(1)
                    ->expected(1)
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                    ->allow_extra_args(false);
    (*names)[opt] = change[0];
  }
  cmd->callback([cmd, args, names, &exitCode] { exitCode = runEdit(*cmd, *args, *names); });
}

}  // namespace velmor::cli
