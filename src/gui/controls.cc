#include "gui/controls.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "gui/spin_edit.h"

namespace vellora {

QFont WindowFont() {
  QFont font;
  // A narrow face keeps the captions within the places laid out for them.
  font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("DejaVu Sans")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

QLabel* AddLabel(QWidget* parent, int x, int y, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  // Measured in the window's font: the page may not be in the window yet.
  const QSize hint = label->sizeHint();
  label->resize(QFontMetrics(WindowFont()).horizontalAdvance(text) + hint.width() -
                    label->fontMetrics().horizontalAdvance(text),
                hint.height());
  return label;
}

QLabel* AddWrappedLabel(QWidget* parent, const QRect& rect, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(rect);
  return label;
}

QPlainTextEdit* AddMemo(QWidget* parent, const char* name, const QRect& rect, MemoStyle style) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setGeometry(rect);
  memo->setTabChangesFocus(true);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  if (style == MemoStyle::kBothScrollBars) {
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  } else {
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  return memo;
}

QString LineBreaksAsSpaces(const QString& text) {
  QString one_line = text;
  one_line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  one_line.replace(QLatin1Char('\r'), QLatin1Char(' '));
  one_line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return one_line;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, const QRect& rect) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(rect);
  // A single-line text never holds a line break (it would end the line in
  // settings.ini): what the user pastes or drops has its breaks made spaces.
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n'))) return;
    const int cursor = edit->cursorPosition();
    const int removed = text.left(cursor).count(QStringLiteral("\r\n"));
    edit->setText(LineBreaksAsSpaces(text));
    edit->setCursorPosition(cursor - removed);
  });
  return edit;
}

QPushButton* AddButton(QWidget* parent, const char* name, const QRect& rect, const QString& text) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(rect);
  button->setAutoDefault(false);
  return button;
}

QSpinBox* AddSpin(QWidget* parent, const char* name, const QRect& rect, const IntegerSpin& spin) {
  auto* box = new SpinEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(static_cast<int>(spin.Minimum()), static_cast<int>(spin.Maximum()));
  box->setValue(static_cast<int>(spin.Initial()));
  QRect place = rect;
  place.setWidth(std::max(rect.width(), box->WidthForRange(WindowFont())));
  box->setGeometry(place);
  return box;
}

ReportView::ReportView(QWidget* parent) : QTreeView(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  // Keep the selection visible when the list loses the focus.
  QPalette p = palette();
  p.setColor(QPalette::Inactive, QPalette::Highlight,
             p.color(QPalette::Active, QPalette::Highlight));
  p.setColor(QPalette::Inactive, QPalette::HighlightedText,
             p.color(QPalette::Active, QPalette::HighlightedText));
  setPalette(p);
}

void ReportView::SetColumnWidths(std::initializer_list<int> widths) {
  widths_.assign(widths);
  ApplyWidths();
}

void ReportView::ApplyWidths() {
  for (size_t i = 0; i < widths_.size(); ++i) setColumnWidth(static_cast<int>(i), widths_[i]);
}

void ReportView::setModel(QAbstractItemModel* model) {
  QTreeView::setModel(model);
  if (model != nullptr) {
    connect(model, &QAbstractItemModel::modelReset, this, &ReportView::ApplyWidths);
  }
  ApplyWidths();
}

int ReportView::SelectedRow() const {
  if (selectionModel() == nullptr) return -1;
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void ReportView::SelectRow(int row) {
  if (selectionModel() == nullptr) return;
  if (row < 0 || model() == nullptr || row >= model()->rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  QModelIndex index = model()->index(row, 0);
  selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  scrollTo(index);
}

void ReportView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    emit deleteKeyPressed(SelectedRow());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

ReportView* AddReportView(QWidget* parent, const char* name, const QRect& rect) {
  auto* view = new ReportView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setGeometry(rect);
  return view;
}

void ChainTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* w : widgets) {
    if (previous != nullptr) QWidget::setTabOrder(previous, w);
    previous = w;
  }
}

}  // namespace vellora
