#include "leave_rules.hpp"

#include "../product/product_file.hpp"
#include "../product/save.hpp"
#include "../common/prompter.hpp"

namespace velmor {

SaveToPath pipelineSave(SaveContext& context) {
  return [&context](const std::string& path) { return save(context, path) == SaveOutcome::Saved; };
}

Answer askSaveChanges(ProductFile& file, Prompter& prompter, const SaveToPath& save) {
  if (!file.modified) return Answer::Ok;
  Answer answer = prompter.ask(kSaveChanges, Buttons::YesNoCancel);
  if (answer == Answer::Yes) save(file.path);
  return answer;
}

bool closeRule(ProductFile& file, Prompter& prompter, const SaveToPath& save) {
  if (!file.modified) return true;
  Answer answer = prompter.ask(kSaveChanges, Buttons::YesNoCancel);
  if (answer == Answer::Cancel) return false;
  if (answer == Answer::Yes) return save(file.path);
  return true;
}

}  // namespace velmor
