#pragma once
// The message shown when the desktop finds no program for a kind of file.
#include <string>

namespace velmor {

class Prompter;

// "Cannot launch file . No association with 'txt' files."
std::string noAssociationText(const std::string& extension);
void reportNoAssociation(const std::string& extension, Prompter& prompter);

}  // namespace velmor
