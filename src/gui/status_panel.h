// StatusPanel: the status bar at the top of the main window. One text panel,
// and beside it a progress bar that shows only while a step runs.
//
// Progress texts of the steps end in "[count/total]", count being the item
// at work; the bar then shows the count - 1 items done out of total, and a
// busy indicator while none is done or for any other text.

#ifndef VELLORA_GUI_STATUS_PANEL_H_
#define VELLORA_GUI_STATUS_PANEL_H_

#include <QFrame>
#include <QString>
#include <optional>
#include <utility>

class QLabel;
class QProgressBar;

namespace vellora {

class StatusPanel : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kHeight = 19;

  explicit StatusPanel(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  // Shows the progress bar (a step starts) or hides it (the step ended).
  void BeginBusy();
  void EndBusy();
  bool Busy() const;

  // The count and total of a text that ends in "[count/total]".
  static std::optional<std::pair<long long, long long>> ParseProgress(const QString& text);

 private:
  QLabel* text_;
  QProgressBar* progress_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_STATUS_PANEL_H_
