#include "leave_rules.hpp"

#include "../product/product_file.hpp"
#include "prompter.hpp"

namespace velmor {

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
