#pragma once
// The "OK" and "Cancel" buttons at the foot of a settings dialog: OK is the
// default button and accepts, Cancel rejects.
class QBoxLayout;
class QDialog;
class QPushButton;

namespace velmor {

struct OkCancel {
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

OkCancel addOkCancelRow(QDialog& dialog, QBoxLayout& column);

}  // namespace velmor
