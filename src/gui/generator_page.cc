#include "gui/generator_page.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/controls.h"
#include "gui/page_growth.h"
#include "state/main_state.h"

namespace vellora {

GeneratorPage::GeneratorPage(const MainState& initial, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pagegensheet"));
  AddLabel(this, 10, 15, QStringLiteral("Sentenses per paragraph (min/max)"));
  sentmin = AddSpin(this, "sentmin", QRect(200, 11, 51, 22), initial.sentmin);
  sentmax = AddSpin(this, "sentmax", QRect(265, 11, 51, 22), initial.sentmax);
  AddLabel(this, 10, 40, QStringLiteral("Paragraphs per file (min/max)"));
  parmin = AddSpin(this, "parmin", QRect(200, 36, 51, 22), initial.parmin);
  parmax = AddSpin(this, "parmax", QRect(265, 36, 51, 22), initial.parmax);
  maketxt =
      AddButton(this, "maketxt", QRect(11, 73, 305, 25), QStringLiteral("Generare paragraphs"));
  pars = AddReportView(this, "pars", QRect(10, 107, 306, 124));
  filelist = AddReportView(this, "filelist", QRect(10, 243, 306, 163));
  QLabel* templates_label = AddLabel(this, 335, 10, QStringLiteral("Templates for sentenses"));
  templates = AddMemo(this, "templates", QRect(336, 35, 410, 136), MemoStyle::kBothScrollBars);
  QLabel* htmltemplate_label = AddLabel(this, 335, 190, QStringLiteral("HTML template"));
  htmltemplate =
      AddMemo(this, "htmltemplate", QRect(336, 210, 410, 196), MemoStyle::kBothScrollBars);
  hint = AddWrappedLabel(
      this, QRect(10, 425, 441, 46),
      QStringLiteral("Directory URL where the files will be available, for example, if the url "
                     "of index.htm will be http://www.example.com/promo/index.htm, enter "
                     "http://www.example.com/promo/ here (this setting is only used to create "
                     "google sitemap files)"));
  hint->setObjectName(QStringLiteral("datahint"));
  edataurl = AddEdit(this, "edataurl", QRect(465, 435, 281, 21));
  QLabel* resfolder_label = AddLabel(this, 10, 475, QStringLiteral("Local folder for HTML files:"));
  eresfolder = AddEdit(this, "eresfolder", QRect(180, 470, 271, 21));
  makefiles = AddButton(this, "makefiles", QRect(465, 468, 281, 25), QStringLiteral("Save files"));
  QFont bold = makefiles->font();
  bold.setBold(true);
  makefiles->setFont(bold);
  // What "Save files" wrote, on the one free line below it.
  savesummary = AddLabel(this, 180, 497, QString());
  savesummary->setObjectName(QStringLiteral("savesummary"));
  savesummary->setTextFormat(Qt::PlainText);
  savesummary->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  savesummary->setGeometry(180, 495, 482, 14);
  // The line has the height of its text only, less than a framed button
  // needs: "Open site" is drawn as a link, flat, so no edge of it is cut.
  opensite = AddButton(this, "opensite", QRect(666, 495, 80, 14), QStringLiteral("Open site"));
  opensite->setToolTip(QStringLiteral("Open the index page in the web browser"));
  opensite->setFlat(true);
  opensite->setCursor(Qt::PointingHandCursor);
  QFont underlined = opensite->font();
  underlined.setUnderline(true);
  opensite->setFont(underlined);
  QPalette link_colours = opensite->palette();
  link_colours.setColor(QPalette::ButtonText, link_colours.color(QPalette::Link));
  opensite->setPalette(link_colours);
  HideSaveSummary();

  filelist->setToolTip(QStringLiteral("Double-click a page to preview it"));
  previewpage = new QAction(QStringLiteral("Preview page"), filelist);
  previewindex = new QAction(QStringLiteral("Preview index page"), filelist);
  filelist->addAction(previewpage);
  filelist->addAction(previewindex);
  filelist->setContextMenuPolicy(Qt::ActionsContextMenu);
  ChainTabOrder({maketxt, sentmin, sentmax, parmin, parmax, pars, filelist, templates, edataurl,
                 eresfolder, makefiles, opensite, htmltemplate});

  // The boxes are as wide as six digits need: the second of each pair
  // keeps a gap after the first.
  for (QSpinBox* second : {sentmax, parmax}) {
    second->move(sentmin->geometry().right() + 6, second->y());
  }
  // The lists and the template memos share the width the window gains; the
  // lists split the height, the page template takes it; the rows under them
  // move down.
  auto* growth = new PageGrowth(this, DesignedPageSize());
  growth->Add(pars, {0, 0, 0.5, 0.4});
  growth->Add(filelist, {0, 0.4, 0.5, 1});
  growth->Add(templates_label, {0.5, 0, 0.5, 0});
  growth->Add(templates, {0.5, 0, 1, 0.4});
  growth->Add(htmltemplate_label, {0.5, 0.4, 0.5, 0.4});
  growth->Add(htmltemplate, {0.5, 0.4, 1, 1});
  growth->Add(hint, {0, 1, 0.5, 1});
  growth->Add(resfolder_label, kMoveDown);
  growth->Add(eresfolder, {0, 1, 0.5, 1});
  growth->Add(edataurl, {0.5, 1, 1, 1});
  growth->Add(makefiles, {0.5, 1, 1, 1});
  growth->Add(savesummary, {0, 1, 1, 1});
  growth->Add(opensite, {1, 1, 1, 1});
}

void GeneratorPage::ShowSaveSummary(const QString& text, bool can_open, const QString& note) {
  const QFontMetrics metrics(savesummary->font());
  const int room = savesummary->width() - metrics.horizontalAdvance(note);
  savesummary->setText(metrics.elidedText(text, Qt::ElideMiddle, room) + note);
  savesummary->setToolTip(text + note);
  savesummary->show();
  opensite->setVisible(can_open);
}

void GeneratorPage::HideSaveSummary() {
  savesummary->clear();
  savesummary->setToolTip(QString());
  savesummary->hide();
  opensite->hide();
}

}  // namespace vellora
