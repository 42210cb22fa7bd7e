// The tab page "HTML options": the site settings, the link and image lists
// with their rates, and the index page.

#ifndef VELLORA_GUI_OPTIONS_PAGE_H_
#define VELLORA_GUI_OPTIONS_PAGE_H_

#include <QString>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace vellora {

class PageGrowth;

struct MainState;

// The two rate labels: single texts spaced out with blanks so that their
// words frame the two spin boxes on their line.
QString UrlRateCaption();
QString ImageRateCaption();

class OptionsPage : public QWidget {
  Q_OBJECT

 public:
  OptionsPage(const MainState& initial, QWidget* parent = nullptr);

  QLineEdit* esitename;
  QLineEdit* esiteurl;
  QLineEdit* echarset;
  QLineEdit* efileext;
  QCheckBox* unicodetext;  // Unicode text mode of the preset
  QSpinBox* urlmin;
  QSpinBox* urlmax;
  QPlainTextEdit* urlsurl;
  QSpinBox* imagemin;
  QSpinBox* imagemax;
  QPlainTextEdit* imagesurl;
  QLineEdit* indexfname;
  QPlainTextEdit* indexpage;
  PageGrowth* growth;
};

}  // namespace vellora

#endif  // VELLORA_GUI_OPTIONS_PAGE_H_
