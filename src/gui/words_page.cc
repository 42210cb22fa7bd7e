#include "gui/words_page.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/start_up.h"
#include "base/errors.h"
#include "gui/controls.h"
#include "gui/page_growth.h"
#include "gui/spin_edit.h"
#include "gui/text_codec.h"
#include "gui/word_rate_chart.h"
#include "state/main_state.h"

namespace vellora {

WordsPage::WordsPage(const MainState& initial, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("wordgensheet"));
  AddLabel(this, 15, 15, QStringLiteral("Working folder:"));
  eworkingfolder = AddEdit(this, "eworkingfolder", QRect(110, 10, 366, 21));
  eworkingfolder->setReadOnly(true);

  shellfiles = new QFileSystemModel(this);
  shellfiles->setFilter(QDir::Files | QDir::NoDotAndDotDot);
  shellfiles->setReadOnly(false);
  shellfilelist = new QTreeView(this);
  shellfilelist->setObjectName(QStringLiteral("shellfilelist"));
  shellfilelist->setGeometry(15, 45, 476, 96);
  shellfilelist->setRootIsDecorated(false);
  shellfilelist->setItemsExpandable(false);
  shellfilelist->setUniformRowHeights(true);
  shellfilelist->setAllColumnsShowFocus(true);
  shellfilelist->setSelectionBehavior(QAbstractItemView::SelectRows);
  shellfilelist->setEditTriggers(QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::EditKeyPressed);
  {
    QPalette p = shellfilelist->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    shellfilelist->setPalette(p);
  }
  shellfilelist->setModel(shellfiles);
  // Name, size and type leave the date its room, caption included.
  shellfilelist->header()->resizeSection(0, 170);
  shellfilelist->header()->resizeSection(1, 70);
  shellfilelist->header()->resizeSection(2, 100);
  QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (!QFileInfo(desktop).isDir()) desktop = QDir::homePath();
  shellfilelist->setRootIndex(shellfiles->setRootPath(desktop));
  shellfiles->sort(0, Qt::AscendingOrder);

  bprocess = AddButton(this, "bprocess", QRect(15, 154, 476, 22),
                       QStringLiteral("Process files in the working folder"));

  panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("panel"));
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Raised);
  panel->setGeometry(15, 185, 476, 41);
  AddLabel(panel, 15, 13, QStringLiteral("Advanced word filtering:"));
  AddLabel(panel, 141, 13, QStringLiteral("Minimal word rate"));
  minwordrate = AddSpin(panel, "minwordrate", QRect(235, 9, 51, 22), initial.minwordrate);
  AddLabel(panel, 305, 13, QStringLiteral("Multiply word rate by"));
  ratemultiplier = AddSpin(panel, "ratemultiplier", QRect(410, 9, 51, 22), initial.ratemultiplier);

  ReportView* view = AddReportView(this, "words", QRect(16, 235, 475, 241));
  words = view;
  wordcount = AddLabel(this, 15, 480, FromCodePage(initial.wordcount));
  wordcount->setObjectName(QStringLiteral("wordcount"));

  QLabel* prohibited_label = AddLabel(this, 505, 25, QStringLiteral("Ignore the following words"));
  prohibited = AddMemo(this, "prohibited", QRect(505, 49, 126, 402), MemoStyle::kWordWrap);
  QLabel* dontcontain_label = AddLabel(this, 640, 25, QStringLiteral("Ignore words contaning"));
  dontcontain = AddMemo(this, "dontcontain", QRect(640, 49, 111, 402), MemoStyle::kWordWrap);

  // Below the filters: what extraction reads from each file.
  QLabel* extractmode_label = AddLabel(this, 505, 458, QStringLiteral("Read from each file:"));
  extractmode = new QComboBox(this);
  extractmode->setObjectName(QStringLiteral("extractmode"));
  extractmode->addItems({QStringLiteral("Every text between tags (as specified)"),
                         QStringLiteral("Visible text"), QStringLiteral("Main text")});
  extractmode->setGeometry(505, 477, 246, 24);
  extractmode->setCurrentIndex(static_cast<int>(initial.extractmode.Value()));
  extractmode->setToolTip(
      QStringLiteral("Every text between tags: all text of the file, markup removed\n"
                     "Visible text: what a browser shows, without scripts, styles and "
                     "hidden parts\n"
                     "Main text: only the article, without menus, footers, comments and "
                     "related links"));
  extractmode_label->setBuddy(extractmode);

  showtext = new QAction(QStringLiteral("Show text"), shellfilelist);
  showtext->setObjectName(QStringLiteral("showtext"));
  shellfilelist->addAction(showtext);
  shellfilelist->setContextMenuPolicy(Qt::ActionsContextMenu);

  bwordchart =
      AddButton(this, "bwordchart", QRect(371, 478, 120, 22), QStringLiteral("Word rate chart..."));
  bwordchart->setToolTip(
      QStringLiteral("How the counts fall off and what the \"Minimal word rate\" keeps"));
  chartwindow = new QDialog(this);
  chartwindow->setObjectName(QStringLiteral("chartwindow"));
  chartwindow->setWindowTitle(QStringLiteral("Word rate chart - Vellora Brindo"));
  chartwindow->resize(640, 460);
  chart = new WordRateChart(chartwindow);
  (new QVBoxLayout(chartwindow))->addWidget(chart);
  connect(bwordchart, &QPushButton::clicked, this, [this] {
    if (!chartwindow->isVisible()) PlaceChartWindow();
    chartwindow->show();
    chartwindow->raise();
    chartwindow->activateWindow();
  });
  auto* rate = static_cast<SpinEdit*>(minwordrate);
  connect(rate, &SpinEdit::textRead, this, [this](int value) { chart->SetRate(value); });
  chart->SetRate(rate->ClampedValue());

  ChainTabOrder({words, prohibited, bprocess, dontcontain, minwordrate, ratemultiplier,
                 shellfilelist, eworkingfolder, bwordchart, extractmode});

  // The left column takes half of the width the window gains, the two
  // memos a quarter each; the folder list takes a third of the height, the
  // word list the rest, and the controls between them move down.
  growth = new PageGrowth(this, DesignedPageSize());
  growth->Add(eworkingfolder, {0, 0, 0.5, 0});
  growth->Add(shellfilelist, {0, 0, 0.5, 1.0 / 3});
  growth->Add(bprocess, {0, 1.0 / 3, 0.5, 1.0 / 3});
  growth->Add(panel, {0, 1.0 / 3, 0, 1.0 / 3});
  growth->Add(words, {0, 1.0 / 3, 0.5, 1});
  growth->Add(wordcount, kMoveDown);
  growth->Add(bwordchart, {0.5, 1, 0.5, 1});
  growth->Add(prohibited_label, {0.5, 0, 0.5, 0});
  growth->Add(prohibited, {0.5, 0, 0.75, 1});
  growth->Add(dontcontain_label, {0.75, 0, 0.75, 0});
  growth->Add(dontcontain, {0.75, 0, 1, 1});
  growth->Add(extractmode_label, {0.5, 1, 0.5, 1});
  growth->Add(extractmode, {0.5, 1, 1, 1});
}

void WordsPage::PlaceChartWindow() {
  // Beside the main window where the screen has room, so that the "Minimal
  // word rate" box stays in sight while the chart follows it.
  const QRect main = window()->frameGeometry();
  QScreen* screen = window()->screen();
  const QRect room = screen != nullptr ? screen->availableGeometry() : main;
  const QSize size = chartwindow->frameGeometry().size();
  int x = main.right() + 8;
  if (x + size.width() > room.right()) x = std::max(room.left(), room.right() - size.width());
  const int lowest = std::max(room.top(), room.bottom() - size.height());
  const int y = std::clamp(main.top(), room.top(), lowest);
  chartwindow->move(x, y);
}

void WordsPage::NoteRun(int64_t rate, int64_t multiplier) {
  run_rate_ = rate;
  run_multiplier_ = multiplier;
}

void WordsPage::ShowWordList(const ReportList* words) {
  chart->SetList(words, run_rate_, run_multiplier_);
}

void WordsPage::RootFileList(const std::string& folder) {
  QString path = FromPath(folder);
  if (folder.empty() || !QFileInfo(path).isDir()) throw VelloraError(ErrorSettingPath(folder));
  shellfilelist->setRootIndex(shellfiles->setRootPath(path));
  shellfiles->sort(0, Qt::AscendingOrder);
}

QString WordsPage::FileListRoot() const { return shellfiles->rootPath(); }

QString WordsPage::SelectedFilePath() const {
  const QModelIndex index = shellfilelist->currentIndex();
  if (!index.isValid() || shellfiles->isDir(index)) return QString();
  return shellfiles->filePath(index);
}

}  // namespace vellora
