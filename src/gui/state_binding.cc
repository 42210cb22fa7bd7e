#include "gui/state_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextDocument>
#include <algorithm>

#include "gui/controls.h"
#include "gui/report_model.h"
#include "gui/text_codec.h"
#include "state/field_table.h"

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

namespace {

int64_t ValueInRange(const IntegerSpin& spin) {
  return std::clamp(spin.Value(), spin.Minimum(), spin.Maximum());
}

}  // namespace

void StateBinding::BindFields(QWidget* root) {
  for (const FieldRow& row : FieldTable()) {
    QString name = QString::fromLatin1(row.name);
    switch (row.kind) {
      case FieldKind::kText:
        if (auto* edit = root->findChild<QLineEdit*>(name)) {
          BindEdit(edit, row.As<std::string>(), row.path ? Encoding::kPath : Encoding::kText);
        }
        break;
      case FieldKind::kLabel:
        if (auto* label = root->findChild<QLabel*>(name)) BindLabel(label, row.As<std::string>());
        break;
      case FieldKind::kTextList:
        if (auto* memo = root->findChild<QPlainTextEdit*>(name)) {
          BindMemo(memo, row.As<TextList>());
        }
        break;
      case FieldKind::kIntegerSpin:
        if (auto* spin = root->findChild<QSpinBox*>(name)) BindSpin(spin, row.As<IntegerSpin>());
        if (auto* choice = root->findChild<QComboBox*>(name)) {
          BindChoice(choice, row.As<IntegerSpin>());
        }
        break;
      case FieldKind::kCheckBox:
        if (auto* check = root->findChild<QCheckBox*>(name)) BindCheck(check, row.As<bool>());
        break;
      case FieldKind::kReportList:
        if (auto* view = root->findChild<ReportView*>(name)) {
          if (auto* model = qobject_cast<ReportListModel*>(view->model())) BindReport(model);
        }
        break;
    }
  }
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
  edits_.push_back({edit, field, encoding, std::string()});
}

void StateBinding::BindSpin(QSpinBox* spin, IntegerSpin MainState::*field) {
  spins_.push_back({spin, field, std::string()});
}

void StateBinding::BindLabel(QLabel* label, std::string MainState::*field) {
  labels_.push_back({label, field});
}

void StateBinding::BindCheck(QCheckBox* check, bool MainState::*field) {
  checks_.push_back({check, field, false});
}

void StateBinding::BindChoice(QComboBox* choice, IntegerSpin MainState::*field) {
  choices_.push_back({choice, field, 0});
}

void StateBinding::BindReport(ReportListModel* model) { reports_.push_back(model); }

void StateBinding::PullChoice(Choice& c, MainState& state) {
  IntegerSpin& spin = state.*c.field;
  spin.SetValue(spin.Minimum() + std::max(0, c.widget->currentIndex()));
  c.synced = spin.Value();
}

void StateBinding::PushChoice(Choice& c, const IntegerSpin& spin) {
  c.synced = ValueInRange(spin);
  c.widget->setCurrentIndex(static_cast<int>(c.synced - spin.Minimum()));
}

void StateBinding::PullMemo(Memo& m, MainState& state) {
  m.synced = TextFromWidget(MemoText(m.widget));
  (state.*m.field).SetText(m.synced);
  m.edited = false;
}

void StateBinding::PushMemo(Memo& m, const std::string& text) {
  m.synced = text;
  pushing_ = true;
  m.widget->setPlainText(TextForWidget(text));
  pushing_ = false;
  m.edited = false;
}

std::string StateBinding::EditValue(const Edit& e) const {
  return e.encoding == Encoding::kPath ? ToPath(e.widget->text()) : ToText(e.widget->text());
}

void StateBinding::PushEdit(Edit& e, const std::string& value) {
  e.synced = value;
  QString text = e.encoding == Encoding::kPath ? FromPath(value) : FromText(value);
  if (e.widget->text() != text) e.widget->setText(text);
}

