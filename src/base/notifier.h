// Notifier: how the core shows messages and progress to the person at the
// front end. The desktop program shows message boxes titled "Vellora Brindo"
// and paints its status bar; the command prints to its streams.

#ifndef VELLORA_BASE_NOTIFIER_H_
#define VELLORA_BASE_NOTIFIER_H_

#include <string>

namespace vellora {

class Notifier {
 public:
  virtual ~Notifier() = default;

  // An information message (modal, OK button, no icon).
  virtual void Information(const std::string& message) = 0;
  // A notice of the program's own beyond the information messages (advice
  // after a run, such as the ANSI-mode notice): shown as information by the
  // desktop program; the command keeps it out of its standard output, which
  // scripts read.
  virtual void Notice(const std::string& message) { Information(message); }
  // An error that reached the top-level handler; `message` is the raw
  // exception text, to be shown as TopLevelMessage(message).
  virtual void Error(const std::string& message) = 0;
  // How a message names the setting kept in the state field `field`: the
  // command speaks of fields, the desktop program of the control that shows
  // the field and its tab page.
  virtual std::string SettingName(const std::string& field) const {
    return "the \"" + field + "\" setting";
  }
  // A new status text. Called often during long steps: must be cheap, and
  // is the front end's chance to keep its window painting.
  virtual void Status(const std::string& text) = 0;
};

// Discards everything; for tests and callers without a front end.
class SilentNotifier : public Notifier {
 public:
  void Information(const std::string&) override {}
  void Error(const std::string&) override {}
  void Status(const std::string&) override {}
};

}  // namespace vellora

#endif  // VELLORA_BASE_NOTIFIER_H_
