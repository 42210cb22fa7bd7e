// PresetDialogWindow: the window of the preset selection dialog, over the
// PresetDialog logic of the core.
//
// Load and Create close the dialog once a preset is chosen; a refusal shows
// an information message and keeps it open. The default button follows the
// field at work: Create while the name field has the focus, Load otherwise,
// and Return (or Enter) presses it. Escape does nothing; the close box closes
// the dialog, and closing without a preset marks that the application must
// end (TerminateRequested()).
//
// The window can be shown without its modal loop: tests show() it and
// click its buttons.

#ifndef VELLORA_GUI_PRESET_DIALOG_WINDOW_H_
#define VELLORA_GUI_PRESET_DIALOG_WINDOW_H_

#include <QDialog>

#include "app/preset_dialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vellora {

class Notifier;

class PresetDialogWindow : public QDialog {
  Q_OBJECT

 public:
  // Fills the list from state.presets_folder. `notifier` shows the
  // information messages. Both must outlive the window.
  PresetDialogWindow(MainState& state, Notifier& notifier, QWidget* parent = nullptr);

  // True once the dialog closed without a preset.
  bool TerminateRequested() const { return terminate_requested_; }

  QComboBox* epresname;
  QLineEdit* enewpresname;
  QPushButton* Button1;
  QPushButton* Button2;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Button1Click();
  void Button2Click();
  void Finish(const DialogOutcome& outcome);

  Notifier& notifier_;
  PresetDialog dialog_;
  bool terminate_requested_ = false;
};

}  // namespace vellora

#endif  // VELLORA_GUI_PRESET_DIALOG_WINDOW_H_
