// A window that shows the text word extraction reads from one file of the
// working folder, so that the user can see what will be counted before
// "Process files in the working folder" counts it. Non-modal; one window
// shows one file at a time, and shows the next file asked for.

#ifndef VELLORA_GUI_FILE_TEXT_WINDOW_H_
#define VELLORA_GUI_FILE_TEXT_WINDOW_H_

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace vellora {

class FileTextWindow : public QDialog {
  Q_OBJECT

 public:
  explicit FileTextWindow(QWidget* parent = nullptr);

  // Shows `text` (blocks as lines) read from `file_name` as `how` says
  // ("Visible text", ...).
  void ShowText(const QString& file_name, const QString& how, const QString& text);

  QLabel* caption;
  QPlainTextEdit* text;
};

}  // namespace vellora

#endif  // VELLORA_GUI_FILE_TEXT_WINDOW_H_
