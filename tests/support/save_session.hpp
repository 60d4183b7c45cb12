#pragma once
// One opened product with everything a save needs, for the save tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/common/log_sink.hpp"
#include "core/product/loader.hpp"
#include "core/product/save.hpp"
#include "support/product_builder.hpp"
#include "support/scripted_prompter.hpp"

namespace velmor::test {

// Every filler byte the same, so expected blocks can be written out by hand.
class FixedRandom : public RandomSource {
 public:
  explicit FixedRandom(double value = 0.0) : value_(value) {}
  double uniform() override { return value_; }

 private:
  double value_;
};

class RecordingLog : public LogSink {
 public:
  void savelog(const std::string& message) override { lines.push_back(message); }
  std::vector<std::string> lines;
};

class RecordingActivity : public Activity {
 public:
  void progress(float percent) override { steps.push_back(percent); }
  void busy(bool on) override { busyNow = on; }
  std::vector<float> steps;
  bool busyNow = false;
};

struct Session {
  ProductFile file;
  ProductForm form;
  ScriptedPrompter prompter;
  RecordingLog log;
  RecordingActivity activity;
  FixedRandom random;

  // Opens `path`; opening must not show any message.
  void open(const std::string& path) {
    ScriptedPrompter quiet;
    ASSERT_EQ(openProduct(file, form, path, quiet), LoadStatus::Read);
  }
  SaveContext context() { return SaveContext{file, form, prompter, activity, log, "", nullptr, &random}; }
  SaveOutcome saveTo(const std::string& target) {
    SaveContext c = context();
    return save(c, target);
  }
  // The blocks of `bytes` in file order, each with its block header.
  static std::vector<Bytes> split(const Bytes& bytes) {
    std::vector<Bytes> out;
    std::size_t pos = 0;
    while (pos + 3 <= bytes.size()) {
      std::size_t end = pos + 3 + (bytes[pos + 1] | bytes[pos + 2] << 8);
      if (end > bytes.size()) end = bytes.size();
      out.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                       bytes.begin() + static_cast<std::ptrdiff_t>(end));
      pos = end;
    }
    return out;
  }
};

inline std::string backupMessage(const std::string& name) {
  return "Created backup of original TDB as read only:\r\n\r\n" + name;
}

}  // namespace velmor::test
