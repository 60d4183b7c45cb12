#pragma once
// Changes named as the command line names them ("pid", "routable",
// "overview-bounds", ...), each made through the same rule as the click or
// the key in the window that makes it.
#include <span>
#include <string>

#include "../common/log_sink.hpp"
#include "header_rules.hpp"
#include "../common/prompter.hpp"
#include "../product/product_file.hpp"
#include "../product/product_form.hpp"

namespace velmor {

struct NamedChange {
  const char* name;
  const char* help;
};

// Every change there is, in the order the help lists them.
std::span<const NamedChange> namedChanges();

// A change that was not made. The message is empty when the rule itself
// has already told the user why, through the prompter.
struct ChangeRefused {
  std::string message;
};

class NamedChanges {
 public:
  NamedChanges(ProductFile& file, ProductForm& form, Prompter& prompter, LogSink& log, bool suppressCrashWarnings)
      : file_(file), form_(form), prompter_(prompter), log_(log), suppressCrashWarnings_(suppressCrashWarnings) {}

  // Makes one change; throws ChangeRefused when it is refused. A refusal
  // leaves the earlier changes made, and nothing has been written.
  void apply(const std::string& name, const std::string& value);

 private:
  [[noreturn]] static void refuse(const std::string& message) { throw ChangeRefused{message}; }
  static bool onOff(const std::string& option, const std::string& value);
  void idBox(const std::string& box, std::string& target, const std::string& value);
  void nameBox(const std::string& box, std::string& target, const std::string& value);
  void needOverview() const;
  void feature(FeatureOption option, bool wanted);
  void mapWindow(const std::string& value);
  void tailByte(const std::string& value);
  void bounds(const std::string& value);

  ProductFile& file_;
  ProductForm& form_;
  Prompter& prompter_;
  LogSink& log_;
  bool suppressCrashWarnings_;
};

}  // namespace velmor