std::string StateBinding::PullSpin(Spin& s, MainState& state) {
  // Typed text reads as a whole number (or the minimum) clamped into the
  // range, and the box shows what was read.
  IntegerSpin& spin = state.*s.field;
  spin.SetText(ToCodePage(s.widget->cleanText()));
  spin.ClampText();
  s.widget->setValue(static_cast<int>(spin.Value()));
  s.synced = spin.Text();
  return s.synced;
}

void StateBinding::PushSpin(Spin& s, const IntegerSpin& spin) {
  int64_t value = spin.Value();
  if (value < spin.Minimum()) value = spin.Minimum();
  if (value > spin.Maximum()) value = spin.Maximum();
  s.widget->setValue(static_cast<int>(value));
  s.synced = spin.Text();
}

void StateBinding::Pull(MainState& state) {
  for (Memo& m : memos_) {
    if (m.widget && m.edited) PullMemo(m, state);
  }
  for (Edit& e : edits_) {
    if (!e.widget) continue;
    e.synced = EditValue(e);
    state.*e.field = e.synced;
  }
  for (Spin& s : spins_) {
    if (s.widget) PullSpin(s, state);
  }
  for (Check& c : checks_) {
    if (!c.widget) continue;
    c.synced = c.widget->isChecked();
    state.*c.field = c.synced;
  }
  for (Choice& c : choices_) {
    if (c.widget) PullChoice(c, state);
  }
}

void StateBinding::Push(const MainState& state) {
  for (Memo& m : memos_) {
    if (!m.widget) continue;
    const std::string& text = (state.*m.field).Text();
    if (text != m.synced || m.edited) PushMemo(m, text);
  }
  for (Edit& e : edits_) {
    if (e.widget) PushEdit(e, state.*e.field);
  }
  for (Spin& s : spins_) {
    if (s.widget) PushSpin(s, state.*s.field);
  }
  for (Check& c : checks_) {
    if (!c.widget) continue;
    c.synced = state.*c.field;
    c.widget->setChecked(c.synced);
  }
  for (Choice& c : choices_) {
    if (c.widget) PushChoice(c, state.*c.field);
  }
  PushLabelsAndReports(state);
}

void StateBinding::Sync(MainState& state) {
  for (Memo& m : memos_) {
    if (!m.widget) continue;
    const std::string& text = (state.*m.field).Text();
    if (text != m.synced) {
      PushMemo(m, text);
    } else if (m.edited) {
      PullMemo(m, state);
    }
  }
  for (Edit& e : edits_) {
    if (!e.widget) continue;
    const std::string& value = state.*e.field;
    if (value != e.synced) {
      PushEdit(e, value);
    } else if (EditValue(e) != e.synced) {
      e.synced = EditValue(e);
      state.*e.field = e.synced;
    }
  }
  for (Spin& s : spins_) {
    if (!s.widget) continue;
    const IntegerSpin& spin = state.*s.field;
    if (spin.Text() != s.synced) {
      PushSpin(s, spin);
    } else if (ToCodePage(s.widget->cleanText()) != s.synced) {
      PullSpin(s, state);
    }
  }
  for (Check& c : checks_) {
    if (!c.widget) continue;
    if (state.*c.field != c.synced) {
      c.synced = state.*c.field;
      c.widget->setChecked(c.synced);
    } else if (c.widget->isChecked() != c.synced) {
      c.synced = c.widget->isChecked();
      state.*c.field = c.synced;
    }
  }
  for (Choice& c : choices_) {
    if (!c.widget) continue;
    const IntegerSpin& spin = state.*c.field;
    if (ValueInRange(spin) != c.synced) {
      PushChoice(c, spin);
    } else if (spin.Minimum() + c.widget->currentIndex() != c.synced) {
      PullChoice(c, state);
    }
  }
  PushLabelsAndReports(state);
}

void StateBinding::PushLabelsAndReports(const MainState& state) {
  for (const Label& l : labels_) {
    if (!l.widget) continue;
    l.widget->setText(FromText(state.*l.field));
    // A left-aligned label grows with its text; a centred one keeps its box.
    if (!(l.widget->alignment() & Qt::AlignHCenter)) l.widget->adjustSize();
  }
  for (const QPointer<ReportListModel>& model : reports_) {
    if (model) model->Refresh();
  }
}

}  // namespace vellora
