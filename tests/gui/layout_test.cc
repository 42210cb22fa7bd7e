// The main window as laid out: captions, columns, ranges, defaults, places,
// Tab-key order, and what start-up and resizing change.

#include <QCheckBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <initializer_list>

#include "gui/about_page.h"
#include "gui/controls.h"
#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/options_page.h"
#include "gui/phrases_page.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/status_panel.h"
#include "gui/words_page.h"
#include "gui_test_support.h"

namespace vellora {
namespace {

using testing::Find;

QStringList Headers(QAbstractItemView* view) {
  QStringList headers;
  QAbstractItemModel* model = view->model();
  for (int c = 0; c < model->columnCount(); ++c) {
    headers << model->headerData(c, Qt::Horizontal).toString();
  }
  return headers;
}

QList<int> Widths(QTreeView* view) {
  QList<int> widths;
  for (int c = 0; c < view->model()->columnCount(); ++c) widths << view->columnWidth(c);
  return widths;
}

QStringList LabelTexts(QWidget* page) {
  QStringList texts;
  for (QLabel* l : page->findChildren<QLabel*>()) texts << l->text();
  return texts;
}

class LayoutTest : public QObject {
  Q_OBJECT

 private:
  QtEventLoop loop_;
  MainWindow window_{loop_};

 private slots:
  void windowAndPages() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QCOMPARE(window_.windowTitle(), QString("Vellora Brindo"));
    QCOMPARE(window_.size(), QSize(MainWindow::kClientWidth, MainWindow::kClientHeight));
    QTabWidget* pages = window_.Pages();
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i) tabs << pages->tabText(i);
    QCOMPARE(tabs,
             (QStringList{"HTML grabber", "Extract words from HTML/TXT files",
                          "Create phrases from words", "HTML options", "HTML generator", "About"}));
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(window_.Status()->Text(), QString());
    QCOMPARE(window_.Status()->height(), StatusPanel::kHeight);
    QVERIFY(window_.Status()->geometry().top() < pages->geometry().top());
    // The hidden work buffers have no control at all.
    for (const char* hidden : {"myfile", "mytext", "savememo"}) {
      QVERIFY(window_.findChild<QWidget*>(hidden) == nullptr);
    }
  }

