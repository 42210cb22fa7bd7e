// StateBinding: moves values between the window's controls and the fields
// of MainState, before and after each step.
//
// Pull copies what the user may have edited into the state (memos, edits,
// spin boxes); Push shows the state in the controls (all of those, plus the
// labels and the report lists). Each control remembers the value of its
// last sync, which gives Sync, the after-step rule: a field that the step
// changed is shown, and a control that the user changed meanwhile (while a
// download waited) keeps the user's value, which goes into the state. So
// neither a step's result nor a user's typing is lost.
//
// BindFields binds every row of the field table whose control (a child
// widget carrying the field's name) exists under a root widget.
//
// A memo is rewritten only when its field changed and read back only when
// its document changed, so a list of hundreds of thousands of lines costs
// nothing when no step touched it. Any change to a memo's document that
// Push did not make counts as an edit (typing, pasting, setPlainText).

#ifndef VELLORA_GUI_STATE_BINDING_H_
#define VELLORA_GUI_STATE_BINDING_H_

#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "state/main_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;

namespace vellora {

class ReportListModel;

// The text of a memo exactly as typed (no-break spaces kept), with "\n"
// line breaks.
QString MemoText(const QPlainTextEdit* memo);

class StateBinding {
 public:
  // kText: a text of the shown text mode (gui/text_codec.h); kPath: a
  // file-system path.
  enum class Encoding { kText, kPath };

  // Binds each row of the field table to the control of its name and kind
  // under `root`; rows without such a control stay unbound.
  void BindFields(QWidget* root);

  void BindMemo(QPlainTextEdit* memo, TextList MainState::*field);
  void BindEdit(QLineEdit* edit, std::string MainState::*field,
                Encoding encoding = Encoding::kText);
  void BindSpin(QSpinBox* spin, IntegerSpin MainState::*field);
  void BindLabel(QLabel* label, std::string MainState::*field);
  void BindCheck(QCheckBox* check, bool MainState::*field);
  // An integer field shown as a choice: item k stands for the value
  // minimum + k.
  void BindChoice(QComboBox* choice, IntegerSpin MainState::*field);
  void BindReport(ReportListModel* model);

  // Controls -> state.
  void Pull(MainState& state);
  // State -> controls, and the report lists' views reread their lists.
  void Push(const MainState& state);
  // After a step: fields the step changed -> controls; controls the user
  // changed (and the step did not) -> state. Report lists and labels are
  // shown as the state has them.
  void Sync(MainState& state);

 private:
  struct Memo {
    QPointer<QPlainTextEdit> widget;
    TextList MainState::*field;
    std::string synced;   // the field's text at the last sync
    bool edited = false;  // the memo changed since the last sync
  };
  struct Edit {
    QPointer<QLineEdit> widget;
    std::string MainState::*field;
    Encoding encoding;
    std::string synced;
  };
  struct Spin {
    QPointer<QSpinBox> widget;
    IntegerSpin MainState::*field;
    std::string synced;
  };
  struct Label {
    QPointer<QLabel> widget;
    std::string MainState::*field;
  };
  struct Check {
    QPointer<QCheckBox> widget;
    bool MainState::*field;
    bool synced = false;
  };
  struct Choice {
    QPointer<QComboBox> widget;
    IntegerSpin MainState::*field;
    int64_t synced = 0;
  };

  void PullMemo(Memo& m, MainState& state);
  void PushMemo(Memo& m, const std::string& text);
  std::string EditValue(const Edit& e) const;
  void PushEdit(Edit& e, const std::string& value);
  std::string PullSpin(Spin& s, MainState& state);
  void PushSpin(Spin& s, const IntegerSpin& spin);
  void PushLabelsAndReports(const MainState& state);
  void PullChoice(Choice& c, MainState& state);
  void PushChoice(Choice& c, const IntegerSpin& spin);

  std::vector<Memo> memos_;
  std::vector<Edit> edits_;
  std::vector<Spin> spins_;
  std::vector<Label> labels_;
  std::vector<Check> checks_;
  std::vector<Choice> choices_;
  std::vector<QPointer<ReportListModel>> reports_;
  bool pushing_ = false;  // Push is writing into a memo
};

}  // namespace vellora

#endif  // VELLORA_GUI_STATE_BINDING_H_
