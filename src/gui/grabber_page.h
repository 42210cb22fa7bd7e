// The tab page "HTML grabber": the URL list and the buttons that fill and
// empty the working folder. "Stop" beside "Grab" is enabled only while a
// grab runs; the window turns it on and off.

#ifndef VELLORA_GUI_GRABBER_PAGE_H_
#define VELLORA_GUI_GRABBER_PAGE_H_

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace vellora {

class GrabberPage : public QWidget {
  Q_OBJECT

 public:
  explicit GrabberPage(QWidget* parent = nullptr);

  QPlainTextEdit* urls2grab;
  QPushButton* bdelgrabfiles;
  QPushButton* bdelallfiles;
  QPushButton* bgraburls;
  QPushButton* bstopgrab;
};

}  // namespace vellora

#endif  // VELLORA_GUI_GRABBER_PAGE_H_
