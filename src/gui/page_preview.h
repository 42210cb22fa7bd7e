// PagePreview: a window beside the main window that shows one page of the
// site as "Save files" would write it, rendered and as its HTML text.
//
// The rendered view never follows a link: a click on one does nothing, and
// no address is fetched (images of other servers stay blank). The window
// only shows what it is given; the main window renders the pages (SitePages)
// and decides which one to show. "Index page" asks for the index page.

#ifndef VELLORA_GUI_PAGE_PREVIEW_H_
#define VELLORA_GUI_PAGE_PREVIEW_H_

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace vellora {

class PagePreview : public QDialog {
  Q_OBJECT

 public:
  explicit PagePreview(QWidget* parent = nullptr);

  // Shows the page `html` under its file name `name`; `row` is its row in
  // the page list, or -1 for the index page.
  void ShowPage(const QString& name, int row, const QString& html);

  QString PageName() const { return name_; }
  int PageRow() const { return row_; }
  // The page's text that is shown (the HTML tab shows it with "\n" for
  // its CR LF line breaks).
  const QString& Html() const { return html_; }

  QLabel* pagename;
  QTabWidget* views;
  QTextBrowser* rendered;
  QPlainTextEdit* source;
  QPushButton* indexbutton;
  QPushButton* closebutton;

 signals:
  void indexRequested();

 private:
  QString name_;
  int row_ = -1;
  QString html_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_PAGE_PREVIEW_H_
