// The tab page "HTML grabber": the URL list and the buttons that fill and
// empty the working folder. "Stop" beside "Grab" is enabled only while a
// grab runs; the window turns it on and off. Right of the buttons sit the
// grab's settings: HTTPS, downloads at once and the time limit; under
// "Grab" whether the grab goes on past a failed address.

#ifndef VELLORA_GUI_GRABBER_PAGE_H_
#define VELLORA_GUI_GRABBER_PAGE_H_

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vellora {

struct MainState;

class GrabberPage : public QWidget {
  Q_OBJECT

 public:
  // `initial` gives the spins their ranges.
  explicit GrabberPage(const MainState& initial, QWidget* parent = nullptr);

  QPlainTextEdit* urls2grab;
  QPushButton* bdelgrabfiles;
  QPushButton* bdelallfiles;
  QPushButton* bgraburls;
  QPushButton* bstopgrab;
  QCheckBox* allowhttps;
  QSpinBox* grabconnections;
  QSpinBox* grabtimeout;
  QCheckBox* grabgoon;
};

}  // namespace vellora

#endif  // VELLORA_GUI_GRABBER_PAGE_H_
