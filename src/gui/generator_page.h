// The tab page "HTML generator": the sentence and paragraph bounds, the
// generated paragraphs and pages, the templates, and the output settings.

#ifndef VELLORA_GUI_GENERATOR_PAGE_H_
#define VELLORA_GUI_GENERATOR_PAGE_H_

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vellora {

class ReportView;
struct MainState;

class GeneratorPage : public QWidget {
  Q_OBJECT

 public:
  GeneratorPage(const MainState& initial, QWidget* parent = nullptr);

  QSpinBox* sentmin;
  QSpinBox* sentmax;
  QSpinBox* parmin;
  QSpinBox* parmax;
  QPushButton* maketxt;
  ReportView* pars;
  ReportView* filelist;
  QPlainTextEdit* templates;
  QPlainTextEdit* htmltemplate;
  QLabel* hint;
  QLineEdit* edataurl;
  QLineEdit* eresfolder;
  QPushButton* makefiles;
};

}  // namespace vellora

#endif  // VELLORA_GUI_GENERATOR_PAGE_H_
