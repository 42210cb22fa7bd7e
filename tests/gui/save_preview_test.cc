// What "Save files" shows and the page preview: the line of what was
// written where and "Open site", the preview of every page and of the index
// page against the files then written, inert links, and the tooltips of
// long list cells.

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include "gui/controls.h"
#include "gui/generator_page.h"
#include "gui/main_window.h"
#include "gui/options_page.h"
#include "gui/page_preview.h"
#include "gui/phrases_page.h"
#include "gui/report_model.h"
#include "gui/text_codec.h"
#include "gui/words_page.h"
#include "gui_test_support.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::ReadFile;
using testing::WriteFile;

constexpr char kTemplate[] =
    "<html><head><title>$sitename$</title><meta name=\"keywords\" content=\"$keywords$\">\n"
    "<meta name=\"description\" content=\"$description$\"></head>\n"
    "<body><p>$links$</p><hr>$content$</body></html>";

// Records the addresses that QDesktopServices is asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls << url; }
};

// Pages made from a small text in the working folder, ready to be saved
// into `out`.
bool MakePages(Program& p, const QString& out) {
  MainWindow& w = p.window;
  if (!WriteFile(p.Working() + "own.txt",
                 "harbours and beaches and fish, quiet harbours, sunny beaches, fresh fish, "
                 "lanterns over quiet harbours and kites over sunny beaches"))
    return false;
  p.Show(1);
  Click(w.Words()->bprocess);
  p.Show(2);
  Click(w.Phrases()->makewordphrases);
  p.Show(4);
  w.Generator()->eresfolder->setText(out);
  w.Generator()->edataurl->setText("http://www.example.com/promo");
  // Short paragraphs, one a page: several pages from few phrases.
  for (QSpinBox* spin : {w.Generator()->sentmin, w.Generator()->sentmax, w.Generator()->parmin,
                         w.Generator()->parmax}) {
    spin->setValue(1);
  }
  Click(w.Generator()->maketxt);
  if (w.State().filelist.Count() < 2 || !p.log.messages.empty()) {
    qWarning("pages: %d, messages: %s, status: %s", w.State().filelist.Count(),
             qPrintable(p.log.Texts().join("|")), qPrintable(p.StatusText()));
    return false;
  }
  return true;
}

// A point of `view` over a link, or (-1, -1).
QPoint LinkPoint(QTextBrowser* view) {
  for (int y = 2; y < view->viewport()->height(); y += 3) {
    for (int x = 2; x < view->viewport()->width(); x += 3) {
      if (!view->anchorAt(QPoint(x, y)).isEmpty()) return QPoint(x, y);
    }
  }
  return QPoint(-1, -1);
}

class SavePreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  // The preview shows each page and the index page byte for byte as "Save
  // files" then writes them, edits not yet used by a step included.
  void previewEqualsTheSavedFiles() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    GeneratorPage* g = w.Generator();
    const QString out = p.dir.path() + "/site";
    QVERIFY2(MakePages(p, out), qPrintable(p.log.Texts().join("|")));
    g->htmltemplate->setPlainText(kTemplate);
    const ReportList& files = w.State().filelist;

    // Selecting alone opens nothing; Enter on a row opens its preview, which
    // then follows the selection.
    g->filelist->setFocus();
    g->filelist->SelectRow(1);
    QVERIFY(w.PreviewWindow() == nullptr);
    QTest::keyClick(g->filelist, Qt::Key_Return);
    PagePreview* preview = w.PreviewWindow();
    QVERIFY(preview != nullptr);
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->PageRow(), 1);
    QCOMPARE(preview->PageName(), FromText(files.Row(1).caption));
    g->filelist->SelectRow(0);
    QCOMPARE(preview->PageRow(), 0);
    Click(preview->indexbutton);
    QCOMPARE(preview->PageRow(), -1);
    QCOMPARE(preview->PageName(), QString("index.htm"));
    const QString index_before_save = preview->Html();

    Click(g->makefiles);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));

    // The index page as previewed before the save, and every page.
    QCOMPARE(ToText(index_before_save), ReadFile(out + "/index.htm").toStdString());
    QVERIFY(index_before_save.startsWith("<html><head><title>"));
    for (int row = 0; row < files.Count(); ++row) {
      g->filelist->SelectRow(row);
      QCOMPARE(preview->PageRow(), row);
      const QByteArray written =
          ReadFile(out + "/" + QString::fromStdString(files.Row(row).caption));
      QVERIFY(!written.isEmpty());
      QCOMPARE(ToText(preview->Html()), written.toStdString());
      QCOMPARE(preview->source->toPlainText(), QString(preview->Html()).replace("\r\n", "\n"));
    }
    // The rendered page is the page, not its markup.
    QVERIFY(!preview->rendered->toPlainText().contains("<a href"));
    QVERIFY(preview->rendered->toPlainText().contains("Index"));

    // A click on a link changes nothing and opens nothing.
    UrlRecorder recorder;
    for (const char* scheme : {"file", "http", "https"}) {
      QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    }
    preview->views->setCurrentIndex(0);
    preview->resize(700, 500);
    QTest::qWait(20);
    const QPoint link = LinkPoint(preview->rendered);
    QVERIFY(link.x() >= 0);
    const QString before = preview->rendered->toHtml();
    QTest::mouseClick(preview->rendered->viewport(), Qt::LeftButton, {}, link);
    QTest::qWait(20);
    QCOMPARE(preview->rendered->toHtml(), before);
    QCOMPARE(preview->rendered->source(), QUrl());
    QCOMPARE(preview->PageRow(), files.Count() - 1);
    QVERIFY(recorder.urls.isEmpty());

    // "Open site" opens the index page just written.
    Click(g->opensite);
    QCOMPARE(recorder.urls, QList<QUrl>{QUrl::fromLocalFile(out + "/index.htm")});
    for (const char* scheme : {"file", "http", "https"}) QDesktopServices::unsetUrlHandler(scheme);

    // Closing the window closes the preview, which would keep the program up.
    QVERIFY(preview->isVisible());
    QVERIFY(w.close());
    QVERIFY(!preview->isVisible());
  }

  // In Unicode mode the preview shows the UTF-8 text that is written, every
  // character kept.
  void previewInUnicodeMode() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    p.Show(3);
    QTest::mouseClick(w.Options()->unicodetext, Qt::LeftButton);
    QVERIFY(w.State().unicodetext);
    w.Options()->esitename->setText(QString::fromUtf8("Москва café"));
    const QString out = p.dir.path() + "/site";
    QVERIFY2(MakePages(p, out), qPrintable(p.log.Texts().join("|")));
    w.Generator()->htmltemplate->setPlainText(kTemplate);
    Click(w.Generator()->makefiles);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    w.Generator()->previewindex->trigger();
    PagePreview* preview = w.PreviewWindow();
    QVERIFY(preview != nullptr);
    QCOMPARE(preview->PageRow(), -1);
    QVERIFY(preview->Html().contains(QString::fromUtf8("<title>Москва café</title>")));
    QCOMPARE(ToText(preview->Html()), ReadFile(out + "/index.htm").toStdString());
    QVERIFY(w.close());
  }

  // A save that fails (a folder under a regular file) says so and leaves
  // the pages and the button: the next click saves, with no other step.
  void aFailedSaveCanBeRetriedAtOnce() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    GeneratorPage* g = w.Generator();
    QVERIFY(WriteFile(p.dir.path() + "/plain", "x"));
    QVERIFY2(MakePages(p, p.dir.path() + "/plain/site"), qPrintable(p.log.Texts().join("|")));
    const int pages = w.State().filelist.Count();

    Click(g->makefiles);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kError);
    QVERIFY2(p.log.Texts()[0].startsWith("Cannot create file \"" + p.dir.path() + "/plain/site/"),
             qPrintable(p.log.Texts()[0]));
    QCOMPARE(p.StatusText(), QString("Saving files failed."));
    QVERIFY(g->makefiles->isEnabled());
    QCOMPARE(w.State().filelist.Count(), pages);

    const QString out = p.dir.path() + "/site";
    g->eresfolder->setText(out);
    Click(g->makefiles);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(g->makefiles->isEnabled());
    QVERIFY(QFile::exists(out + "/index.htm"));
    for (int row = 0; row < pages; ++row) {
      const QString name = FromText(w.State().filelist.Row(row).caption);
      QVERIFY2(QFile::exists(out + "/" + name), qPrintable(name));
    }
    QVERIFY(g->savesummary->isVisible());
    QVERIFY(w.close());
  }

  // The line below "Save files": how many files went into which folder (as
  // the folder then holds them), nothing written for an empty template, and
  // no line after a failed save.
  void saveSummary() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    GeneratorPage* g = w.Generator();
    const QString out = p.dir.path() + "/site";
    QVERIFY2(MakePages(p, out), qPrintable(p.log.Texts().join("|")));
    QVERIFY(g->savesummary->isHidden());
    QVERIFY(g->opensite->isHidden());

    // Two rows of the same name make one file.
    w.State().filelist.Add(w.State().filelist.Row(0));
    Click(g->makefiles);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    const int on_disk = static_cast<int>(QDir(out).entryList(QDir::Files).size());
    QCOMPARE(on_disk, w.State().filelist.Count() - 1 + 2);  // the index page and sitemap.xml
    QCOMPARE(g->savesummary->toolTip(),
             QString("%1 files written into %2").arg(on_disk).arg(QDir::cleanPath(out)));
    QVERIFY(g->savesummary->isVisible());
    QVERIFY(g->opensite->isVisible());
    QVERIFY(g->savesummary->geometry().bottom() < g->height());
    QVERIFY(g->opensite->geometry().bottom() < g->height());

    // An empty template: nothing written, and the line says why.
    const QString empty_out = p.dir.path() + "/empty";
    g->eresfolder->setText(empty_out);
    g->htmltemplate->clear();
    Click(g->makefiles);
    QCOMPARE(g->savesummary->toolTip(),
             QString("Nothing was written: the HTML template is empty."));
    QVERIFY(g->opensite->isHidden());
    QVERIFY(QDir(empty_out).entryList(QDir::Files).isEmpty());

    // A failed save shows no line.
    p.Show(3);
    p.Show(4);  // the page's showing enables "Save files" again
    g->htmltemplate->setPlainText(kTemplate);
    g->eresfolder->setText("");
    Click(g->makefiles);
    QCOMPARE(p.log.Texts(), QStringList{"Unable to create directory."});
    QVERIFY(g->savesummary->isHidden());
    QVERIFY(g->opensite->isHidden());
    QVERIFY(w.close());
  }

  // A sitemap written under the directory URL a new preset starts with
  // ("http://") names no site: the save line says where to set it.
  void saveLineTellsOfAnUnsetDirectoryUrl() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    GeneratorPage* g = w.Generator();
    const QString out = p.dir.path() + "/a-folder-with-a-rather-long-name/site";
    QVERIFY2(MakePages(p, out), qPrintable(p.log.Texts().join("|")));
    g->edataurl->setText("http://");
    Click(g->makefiles);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QVERIFY(ReadFile(out + "/sitemap.xml").contains("<loc>http://index.htm</loc>"));
    const int on_disk = static_cast<int>(QDir(out).entryList(QDir::Files).size());
    QCOMPARE(g->savesummary->toolTip(),
             QString("%1 files written into %2; sitemap.xml: the directory URL is not set "
                     "(HTML generator)")
                 .arg(on_disk)
                 .arg(QDir::cleanPath(out)));
    // The folder gives way to the note, which shows whole.
    QVERIFY(g->savesummary->text().endsWith(
        "; sitemap.xml: the directory URL is not set (HTML generator)"));
    QVERIFY(g->savesummary->text().contains(QChar(0x2026)));  // the folder, cut
    QVERIFY(QFontMetrics(g->savesummary->font()).horizontalAdvance(g->savesummary->text()) <=
            g->savesummary->width());

    g->edataurl->setText("http://www.example.com/promo/");
    Click(g->makefiles);
    QCOMPARE(g->savesummary->toolTip(),
             QString("%1 files written into %2").arg(on_disk).arg(QDir::cleanPath(out)));
    QVERIFY(w.close());
  }

  // In Unicode mode words that the pages wrote as references ("&lt;test&gt;")
  // show as the words in the preview, not as missing markup.
  void wordsFromReferencesShowAsText() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    p.Show(3);
    QTest::mouseClick(w.Options()->unicodetext, Qt::LeftButton);
    QVERIFY(w.State().unicodetext);
    QVERIFY(WriteFile(p.Working() + "refs.htm",
                      "<p>&lt;test&gt; and &lt;/test&gt; and &lt;&gt; markup, &lt;test&gt; "
                      "markup again</p>"));
    p.Show(1);
    Click(w.Words()->bprocess);
    p.Show(2);
    Click(w.Phrases()->makewordphrases);
    p.Show(4);
    Click(w.Generator()->maketxt);
    QVERIFY2(w.State().filelist.Count() > 0, qPrintable(p.log.Texts().join("|")));
    w.Generator()->htmltemplate->setPlainText(kTemplate);
    w.Generator()->filelist->setFocus();
    w.Generator()->filelist->SelectRow(0);
    QTest::keyClick(w.Generator()->filelist, Qt::Key_Return);
    PagePreview* preview = w.PreviewWindow();
    QVERIFY(preview != nullptr);
    const QString shown = preview->rendered->toPlainText();
    for (const char* word : {"<test>", "</test>", "<>", "markup"}) {
      QVERIFY2(shown.contains(word), qPrintable(shown));
    }
    QVERIFY(preview->Html().contains("&lt;/test&gt;"));
    QVERIFY(w.close());
  }

  // A cell too long for its column is read whole (up to a limit) in its
  // tooltip, as text, not markup; short cells have none.
  void longCellsHaveTheirTextInTheToolTip() {
    ReportList list;
    std::string paragraph = "<b>Sunny</b> & quiet\r\nharbours ";
    while (paragraph.size() < 3000) paragraph += "and beaches ";
    list.Add({"short", {paragraph}});
    ReportListModel model(&list, {"title", "paragraph"});
    QCOMPARE(model.data(model.index(0, 0), Qt::ToolTipRole), QVariant());
    const QString tip = model.data(model.index(0, 1), Qt::ToolTipRole).toString();
    QVERIFY(tip.contains(TextForWidget(paragraph).toHtmlEscaped()));
    QVERIFY(!tip.contains("<b>"));
    QVERIFY(model.data(model.index(0, 1)).toString().size() < qsizetype(paragraph.size()));

    list.MutableRow(0).sub_items[0] = std::string(ReportListModel::kLongestToolTip + 10, 'x');
    const QString cut = model.data(model.index(0, 1), Qt::ToolTipRole).toString();
    QVERIFY(cut.contains(QString(ReportListModel::kLongestToolTip, 'x') + " ..."));
    QVERIFY(!cut.contains(QString(ReportListModel::kLongestToolTip + 1, 'x')));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::SavePreviewTest)
#include "save_preview_test.moc"
