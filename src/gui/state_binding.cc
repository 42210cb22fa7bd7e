#include "gui/state_binding.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextDocument>

#include "gui/report_model.h"
#include "gui/text_codec.h"

namespace vellora {

QString MemoText(const QPlainTextEdit* memo) {
  // toPlainText would turn no-break spaces into blanks; the raw text keeps
  // every character and marks line breaks with the two separators.
  QString text = memo->document()->toRawText();
  for (QChar& c : text) {
    if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
  }
  return text;
}

void StateBinding::BindMemo(QPlainTextEdit* memo, TextList MainState::*field) {
  size_t index = memos_.size();
  memos_.push_back({memo, field, std::string(), false});
  memo->setPlainText(QString());
  QObject::connect(memo->document(), &QTextDocument::contentsChanged, memo, [this, index] {
    if (!pushing_) memos_[index].edited = true;
  });
}

void StateBinding::BindEdit(QLineEdit* edit, std::string MainState::*field, Encoding encoding) {
  edits_.push_back({edit, field, encoding});
}

void StateBinding::BindSpin(QSpinBox* spin, IntegerSpin MainState::*field) {
  spins_.push_back({spin, field});
}

void StateBinding::BindLabel(QLabel* label, std::string MainState::*field) {
  labels_.push_back({label, field});
}

void StateBinding::BindReport(ReportListModel* model) { reports_.push_back(model); }

void StateBinding::Pull(MainState& state) {
  for (Memo& m : memos_) {
    if (!m.widget || !m.edited) continue;
    m.synced = TextFromWidget(MemoText(m.widget));
    (state.*m.field).SetText(m.synced);
    m.edited = false;
  }
  for (const Edit& e : edits_) {
    if (!e.widget) continue;
    state.*e.field = e.encoding == Encoding::kPath ? ToPath(e.widget->text())
                                                   : ToCodePage(e.widget->text());
  }
  for (const Spin& s : spins_) {
    if (!s.widget) continue;
    // Typed text reads as a whole number (or the minimum) clamped into the
    // range, and the box shows what was read.
    IntegerSpin& spin = state.*s.field;
    spin.SetText(ToCodePage(s.widget->cleanText()));
    spin.ClampText();
    s.widget->setValue(static_cast<int>(spin.Value()));
  }
}

void StateBinding::Push(const MainState& state, bool refresh_reports) {
  for (Memo& m : memos_) {
    if (!m.widget) continue;
    const std::string& text = (state.*m.field).Text();
    if (text == m.synced && !m.edited) continue;
    m.synced = text;
    pushing_ = true;
    m.widget->setPlainText(TextForWidget(text));
    pushing_ = false;
    m.edited = false;
  }
  for (const Edit& e : edits_) {
    if (!e.widget) continue;
    const std::string& value = state.*e.field;
    QString text = e.encoding == Encoding::kPath ? FromPath(value) : FromCodePage(value);
    if (e.widget->text() != text) e.widget->setText(text);
  }
  for (const Spin& s : spins_) {
    if (!s.widget) continue;
    const IntegerSpin& spin = state.*s.field;
    s.widget->setValue(static_cast<int>(spin.Value() < spin.Minimum()   ? spin.Minimum()
                                        : spin.Value() > spin.Maximum() ? spin.Maximum()
                                                                        : spin.Value()));
  }
  for (const Label& l : labels_) {
    if (!l.widget) continue;
    l.widget->setText(FromCodePage(state.*l.field));
    // A left-aligned label grows with its text; a centred one keeps its box.
    if (!(l.widget->alignment() & Qt::AlignHCenter)) l.widget->adjustSize();
  }
  if (refresh_reports) {
    for (const QPointer<ReportListModel>& model : reports_) {
      if (model) model->Refresh();
    }
  }
}

}  // namespace vellora
