#include "no_association.hpp"

#include "prompter.hpp"

namespace velmor {

std::string noAssociationText(const std::string& extension) {
  return "Cannot launch file . No association with '" + extension + "' files.";
}

void reportNoAssociation(const std::string& extension, Prompter& prompter) {
  prompter.message(noAssociationText(extension));
}

}  // namespace velmor
