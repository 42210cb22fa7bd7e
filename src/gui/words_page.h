// The tab page "Extract words from HTML/TXT files": the working folder and
// its files, the word filters, and the counted word list.
//
// The folder list is a QFileSystemModel rooted at the working folder: files
// only, sorted by name, with name, size, type and date columns, renamable
// in place; Qt's watcher keeps it current. The button beside the word count
// opens a window with the word-rate chart of the list, which follows the
// "Minimal word rate" box as the user types. "Read from each file:" chooses
// what extraction reads (every text between tags, the visible text or the
// main text); the folder list's context menu shows that text of a file
// (the main window answers its "Show text").

#ifndef VELLORA_GUI_WORDS_PAGE_H_
#define VELLORA_GUI_WORDS_PAGE_H_

#include <QWidget>
#include <cstdint>
#include <string>

class QAction;
class QComboBox;
class QDialog;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTreeView;

namespace vellora {

class PageGrowth;
class ReportList;
class ReportView;
class WordRateChart;
struct MainState;

class WordsPage : public QWidget {
  Q_OBJECT

 public:
  WordsPage(const MainState& initial, QWidget* parent = nullptr);

  // Roots the folder list at `folder`. Raises VelloraError "Error setting
  // path: ..." when the folder does not exist; the list then stays where it
  // was.
  void RootFileList(const std::string& folder);
  // The folder the list shows.
  QString FileListRoot() const;

  // Notes the rate and multiplier that the extraction now runs with.
  void NoteRun(int64_t rate, int64_t multiplier);
  // Shows `words` (the list the last run made) in the chart.
  void ShowWordList(const ReportList* words);
  // The full path of the file selected in the folder list; empty for none.
  QString SelectedFilePath() const;

  QLineEdit* eworkingfolder;
  QTreeView* shellfilelist;
  QFileSystemModel* shellfiles;
  QPushButton* bprocess;
  QFrame* panel;
  QSpinBox* minwordrate;
  QSpinBox* ratemultiplier;
  ReportView* words;
  QLabel* wordcount;
  QPlainTextEdit* prohibited;
  QPlainTextEdit* dontcontain;
  QComboBox* extractmode;  // what extraction reads from each file
  QAction* showtext;       // "Show text" in the folder list's context menu
  QPushButton* bwordchart;
  QDialog* chartwindow;
  WordRateChart* chart;
  PageGrowth* growth;

 private:
  void PlaceChartWindow();

  int64_t run_rate_ = 1;
  int64_t run_multiplier_ = 1;
};

}  // namespace vellora

#endif  // VELLORA_GUI_WORDS_PAGE_H_
