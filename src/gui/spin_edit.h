// SpinEdit: the spin box of an integer field.
//
// Typed text is kept as typed while the box has the focus, also beyond the
// range ("15" in a box of 1..10), and is clamped into the range when the
// focus leaves (text that is not a whole number becomes the minimum). Only
// digits, one leading sign and a decimal separator can be typed, and no
// number beyond the 32-bit range. The arrows and Up and Down step by one,
// clamped.

#ifndef VELLORA_GUI_SPIN_EDIT_H_
#define VELLORA_GUI_SPIN_EDIT_H_

#include <QSpinBox>

namespace vellora {

class SpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  explicit SpinEdit(QWidget* parent = nullptr);

  // The value that the text reads as, clamped into the range: what the box
  // shows once the focus has left it.
  int ClampedValue() const;
  // The width that shows the longest number of the range in `font`.
  int WidthForRange(const QFont& font) const;

  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;

 signals:
  // The text changed, by typing, the arrows or a value set: what it reads
  // as now (ClampedValue). QSpinBox's own signals wait for the focus to
  // leave while the user types.
  void textRead(int clamped);

 protected:
  int valueFromText(const QString& text) const override;
};

}  // namespace vellora

#endif  // VELLORA_GUI_SPIN_EDIT_H_
