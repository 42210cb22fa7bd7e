// FramingLabel: a caption whose words frame two spin boxes on one line, as
// in "URL rate  one per [min] -- [max] phrases".
//
// The text keeps its blanks (it is what the label reads as), but the words
// are drawn beside the boxes whatever the font: the runs of text between
// runs of two or more blanks go first at the label's left edge, second
// right before the first box, third centred between the boxes, fourth right
// after the second box.

#ifndef VELLORA_GUI_FRAMING_LABEL_H_
#define VELLORA_GUI_FRAMING_LABEL_H_

#include <QLabel>
#include <QPointer>
#include <QStringList>

namespace vellora {

class FramingLabel : public QLabel {
  Q_OBJECT

 public:
  FramingLabel(const QString& text, QWidget* parent);

  // Places `first` and `second` on the label's line: `first` at its own
  // left edge unless the row would then reach past `right_limit` (in the
  // parent's coordinates), in which case the row moves left as far as the
  // words before `first` allow; `second` after `first` with room for the
  // word between them. The label then spans the row.
  void Frame(QWidget* first, QWidget* second, int right_limit);

  // The runs of text, in order.
  QStringList Words() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPointer<QWidget> first_;
  QPointer<QWidget> second_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_FRAMING_LABEL_H_