  void grabberPage() {
    GrabberPage* p = window_.Grabber();
    QVERIFY(LabelTexts(p).first().startsWith("Go to Internet, use Google"));
    QVERIFY(LabelTexts(p).first().endsWith("they will be also processed."));
    QCOMPARE(p->bgraburls->text(), QString("Grab"));
    QCOMPARE(p->bdelgrabfiles->text(),
             QString("Delete only grabber's files in the working folder"));
    QCOMPARE(p->bdelallfiles->text(), QString("Delete all files in the working folder"));
    QCOMPARE(p->urls2grab->geometry(), QRect(10, 80, 740, 316));
    QCOMPARE(p->urls2grab->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(p->bgraburls->geometry(), QRect(10, 455, 491, 25));
    // "Stop" beside "Grab", off until a grab runs.
    QCOMPARE(p->bstopgrab->text(), QString("Stop"));
    QCOMPARE(p->bstopgrab->geometry(), QRect(510, 455, 100, 25));
    QVERIFY(!p->bstopgrab->isEnabled());
    // The grab's settings, right of the buttons, bound to their fields.
    QCOMPARE(p->allowhttps->text(), QString("Allow HTTPS"));
    QVERIFY(!p->allowhttps->isChecked());
    QCOMPARE(p->grabconnections->minimum(), 1);
    QCOMPARE(p->grabconnections->maximum(), 16);
    QCOMPARE(p->grabconnections->value(), 1);
    QCOMPARE(p->grabtimeout->minimum(), 0);
    QCOMPARE(p->grabtimeout->maximum(), 3600);
    QCOMPARE(p->grabtimeout->value(), 0);
    QCOMPARE(p->grabgoon->text(), QString("Go on past a failed address"));
    QVERIFY(!p->grabgoon->isChecked());
    for (QWidget* w : std::initializer_list<QWidget*>{p->allowhttps, p->grabconnections,
                                                      p->grabtimeout, p->grabgoon}) {
      QVERIFY2(p->rect().contains(w->geometry()), qPrintable(w->objectName()));
    }
    // The check box sits under the URL list and the buttons, clear of them.
    QVERIFY(p->grabgoon->geometry().top() > p->bgraburls->geometry().bottom());
    for (QWidget* other : p->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (other == p->grabgoon || !other->isVisibleTo(p)) continue;
      QVERIFY2(!other->geometry().intersects(p->grabgoon->geometry()),
               qPrintable(other->objectName()));
    }
    QList<QWidget*> order{p->urls2grab,       p->bgraburls,    p->bstopgrab,
                          p->bdelgrabfiles,   p->bdelallfiles, p->allowhttps,
                          p->grabconnections, p->grabtimeout,  p->grabgoon};
    QCOMPARE(testing::TabChain(p->urls2grab, order), order);
  }

  void wordsPage() {
    WordsPage* p = window_.Words();
    QStringList labels = LabelTexts(p);
    for (const char* text : {"Working folder:", "Advanced word filtering:", "Minimal word rate",
                             "Multiply word rate by", "Word count = 0",
                             "Ignore the following words", "Ignore words contaning"}) {
      QVERIFY2(labels.contains(text), text);
    }
    QVERIFY(p->eworkingfolder->isReadOnly());
    QCOMPARE(p->bprocess->text(), QString("Process files in the working folder"));
    QCOMPARE(p->minwordrate->minimum(), 1);
    QCOMPARE(p->minwordrate->maximum(), 9999999);
    QCOMPARE(p->minwordrate->value(), 1);
    QCOMPARE(p->ratemultiplier->maximum(), 999);
    QCOMPARE(p->ratemultiplier->value(), 1);
    QCOMPARE(p->minwordrate->parentWidget(), p->panel);
    // Laid out 51 wide; wider where seven digits need it.
    QCOMPARE(p->minwordrate->geometry().topLeft(), QPoint(235, 9));
    QCOMPARE(p->minwordrate->height(), 22);
    QVERIFY(p->minwordrate->width() >= 51);
    QCOMPARE(Headers(p->words), (QStringList{"word", "count"}));
    QCOMPARE(Widths(p->words), (QList<int>{200, 50}));
    QCOMPARE(p->words->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(p->prohibited->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // The folder list: files only, name, size, type and date, renamable.
    QCOMPARE(p->shellfiles->columnCount(), 4);
    QVERIFY(!(p->shellfiles->filter() & QDir::Dirs));
    QVERIFY(!p->shellfiles->isReadOnly());
    QList<QWidget*> order{p->words,       p->prohibited,     p->bprocess,      p->dontcontain,
                          p->minwordrate, p->ratemultiplier, p->shellfilelist, p->eworkingfolder};
    QCOMPARE(testing::TabChain(p->words, order), order);
  }

  void phrasesPage() {
    PhrasesPage* p = window_.Phrases();
    QCOMPARE(p->makewordphrases->text(), QString("Create word phrases"));
    QStringList labels = LabelTexts(p);
    QVERIFY(labels.contains("Max phrase lenght"));
    QVERIFY(labels.contains("words"));
    QVERIFY(labels.contains("Phrases count = 0"));
    QVERIFY(labels.contains(
        "Manually created phrases for file names and page headers - these should be the best "
        "key phrases you can make up (optional, if empty, random ones will be used) "));
    QCOMPARE(p->phraselength->minimum(), 1);
    QCOMPARE(p->phraselength->maximum(), 10);
    QCOMPARE(p->phraselength->value(), 4);
    QList<QWidget*> order{p->samples, p->makewordphrases, p->phraselength, p->usersamples};
    QCOMPARE(testing::TabChain(p->samples, order), order);
  }

  void optionsPage() {
    OptionsPage* p = window_.Options();
    QCOMPARE(p->esitename->text(), QString("Vellora Software"));
    QCOMPARE(p->esiteurl->text(), QString::fromLatin1(kDefaultSiteUrl));
    QCOMPARE(p->echarset->text(), QString("iso-8859-1"));
    QCOMPARE(p->efileext->text(), QString("htm"));
    QCOMPARE(p->indexfname->text(), QString("index.htm"));
    for (QSpinBox* s : {p->urlmin, p->urlmax, p->imagemin, p->imagemax}) {
      QCOMPARE(s->minimum(), 1);
      QCOMPARE(s->maximum(), 999999999);
    }
    QCOMPARE(p->urlmin->value(), 35);
    QCOMPARE(p->urlmax->value(), 70);
    QCOMPARE(p->imagemin->value(), 35);
    QCOMPARE(p->imagemax->value(), 70);
    QString url_rate = Find<QLabel>(p, "urlratelabel")->text();
    QCOMPARE(url_rate, QString("URL rate") + QString(32, ' ') + "one per" + QString(23, ' ') +
                           "--" + QString(22, ' ') + "phrases");
    QString image_rate = Find<QLabel>(p, "imageratelabel")->text();
    QCOMPARE(image_rate, QString("Image rate") + QString(29, ' ') + "one per" + QString(24, ' ') +
                             "--" + QString(21, ' ') + "sentenses");
    QStringList labels = LabelTexts(p);
    for (const char* text : {"Website name", "Website URL", "Charset (html encoding)",
                             "File extension (htm/html/php)", "URL list (empty list means no URLs)",
                             "Image list (empty list means no images)", "Index page file name"}) {
      QVERIFY2(labels.contains(text), text);
    }
    QList<QWidget*> order{p->esitename, p->esiteurl,  p->imagemin,   p->imagemax,
                          p->imagesurl, p->urlmax,    p->urlmin,     p->urlsurl,
                          p->efileext,  p->indexpage, p->indexfname, p->echarset};
    QCOMPARE(testing::TabChain(p->esitename, order), order);
  }

  void generatorPage() {
    GeneratorPage* p = window_.Generator();
    QCOMPARE(p->maketxt->text(), QString("Generare paragraphs"));
    QCOMPARE(p->makefiles->text(), QString("Save files"));
    QVERIFY(p->makefiles->font().bold());
    for (QSpinBox* s : {p->sentmin, p->sentmax, p->parmin, p->parmax}) {
      QCOMPARE(s->minimum(), 1);
      QCOMPARE(s->maximum(), 999999);
    }
    QCOMPARE(p->sentmin->value(), 3);
    QCOMPARE(p->sentmax->value(), 15);
    QCOMPARE(p->parmin->value(), 3);
    QCOMPARE(p->parmax->value(), 15);
    QCOMPARE(Headers(p->pars), (QStringList{"title", "paragraph"}));
    QCOMPARE(Widths(p->pars), (QList<int>{250, 1000}));
    QCOMPARE(Headers(p->filelist),
             (QStringList{"file name", "title", "keywords", "description", "text"}));
    QCOMPARE(Widths(p->filelist), (QList<int>{250, 50, 50, 50, 1000}));
    QCOMPARE(p->edataurl->text(), QString());
    QVERIFY(p->eresfolder->text().endsWith("/res"));
    QString hint = p->hint->text();
    QVERIFY(
        hint.startsWith("Directory URL where the files will be available, for example, if "
                        "the url of index.htm will be"));
    QVERIFY(hint.endsWith("(this setting is only used to create google sitemap files)"));
    QStringList labels = LabelTexts(p);
    for (const char* text :
         {"Sentenses per paragraph (min/max)", "Paragraphs per file (min/max)",
          "Templates for sentenses", "HTML template", "Local folder for HTML files:"}) {
      QVERIFY2(labels.contains(text), text);
    }
    QList<QWidget*> order{p->maketxt,  p->sentmin,    p->sentmax,   p->parmin,
                          p->parmax,   p->pars,       p->filelist,  p->templates,
                          p->edataurl, p->eresfolder, p->makefiles, p->htmltemplate};
    QCOMPARE(testing::TabChain(p->maketxt, order), order);
  }

  void aboutPage() {
    QStringList labels = LabelTexts(window_.About());
    QVERIFY(labels.contains("Vellora Brindo"));
    QCOMPARE(window_.About()->vercaption->text(), QString("Version: "));
    QCOMPARE(window_.About()->vercaption->font().pixelSize(), 32);
  }

  // Growing the window moves and widens controls (see the growth test);
  // back at the laid-out size every control is where it was.
  void resizingBackRestoresEveryPlace() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    QList<QWidget*> controls = window_.Pages()->findChildren<QWidget*>();
    QList<QRect> before;
    for (QWidget* w : controls) before << w->geometry();
    QSize tabs_before = window_.Pages()->size();
    window_.resize(1000, 700);
    QTest::qWait(20);
    QVERIFY(window_.Pages()->width() > tabs_before.width());
    QVERIFY(window_.Pages()->height() > tabs_before.height());
    window_.resize(MainWindow::kClientWidth, MainWindow::kClientHeight);
    QTest::qWait(20);
    for (int i = 0; i < controls.size(); ++i) {
      // Qt's own parts (viewports, scroll bars, the spin boxes' editors).
      if (controls[i]->objectName().isEmpty() || controls[i]->objectName().startsWith("qt_")) {
        continue;
      }
      QCOMPARE(controls[i]->geometry(), before[i]);
    }
    window_.hide();
  }

  // After start-up: the version, the caption, the five default texts; the
  // text-only settings start from their layout values in every run.
  void startUpFillsTheWindow() {
    QTemporaryDir dir;
    QtEventLoop loop;
    MainWindow window(loop);
    testing::MessageLog log;
    window.Messages().SetSink(log.Sink());
    QString presets = dir.path() + "/Presets";
    QDir().mkpath(presets + "/beta/Files");
    QVERIFY(testing::WriteFile(presets + "/beta/settings.ini",
                               "[GENERAL]\r\nPhraseLength=50\r\nSentMax=0x1F\r\nMinWordRate=0\r\n"
                               "SiteName=  Spaced  \r\n"));
    QVERIFY(testing::WriteFile(presets + "/beta/urls2grab.txt", "http://a/\nhttp://b/\n"));
    window.SetDialogDriver(
        [](PresetDialogWindow& dialog) { QTest::mouseClick(dialog.Button1, Qt::LeftButton); });
    QCOMPARE(window.Start(presets.toStdString(), false), StartUpResult::kReady);
    QVERIFY2(log.messages.empty(), qPrintable(log.Texts().join("|")));
    QCOMPARE(window.windowTitle(), QString("Vellora Brindo - beta"));
    QCOMPARE(window.About()->vercaption->text(), QString("Version: 1.00 (080517)"));
    QCOMPARE(window.About()->vercaption->geometry(), QRect(85, 95, 600, 37));  // still centred
    QCOMPARE(window.Phrases()->phraselength->value(), 10);
    QCOMPARE(window.Generator()->sentmax->value(), 31);
    QCOMPARE(window.Words()->minwordrate->value(), 1);
    QCOMPARE(window.Options()->esitename->text(), QString("Spaced"));
    QCOMPARE(window.Grabber()->urls2grab->toPlainText(), QString("http://a/\nhttp://b/\n"));
    QCOMPARE(window.State().urls2grab.Text(), std::string("http://a/\r\nhttp://b/\r\n"));
    for (QPlainTextEdit* memo :
         {window.Words()->prohibited, window.Words()->dontcontain, window.Generator()->templates,
          window.Generator()->htmltemplate, window.Options()->indexpage}) {
      QVERIFY2(!memo->toPlainText().isEmpty(), qPrintable(memo->objectName()));
    }
    QCOMPARE(window.Pages()->currentIndex(), 0);
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::LayoutTest)
#include "layout_test.moc"
