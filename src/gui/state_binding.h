// StateBinding: moves values between the window's controls and the fields
// of MainState, before and after each step.
//
// Pull copies what the user may have edited into the state (memos, edits,
// spin boxes); Push shows the state in the controls (all of those, plus the
// labels and the report lists). A memo is rewritten only when its field
// changed since the last sync and read back only when the user edited it,
// so a list of hundreds of thousands of lines costs nothing when no step
// touched it. Any change to a memo's document that Push did not make counts
// as an edit (typing, pasting, setPlainText).

#ifndef VELLORA_GUI_STATE_BINDING_H_
#define VELLORA_GUI_STATE_BINDING_H_

#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "app/main_state.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace vellora {

class ReportListModel;

// The text of a memo exactly as typed (no-break spaces kept), with "\n"
// line breaks.
QString MemoText(const QPlainTextEdit* memo);

class StateBinding {
 public:
  enum class Encoding { kCodePage, kPath };

  void BindMemo(QPlainTextEdit* memo, TextList MainState::*field);
  void BindEdit(QLineEdit* edit, std::string MainState::*field,
                Encoding encoding = Encoding::kCodePage);
  void BindSpin(QSpinBox* spin, IntegerSpin MainState::*field);
  void BindLabel(QLabel* label, std::string MainState::*field);
  void BindReport(ReportListModel* model);

  // Controls -> state.
  void Pull(MainState& state);
  // State -> controls. `refresh_reports` also tells the report lists' views
  // to reread their lists.
  void Push(const MainState& state, bool refresh_reports = true);

 private:
  struct Memo {
    QPointer<QPlainTextEdit> widget;
    TextList MainState::*field;
    std::string synced;  // the field's text at the last sync
    bool edited = false;  // the memo changed since the last sync
  };
  struct Edit {
    QPointer<QLineEdit> widget;
    std::string MainState::*field;
    Encoding encoding;
  };
  struct Spin {
    QPointer<QSpinBox> widget;
    IntegerSpin MainState::*field;
  };
  struct Label {
    QPointer<QLabel> widget;
    std::string MainState::*field;
  };

  std::vector<Memo> memos_;
  bool pushing_ = false;  // Push is writing into a memo
  std::vector<Edit> edits_;
  std::vector<Spin> spins_;
  std::vector<Label> labels_;
  std::vector<QPointer<ReportListModel>> reports_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_STATE_BINDING_H_
