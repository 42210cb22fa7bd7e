#include "gui/phrases_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "state/main_state.h"
#include "gui/controls.h"
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
  AddLabel(this, 10, 365,
           QStringLiteral("Manually created phrases for file names and page headers - these "
                          "should be the best key phrases you can make up (optional, if empty, "
                          "random ones will be used) "));
  usersamples = AddMemo(this, "usersamples", QRect(10, 390, 740, 101), MemoStyle::kBothScrollBars);
  ChainTabOrder({samples, makewordphrases, phraselength, usersamples});
}

}  // namespace vellora
