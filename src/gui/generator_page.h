// The tab page "HTML generator": the sentence and paragraph bounds, the
// generated paragraphs and pages, the templates, and the output settings.
//
// Below "Save files", once it has run, a line says what was written where,
// with "Open site" beside it. The page list offers a preview of a page (a
// double-click or Enter on its row, or its context menu) and of the index
// page; the window connects those actions.

#ifndef VELLORA_GUI_GENERATOR_PAGE_H_
#define VELLORA_GUI_GENERATOR_PAGE_H_

#include <QWidget>

class QAction;
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
  QLabel* savesummary;
  QPushButton* opensite;
  QAction* previewpage;
  QAction* previewindex;

  // Shows `text` and then `note` below "Save files": `text` is cut in the
  // middle to leave `note` whole in its place, and both are whole in the
  // tooltip. "Open site" shows only with `can_open`.
  void ShowSaveSummary(const QString& text, bool can_open, const QString& note = QString());
  void HideSaveSummary();
};

}  // namespace vellora

#endif  // VELLORA_GUI_GENERATOR_PAGE_H_
