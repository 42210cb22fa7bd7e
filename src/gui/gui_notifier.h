// GuiNotifier: the desktop program's Notifier. Errors and information
// messages are modal message boxes titled "Vellora Brindo" (errors with the
// error icon and the top-level text rule, information without an icon);
// status texts go to the status panel.
//
// Status is called often by long steps: it repaints the panel and lets Qt
// paint the window (no user input) at most every 50 ms, so the step stays
// fast and the window does not freeze.
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

  void SetSink(Sink sink) { sink_ = std::move(sink); }
  // Called after each status text (the window refreshes its buttons).
  void SetStatusHook(std::function<void()> hook) { status_hook_ = std::move(hook); }

  // The minimum time between two paint passes during a step.
  static constexpr int kPaintIntervalMs = 50;

 private:
  void Show(Kind kind, const QString& text);

  QPointer<StatusPanel> panel_;
  QPointer<QWidget> parent_;
  Sink sink_;
  std::function<void()> status_hook_;
  QElapsedTimer since_paint_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_GUI_NOTIFIER_H_
