#pragma once
#include <iostream>

#include "core/common/prompter.hpp"

namespace velmor::cli {

// Messages go to stderr as their texts; a question is answered Yes only
// when the user said so on the command line.
class CliPrompter : public Prompter {
 public:
  explicit CliPrompter(bool yes = false) : yes_(yes) {}
  void message(const std::string& text) override {
    std::cerr << text << "\n";
    ++messages_;
  }
  Answer ask(const std::string& text, Buttons buttons) override {
    std::cerr << text << (yes_ ? " [answered Yes by --yes]" : " [answered No; pass --yes to answer Yes]") << "\n";
    if (yes_) return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
  }
  int messages() const { return messages_; }

 private:
  bool yes_;
  int messages_ = 0;
};

}  // namespace velmor::cli
