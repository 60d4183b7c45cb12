#pragma once
// Messages and questions of the editor. The window shows message boxes, the
// command-line tool prints and answers from flags, tests script the answers.
#include <string>

namespace velmor {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual void message(const std::string& text) = 0;
  virtual Answer ask(const std::string& text, Buttons buttons) = 0;
};

// Shows nothing and gives every question the same answer: for fuzzing and
// benchmarks, which exercise the work, not the messages.
class SilentPrompter : public Prompter {
 public:
  explicit SilentPrompter(Answer answer = Answer::Cancel) : answer_(answer) {}
  void message(const std::string&) override {}
  Answer ask(const std::string&, Buttons) override { return answer_; }

 private:
  Answer answer_;
};

// Feedback around long work: the progress bar under the map, the busy
// pointer and a chance for the window to handle its events.
class Activity {
 public:
  virtual ~Activity() = default;
  virtual void progress(float /*percent*/) {}
  virtual void busy(bool /*on*/) {}
  virtual void yieldEvents() {}
};

// An Activity that does nothing, for callers without a window.
Activity& quietActivity();

}  // namespace velmor
