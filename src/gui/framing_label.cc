#include "gui/framing_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

#include "gui/controls.h"

namespace vellora {
namespace {

constexpr int kGap = 5;  // between a word and a box

}  // namespace

FramingLabel::FramingLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QStringList FramingLabel::Words() const {
  return text().split(QRegularExpression(QStringLiteral(" {2,}")), Qt::SkipEmptyParts);
}

void FramingLabel::Frame(QWidget* first, QWidget* second, int right_limit) {
  first_ = first;
  second_ = second;
  const QStringList words = Words();
  if (words.size() != 4) return;
  // The window's font: the page may not be in the window yet.
  QFontMetrics metrics(WindowFont());
  auto width = [&](int i) { return metrics.horizontalAdvance(words[i]); };
  const int row = first->width() + kGap + width(2) + kGap + second->width() + kGap + width(3);
  const int earliest = x() + width(0) + kGap + width(1) + kGap;
  const int left = std::max(earliest, std::min(first->x(), right_limit - row));
  first->move(left, first->y());
  second->move(left + first->width() + kGap + width(2) + kGap, second->y());
  resize(second->x() + second->width() + kGap + width(3) - x(), height());
}

void FramingLabel::paintEvent(QPaintEvent* event) {
  const QStringList words = Words();
  if (words.size() != 4 || !first_ || !second_) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics metrics = fontMetrics();
  const int base = (height() + metrics.ascent() - metrics.descent()) / 2;
  const int first_left = first_->x() - x();
  const int first_right = first_left + first_->width();
  const int second_left = second_->x() - x();
  const int second_right = second_left + second_->width();
  painter.drawText(0, base, words[0]);
  painter.drawText(first_left - kGap - metrics.horizontalAdvance(words[1]), base, words[1]);
  painter.drawText((first_right + second_left - metrics.horizontalAdvance(words[2])) / 2, base,
                   words[2]);
  painter.drawText(second_right + kGap, base, words[3]);
}

}  // namespace vellora
