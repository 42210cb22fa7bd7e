// The tab page "Extract words from HTML/TXT files": the working folder and
// its files, the word filters, and the counted word list.
//
// The folder list is a QFileSystemModel rooted at the working folder: files
// only, sorted by name, with name, size, type and date columns, renamable
// in place; Qt's watcher keeps it current.

#ifndef VELLORA_GUI_WORDS_PAGE_H_
#define VELLORA_GUI_WORDS_PAGE_H_

#include <QWidget>
#include <string>

class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTreeView;

namespace vellora {

class ReportView;
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
};

}  // namespace vellora

#endif  // VELLORA_GUI_WORDS_PAGE_H_
