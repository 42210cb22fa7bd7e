#include "gui/phrases_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "state/main_state.h"
#include "gui/controls.h"
#include "gui/page_growth.h"
#include "gui/text_codec.h"

namespace vellora {

PhrasesPage::PhrasesPage(const MainState& initial, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("phrasegensheet"));
  makewordphrases = AddButton(this, "makewordphrases", QRect(10, 13, 181, 25),
                              QStringLiteral("Create word phrases"));
  AddLabel(this, 200, 20, QStringLiteral("Max phrase lenght"));
  phraselength = AddSpin(this, "phraselength", QRect(315, 11, 56, 22), initial.phraselength);
  AddLabel(this, 400, 20, QStringLiteral("words"));
  samples = AddMemo(this, "samples", QRect(11, 48, 740, 283), MemoStyle::kBothScrollBars);
  phrasescount = AddLabel(this, 10, 340, FromCodePage(initial.phrasescount));
  phrasescount->setObjectName(QStringLiteral("phrasescount"));
  // Two lines: in one the caption would run past the page's edge.
  QLabel* manual = AddWrappedLabel(
      this, QRect(10, 363, 740, 27),
      QStringLiteral("Manually created phrases for file names and page headers - these "
                          "should be the best key phrases you can make up (optional, if empty, "
                          "random ones will be used) "));
  manual->setObjectName(QStringLiteral("usersampleslabel"));
  usersamples = AddMemo(this, "usersamples", QRect(10, 390, 740, 101), MemoStyle::kBothScrollBars);
  ChainTabOrder({samples, makewordphrases, phraselength, usersamples});

  // The phrases take two thirds of the height the window gains, the
  // user's phrases the rest; both take all the width.
  growth = new PageGrowth(this, DesignedPageSize());
  growth->Add(samples, {0, 0, 1, 2.0 / 3});
  growth->Add(phrasescount, {0, 2.0 / 3, 0, 2.0 / 3});
  growth->Add(manual, {0, 2.0 / 3, 1, 2.0 / 3});
  growth->Add(usersamples, {0, 2.0 / 3, 1, 1});
}

}  // namespace vellora
