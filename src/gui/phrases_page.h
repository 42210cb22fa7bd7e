// The tab page "Create phrases from words": the phrase list, its length
// setting, and the user's own key phrases.

#ifndef VELLORA_GUI_PHRASES_PAGE_H_
#define VELLORA_GUI_PHRASES_PAGE_H_

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace vellora {

class PageGrowth;

struct MainState;

class PhrasesPage : public QWidget {
  Q_OBJECT

 public:
  PhrasesPage(const MainState& initial, QWidget* parent = nullptr);

  QPushButton* makewordphrases;
  QSpinBox* phraselength;
  QPlainTextEdit* samples;
  QLabel* phrasescount;
  QPlainTextEdit* usersamples;
  PageGrowth* growth;
};

}  // namespace vellora

#endif  // VELLORA_GUI_PHRASES_PAGE_H_
