#pragma once
// The 99 two-character boxes of the header's extra bytes, placed row by row
// as the panel has always shown them.
#include <QLineEdit>
#include <QWidget>
#include <array>

#include "core/product/product_form.hpp"

namespace velmor {

class ExtraByteBoxes : public QWidget {
  Q_OBJECT
 public:
  explicit ExtraByteBoxes(QWidget* parent = nullptr);

  void showForm(const ProductForm& form);
  // Box 1 to 99.
  QLineEdit* box(int number) const { return boxes_[static_cast<std::size_t>(number)]; }

  QSize sizeHint() const override { return extent_; }
  QSize minimumSizeHint() const override { return extent_; }

 signals:
  void boxEdited(int number, const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::array<QLineEdit*, kExtraByteBoxes + 1> boxes_{};
  QSize extent_;
};

}  // namespace velmor
