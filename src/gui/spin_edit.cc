#include "gui/spin_edit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QStyleOptionSpinBox>

#include "base/integer_spin.h"

namespace vellora {
namespace {

// The field's reading of `text`: the number clamped into the range, or the
// minimum when the text is not a whole number.
int Clamped(const QString& text, int minimum, int maximum) {
  IntegerSpin spin(minimum, maximum, minimum);
  spin.SetText(text.trimmed().toStdString());
  spin.ClampText();
  return static_cast<int>(spin.Value());
}

}  // namespace

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  setKeyboardTracking(false);
  // Typing changes the editor's text; a value set or stepped changes it
  // with the editor's signals blocked, and is announced by the box.
  connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit textRead(ClampedValue()); });
  connect(this, &QSpinBox::valueChanged, this, [this] { emit textRead(ClampedValue()); });
}

int SpinEdit::ClampedValue() const { return Clamped(cleanText(), minimum(), maximum()); }

QValidator::State SpinEdit::validate(QString& text, int& /*pos*/) const {
  const QString decimal_point = locale().decimalPoint();
  bool digits = false;
  bool separator = false;
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isDigit() && c.unicode() < 128) {
      digits = true;
    } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && i == 0) {
    } else if (QString(c) == decimal_point && !separator) {
      separator = true;
    } else {
      return QValidator::Invalid;
    }
  }
  if (!digits || separator) return QValidator::Intermediate;
  std::optional<int32_t> number = IntegerSpin::ParseDecimal(text.toStdString());
  if (!number) return QValidator::Invalid;  // beyond what a field can hold
  return *number >= minimum() && *number <= maximum() ? QValidator::Acceptable
                                                      : QValidator::Intermediate;
}

void SpinEdit::fixup(QString& text) const {
  text = QString::number(Clamped(text, minimum(), maximum()));
}

int SpinEdit::valueFromText(const QString& text) const {
  return Clamped(text, minimum(), maximum());
}

int SpinEdit::WidthForRange(const QFont& font) const {
  QFontMetrics metrics(font);
  int text = 0;
  for (int n : {minimum(), maximum()}) {
    text = std::max(text, metrics.horizontalAdvance(QString::number(n)));
  }
  // The frame, the editor's margins and the arrows, as the style draws them.
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  option.rect = QRect(0, 0, 100, 22);
  const QRect field = style()->subControlRect(QStyle::CC_SpinBox, &option,
                                              QStyle::SC_SpinBoxEditField, this);
  const int around = 100 - field.width() + 2 * 2;  // and the editor's own margins
  return text + around;
}

}  // namespace vellora
