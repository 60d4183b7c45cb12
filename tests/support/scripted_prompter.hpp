#pragma once
// A Prompter for tests: every message and question must have been expected.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/common/prompter.hpp"

namespace velmor::test {

class ScriptedPrompter : public Prompter {
 public:
  // Expect a message with exactly this text.
  ScriptedPrompter& expectMessage(std::string text) {
    script_.push_back({std::move(text), false, Answer::Ok});
    return *this;
  }
  // Expect a question with exactly this text and answer it.
  ScriptedPrompter& expectQuestion(std::string text, Answer answer) {
    script_.push_back({std::move(text), true, answer});
    return *this;
  }
  void message(const std::string& text) override {
    seen_.push_back(text);
    if (script_.empty() || script_.front().question || script_.front().text != text) {
      ADD_FAILURE() << "unexpected message: " << text;
      return;
    }
    script_.pop_front();
  }
  Answer ask(const std::string& text, Buttons) override {
    seen_.push_back(text);
    if (script_.empty() || !script_.front().question || script_.front().text != text) {
      ADD_FAILURE() << "unexpected question: " << text;
      return Answer::Cancel;
    }
    Answer a = script_.front().answer;
    script_.pop_front();
    return a;
  }
  bool done() const { return script_.empty(); }
  const std::vector<std::string>& seen() const { return seen_; }
  ~ScriptedPrompter() override {
    for (const auto& step : script_) ADD_FAILURE() << "expected but not shown: " << step.text;
  }

 private:
  struct Step {
    std::string text;
    bool question;
    Answer answer;
  };
  std::deque<Step> script_;
  std::vector<std::string> seen_;
};

// Records every message without judging them.
class RecordingPrompter : public Prompter {
 public:
  void message(const std::string& text) override { messages.push_back(text); }
  Answer ask(const std::string& text, Buttons) override {
    messages.push_back(text);
    return answer;
  }
  std::vector<std::string> messages;
  Answer answer = Answer::Cancel;
};

}  // namespace velmor::test
