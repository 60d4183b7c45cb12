#pragma once
// Tools, "Check Product": the findings of the product check on the open
// product file and its folder, errors first, with the installed products of
// the map programs' Windows; "Copy" puts them on the clipboard as text.
#include <QDialog>

#include "core/check/finding.hpp"

class QListWidget;
class QPushButton;

namespace velmor {

struct CommandContext;

class CheckProductDialog : public QDialog {
  Q_OBJECT
 public:
  CheckProductDialog(const Findings& findings, QWidget* parent = nullptr);

  QListWidget* list() const { return list_; }
  QPushButton* copyButton() const { return copyButton_; }
  QPushButton* closeButton() const { return closeButton_; }
  const Findings& findings() const { return findings_; }

  static constexpr const char* kTitle = "Check Product";

 private:
  Findings findings_;
  QListWidget* list_ = nullptr;
  QPushButton* copyButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
};

// Checks the open product (saved as it is on disk) and shows the findings.
void checkOpenProduct(const CommandContext& context);

}  // namespace velmor
