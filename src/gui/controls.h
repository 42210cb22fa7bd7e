// Small factories for the controls of the tab pages and the preset dialog.
//
// Every control is placed at a fixed position and size inside its container
// (pixels at 96 dpi); PageGrowth moves and widens some of them when the
// window is larger than laid out.
// Controls that hold a field of the main window state carry the field's name
// as their object name, which the tests and the binding use to find them.

#ifndef VELLORA_GUI_CONTROLS_H_
#define VELLORA_GUI_CONTROLS_H_

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTreeView>
#include <initializer_list>
#include <vector>

#include "base/integer_spin.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QWidget;

namespace vellora {

// The window's text font: a narrow sans-serif face 11 pixels high.
QFont WindowFont();

// A one-line label whose top-left corner is (x, y); it takes the width its
// text needs.
QLabel* AddLabel(QWidget* parent, int x, int y, const QString& text);
// A label with a fixed rectangle that wraps its words.
QLabel* AddWrappedLabel(QWidget* parent, const QRect& rect, const QString& text);

enum class MemoStyle {
  kBothScrollBars,  // vertical and horizontal scroll bar, lines never wrap
  kWordWrap,        // vertical scroll bar, lines wrap at the right edge
};
QPlainTextEdit* AddMemo(QWidget* parent, const char* name, const QRect& rect, MemoStyle style);

// A single-line edit; line breaks the user pastes or drops into it become
// spaces (CR LF, a lone CR and a lone LF each one space).
QLineEdit* AddEdit(QWidget* parent, const char* name, const QRect& rect);
QString LineBreaksAsSpaces(const QString& text);
QPushButton* AddButton(QWidget* parent, const char* name, const QRect& rect, const QString& text);
// A spin box (SpinEdit) with the range and initial value of `spin`, at
// least as wide as its longest number needs: wider than `rect` where the
// laid-out width would cut the maximum.
QSpinBox* AddSpin(QWidget* parent, const char* name, const QRect& rect, const IntegerSpin& spin);

// A list in report style: one row per item, whole rows selected, one row at
// a time, the selection shown also without the focus. The Delete key is
// announced by deleteKeyPressed(row of the selection, or -1).
class ReportView : public QTreeView {
  Q_OBJECT

 public:
  explicit ReportView(QWidget* parent = nullptr);
  // Sets the widths of the first columns, in order.
  void SetColumnWidths(std::initializer_list<int> widths);
  // The selected row, or -1.
  int SelectedRow() const;
  // Selects `row` (or clears the selection when it is out of range).
  void SelectRow(int row);
  // Keeps the column widths across models and model resets.
  void setModel(QAbstractItemModel* model) override;

 signals:
  void deleteKeyPressed(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ApplyWidths();

  std::vector<int> widths_;
};

ReportView* AddReportView(QWidget* parent, const char* name, const QRect& rect);

// Chains the Tab-key order of `widgets`, first to last.
void ChainTabOrder(std::initializer_list<QWidget*> widgets);

}  // namespace vellora

#endif  // VELLORA_GUI_CONTROLS_H_
