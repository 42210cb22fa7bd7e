// GuiNotifier: the desktop program's Notifier. Errors and information
// messages are modal message boxes titled "Vellora Brindo" (errors with the
// error icon and the top-level text rule, information without an icon);
// status texts go to the status panel.
//
// Status is called often by long steps: it repaints the panel and lets Qt
// paint the window (no user input) at most every 50 ms, so the step stays
// fast and the window does not freeze.
//
// A box is owned by, and opens centred on, the window that raised it: the
// main window, or a dialog of it while an OwnerScope names that dialog (the
// preset dialog, whose refusals are information messages).
//
// Tests replace the message boxes with a sink, which receives each message
// instead of a modal box.

#ifndef VELLORA_GUI_GUI_NOTIFIER_H_
#define VELLORA_GUI_GUI_NOTIFIER_H_

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>

#include "base/notifier.h"
#include "gui/status_panel.h"

class QWidget;

namespace vellora {

class GuiNotifier : public Notifier {
 public:
  enum class Kind { kInformation, kError };
  // Receives a message in place of a message box; the text is the one the
  // box would show.
  using Sink = std::function<void(Kind kind, const QString& text)>;

  // `panel` shows the status texts; `parent` owns the message boxes.
  GuiNotifier(StatusPanel* panel, QWidget* parent);

  void Information(const std::string& message) override;
  void Error(const std::string& message) override;
  void Status(const std::string& text) override;
  // The check box that shows `field` and its tab page ("the "Unicode
  // (UTF-8)" check box on "HTML options""); the field's name when no check
  // box of that name is under the parent.
  std::string SettingName(const std::string& field) const override;

  // While it lives, message boxes are owned by `owner` (a dialog that is up
  // over the parent) instead of the parent.
  class OwnerScope {
   public:
    OwnerScope(GuiNotifier& notifier, QWidget* owner)
        : notifier_(notifier), previous_(notifier.owner_) {
      notifier_.owner_ = owner;
    }
    ~OwnerScope() { notifier_.owner_ = previous_; }
    OwnerScope(const OwnerScope&) = delete;
    OwnerScope& operator=(const OwnerScope&) = delete;

   private:
    GuiNotifier& notifier_;
    QPointer<QWidget> previous_;
  };
  // The widget that owns a box raised now.
  QWidget* BoxOwner() const { return owner_ ? owner_.data() : parent_.data(); }

  void SetSink(Sink sink) { sink_ = std::move(sink); }
  // Called after each status text (the window refreshes its buttons).
  void SetStatusHook(std::function<void()> hook) { status_hook_ = std::move(hook); }

  // The minimum time between two paint passes during a step.
  static constexpr int kPaintIntervalMs = 50;
  // The most lines of a message a box shows; longer ones show these and
  // keep the whole text as the box's details.
  static constexpr int kBoxLines = 20;

 private:
  void Show(Kind kind, const QString& text);

  QPointer<StatusPanel> panel_;
  QPointer<QWidget> parent_;
  QPointer<QWidget> owner_;  // set by an OwnerScope
  Sink sink_;
  std::function<void()> status_hook_;
  QElapsedTimer since_paint_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_GUI_NOTIFIER_H_
