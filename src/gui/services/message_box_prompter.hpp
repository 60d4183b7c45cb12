#pragma once
// Messages and questions of the window as plain message boxes.
#include <QPointer>
#include <QWidget>

#include "core/common/prompter.hpp"

namespace velmor {

class MessageBoxPrompter : public Prompter {
 public:
  explicit MessageBoxPrompter(QWidget* owner = nullptr) : owner_(owner) {}
  void setOwner(QWidget* owner) { owner_ = owner; }

  void message(const std::string& text) override;
  Answer ask(const std::string& text, Buttons buttons) override;

 private:
  QPointer<QWidget> owner_;
};

}  // namespace velmor
