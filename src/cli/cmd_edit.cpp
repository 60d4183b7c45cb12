// velmor-cli edit: the window's edits from the command line. Each change
// goes through the same rule as a click or a key in the window, in the
// order given; a refusal stops everything before a byte is written.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>

#include "cli_prompter.hpp"
#include "commands.hpp"
#include "core/editor/file_log.hpp"
#include "core/editor/named_changes.hpp"
#include "core/platform/file_services.hpp"
#include "core/product/damage_verdict.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
#include "core/settings/program_folder.hpp"
#include "core/settings/settings_file.hpp"

namespace velmor::cli {

namespace {

// How long an edit waits for another one of the same file: far longer than
// any edit takes, short enough that a stuck one is reported, not waited on.
constexpr std::chrono::seconds kEditLockWait{30};

struct EditArgs {
  std::string file;
  std::string out;
  bool yes = false;
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
      args.file, kEditLockWait, [&] { std::cerr << "Waiting for another edit of " << args.file << " to finish...\n"; },
      lockError);
  if (!lock) {
    std::cerr << "Cannot edit " << args.file << ": " << lockError << "\n";
    return 1;
  }

  ProductFile file;
  ProductForm form;
  if (openProduct(file, form, args.file, prompter) != LoadStatus::Read) return 1;
  if (!file.errorText.empty()) std::cerr << file.errorText << "\n";
  // Told before the edit: the save gives the file a fresh checksum, after
  // which nothing shows that it was damaged.
  if (const DamageVerdict verdict = judgeProductFile(file)) std::cerr << verdict.text << "\n";
  NamedChanges changes(file, form, prompter, log, settings.suppressCrashWarnings);

  // Each occurrence of an option in command-line order, with its own value.
  std::map<const CLI::Option*, std::size_t> used;
  try {
    for (const CLI::Option* opt : cmd.parse_order()) {
      auto it = names.find(opt);
      if (it == names.end()) continue;
      std::size_t i = used[opt]++;
      const auto& results = opt->results();
      if (i >= results.size()) continue;
      changes.apply(it->second, results[i]);
    }
  } catch (const ChangeRefused& refused) {
    if (!refused.message.empty()) std::cerr << refused.message << "\n";
    return 1;
  }

  // The window says so when it opens such a file and marks it changed; here
  // the save would shorten the file without a word, so it is a question.
  if (const int dropped = file.droppedBlocks; dropped > 0) {
    const std::string blocks = dropped == 1 ? "1 block follows" : std::to_string(dropped) + " blocks follow";
    if (prompter.ask(
            blocks + " the checksum block of " + args.file + ". Saving leaves them out of the file. Save anyway?",
            Buttons::YesNo) != Answer::Yes) {
      return 1;
    }
  }

  SaveContext context{file, form, prompter, quietActivity(), log, folders.systemFolder};
  SaveOutcome outcome = args.out.empty() ? saveToPath(context) : saveCopy(context, args.out);
  if (outcome != SaveOutcome::Saved) return 1;
  std::cout << "Saved " << (args.out.empty() ? file.path : args.out) << "\n";
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
  for (const NamedChange& change : namedChanges()) {
    auto* opt = cmd->add_option("--" + std::string(change.name), change.help)
                    ->type_size(1)
                    ->expected(1)
                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                    ->allow_extra_args(false);
    (*names)[opt] = change.name;
  }
  cmd->callback([cmd, args, names, &exitCode] { exitCode = runEdit(*cmd, *args, *names); });
}

}  // namespace velmor::cli
