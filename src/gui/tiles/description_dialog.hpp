#pragma once
// "Edit Description": the text of one tile's list entry, with its IMG name.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace velmor {

class DescriptionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit DescriptionDialog(QWidget* parent = nullptr);

  // Fills the box with the entry's text, the cursor at its end.
  void setTile(const QString& imgName, const QString& text);
  QString text() const;

  QLineEdit* textBox() const { return text_; }
  QLabel* imgLabel() const { return img_; }
  QPushButton* okButton() const { return ok_; }
  QPushButton* cancelButton() const { return cancel_; }

 private:
  QLabel* img_ = nullptr;
  QLineEdit* text_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace velmor
