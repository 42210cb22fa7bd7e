// The desktop program worked by clicking, against a local web server: a
// whole run from grab to saved files with the buttons' enabled states after
// each step, a failing grab, the window at work while a download waits, and
// closing the window during a download.

#include <signal.h>

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "gui/controls.h"
#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/phrases_page.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/status_panel.h"
#include "gui/words_page.h"
#include "gui_test_support.h"
#include "pipeline/http_page_fetcher.h"
#include "test_http_server.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::ReadFile;
using testing::RunWhen;
using testing::TestHttpServer;
using testing::WriteFile;

constexpr char kPageA[] =
    "<html><body><h1>Sunny harbours</h1><p>Sunny beaches and quiet harbours wait for "
    "travellers. Sunny beaches again, and quiet harbours for every traveller!</p></body></html>";
constexpr char kPageB[] =
    "<html><body><p>Quiet villages, sunny beaches, fresh fish and quiet harbours: the "
    "travellers come back every summer.</p></body></html>";

class WholeRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void wholeRunByClicking() {
    TestHttpServer server;
    server.SetPage("/a.htm", kPageA);
    server.SetPage("/b.htm", kPageB);
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    QCOMPARE(w.windowTitle(), QString("Vellora Brindo - alpha"));
    QCOMPARE(p.StatusText(), QString());

    // Grab.
    QString urls =
        QString::fromStdString(server.Url("/a.htm") + "\n" + server.Url("/b.htm") + "\n");
    p.PasteUrls(urls);
    Click(w.Grabber()->bgraburls);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(!w.Status()->Busy());
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray(kPageA));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#2.htm"), QByteArray(kPageB));
    QVERIFY(w.Words()->bprocess->isEnabled());
    QVERIFY(WriteFile(p.Working() + "own.txt", "harbours and beaches and fish"));

    // The folder list follows the working folder by itself.
    QFileSystemModel* shell = w.Words()->shellfiles;
    QModelIndex root = w.Words()->shellfilelist->rootIndex();
    QTRY_COMPARE_WITH_TIMEOUT(shell->rowCount(root), 3, 5000);

    // Extract words.
    p.Show(1);
    Click(w.Words()->bprocess);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(w.Words()->bprocess->isEnabled());
    const ReportList& words = w.State().words;
    QVERIFY(words.Count() > 5);
    QCOMPARE(w.Words()->words->model()->rowCount(), words.Count());
    QVERIFY(w.Words()->wordcount->text().startsWith("Unique words: "));

    // The Delete key removes the selected row and selects the next one.
    int before = words.Count();
    std::string second = words.Row(1).caption;
    w.Words()->words->setFocus();
    w.Words()->words->SelectRow(0);
    QTest::keyClick(w.Words()->words, Qt::Key_Delete);
    QCOMPARE(words.Count(), before - 1);
    QCOMPARE(w.Words()->words->model()->rowCount(), before - 1);
    QCOMPARE(w.Words()->words->SelectedRow(), 0);
    QCOMPARE(words.Row(0).caption, second);

    // Create phrases: the tab's showing enables the button.
    p.Show(2);
    QVERIFY(w.Phrases()->makewordphrases->isEnabled());
    Click(w.Phrases()->makewordphrases);
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(!w.Phrases()->makewordphrases->isEnabled());
    int phrases = w.State().samples.Count();
    QVERIFY(phrases > 0);
    QCOMPARE(w.Phrases()->samples->blockCount() - 1, phrases);  // the text ends with a break
    QCOMPARE(w.Phrases()->phrasescount->text(), QString("Phrases count: %1.").arg(phrases));
    QCOMPARE(w.Words()->wordcount->text(), QString("Word count = 0"));
    QCOMPARE(w.Words()->words->model()->rowCount(), 0);
    p.Show(1);
    p.Show(2);
    QVERIFY(!w.Phrases()->makewordphrases->isEnabled());  // no words left

    // Generate paragraphs and pages.
    p.Show(4);
    GeneratorPage* g = w.Generator();
    QVERIFY(g->maketxt->isEnabled());
    QVERIFY(!g->makefiles->isEnabled());
    QString out = p.dir.path() + "/site";
    g->eresfolder->setText(out);
    g->edataurl->setText("http://www.example.com/promo");
    Click(g->maketxt);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(!g->maketxt->isEnabled());
    QVERIFY(g->makefiles->isEnabled());
    const ReportList& files = w.State().filelist;
    QVERIFY(files.Count() > 0);
    QCOMPARE(g->filelist->model()->rowCount(), files.Count());
    QCOMPARE(g->pars->model()->rowCount(), w.State().pars.Count());
    QVERIFY(w.Phrases()->samples->toPlainText().isEmpty());

    // Save the files.
    Click(g->makefiles);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QVERIFY(g->makefiles->isEnabled());
    QCOMPARE(g->edataurl->text(), QString("http://www.example.com/promo/"));
    QVERIFY(QFile::exists(out + "/index.htm"));
    QVERIFY(ReadFile(out + "/sitemap.xml").contains("http://www.example.com/promo/index.htm"));
    for (int i = 0; i < files.Count(); ++i) {
      QString name = QString::fromStdString(files.Row(i).caption);
      QVERIFY2(QFile::exists(out + "/" + name), qPrintable(name));
    }
    p.Show(3);
    p.Show(4);
    QVERIFY(!g->maketxt->isEnabled());  // the phrases are spent
    QVERIFY(g->makefiles->isEnabled());

    // Empty the working folder: grabbed files first, then the rest.
    p.Show(0);
    Click(w.Grabber()->bdelgrabfiles);
    Click(w.Grabber()->bdelallfiles);
    QCOMPARE(p.log.Texts(), (QStringList{"2 files deleted.", "1 files deleted."}));
    QCOMPARE(p.log.Count(GuiNotifier::Kind::kInformation), 2);

    // Closing saves the preset.
    QVERIFY(w.close());
    QVERIFY(!w.isVisible());
    QString preset = p.Presets() + "/alpha/";
    QCOMPARE(ReadFile(preset + "urls2grab.txt"), QByteArray(urls.toUtf8()).replace("\n", "\r\n"));
    QVERIFY(ReadFile(preset + "settings.ini").startsWith("[GENERAL]\r\nMinWordRate=1\r\n"));
    QCOMPARE(ReadFile(preset + "phrases.txt"), QByteArray());
  }

  // A file of the working folder is renamed in place in the folder list.
  void renameInTheFolderList() {
    Program p;
    QVERIFY(p.Start());
    QVERIFY(WriteFile(p.Working() + "old.txt", "some words"));
    QFileSystemModel* shell = p.window.Words()->shellfiles;
    QTreeView* view = p.window.Words()->shellfilelist;
    QTRY_COMPARE_WITH_TIMEOUT(shell->rowCount(view->rootIndex()), 1, 5000);
    QModelIndex file = shell->index(0, 0, view->rootIndex());
    QCOMPARE(file.data().toString(), QString("old.txt"));
    QVERIFY(shell->flags(file) & Qt::ItemIsEditable);
    QVERIFY(view->editTriggers() & QAbstractItemView::EditKeyPressed);
    QVERIFY(shell->setData(file, "new.txt"));
    QVERIFY(QFile::exists(p.Working() + "new.txt"));
    QVERIFY(!QFile::exists(p.Working() + "old.txt"));
    QVERIFY(p.window.close());
  }

  // A save that fails on close shows its error and keeps the window open;
  // closing again, once the folder is back, saves and closes.
  void failedSaveKeepsTheWindowOpen() {
    Program p;
    QVERIFY(p.Start());
    p.PasteUrls("http://example.com/\n");
    QString preset = p.Presets() + "/alpha";
    QVERIFY(QDir(preset).removeRecursively());
    QVERIFY(!p.window.close());
    QVERIFY(p.window.isVisible());
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kError);
    QVERIFY2(
        p.log.messages[0].second.startsWith("Cannot create file \"" + preset + "/urls2grab.txt\""),
        qPrintable(p.log.messages[0].second));
    QVERIFY(QDir().mkpath(preset));
    QVERIFY(p.window.close());
    QVERIFY(!p.window.isVisible());
    QCOMPARE(ReadFile(preset + "/urls2grab.txt"), QByteArray("http://example.com/\r\n"));
  }

  void failingUrlEndsTheGrab() {
    TestHttpServer server;
    server.SetPage("/a.htm", kPageA);
    server.SetPage("/c.htm", kPageB);
    Program p;
    QVERIFY(p.Start());
    p.PasteUrls(QString::fromStdString(server.Url("/a.htm") + "\n" + server.Url("/missing.htm") +
                                       "\n" + server.Url("/c.htm")));
    Click(p.window.Grabber()->bgraburls);
    // The line and its address are a paragraph after the reason.
    QCOMPARE(p.log.Texts(), QStringList{"Not Found.\n\nAt line 2 of the list: " +
                                        QString::fromStdString(server.Url("/missing.htm"))});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kError);
    QVERIFY(p.StatusText().endsWith("[2/3]"));
    QVERIFY(p.StatusText().contains("/missing.htm"));
    QVERIFY(!p.window.Status()->Busy());
    QCOMPARE(server.Requests(), 2);
    QVERIFY(QFile::exists(p.Working() + "zarngrab#1.htm"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#2.htm"));
    QVERIFY(p.window.close());
  }

  // While a download waits, the window takes input, paints and switches
  // pages; another step is refused; the download then completes normally.
  void windowWorksWhileAGrabWaits() {
    TestHttpServer server;
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    p.PasteUrls(QString::fromStdString(server.Url("/slow.htm")));
    bool running = false, busy = false, typed = false, painted = false, switched = false;
    int extra_requests = -1;
    // Never wait forever: the checks below then fail.
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
    RunWhen(
        &w, [&] { return server.HeldRequests() == 1; },
        [&] {
          // Runs inside the download's wait.
          running = w.StepRunning();
          busy = w.Status()->Busy();
          QTest::keyClicks(w.Grabber()->urls2grab, "typed");
          typed = w.Grabber()->urls2grab->toPlainText().endsWith("typed");
          painted = !w.grab().isNull();
          w.Pages()->setCurrentIndex(1);
          switched = w.Pages()->currentIndex() == 1;
          w.Pages()->setCurrentIndex(0);
          Click(w.Grabber()->bgraburls);  // refused: one step at a time
          QTest::qWait(100);
          extra_requests = server.Requests() - 1;
          server.Release("<p>slow but sure</p>");
        });
    Click(w.Grabber()->bgraburls);
    QVERIFY(running);
    QVERIFY(busy);
    QVERIFY(typed);
    QVERIFY(painted);
    QVERIFY(switched);
    QCOMPARE(extra_requests, 0);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray("<p>slow but sure</p>"));
    // What was typed during the download is neither lost nor overwritten.
    QVERIFY(w.Grabber()->urls2grab->toPlainText().endsWith("typed"));
    QVERIFY(w.State().urls2grab.Text().ends_with("typed"));
    QVERIFY(!w.StepRunning());
    QVERIFY(!w.Status()->Busy());
    QVERIFY(w.close());
  }

  // Closing during a download ends the download, then saves and closes; the
  // grab stream is released only after the client let go of it.
  void closingDuringADownload() {
    TestHttpServer server;
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    p.PasteUrls(QString::fromStdString(server.Url("/slow.htm") + "\n" + server.Url("/a.htm")));
    bool close_refused_at_once = false;
    // Never wait forever: the checks below then fail.
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
    RunWhen(
        &w, [&] { return server.HeldRequests() == 1; },
        [&] { close_refused_at_once = !w.close() && w.isVisible(); });
    Click(w.Grabber()->bgraburls);
    QVERIFY(close_refused_at_once);
    QVERIFY(!w.isVisible());  // closed as soon as the step returned
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QVERIFY(QFile::exists(p.Presets() + "/alpha/urls2grab.txt"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#1.htm"));
    QCOMPARE(server.Requests(), 1);  // the second URL was never asked for
    QTRY_COMPARE_WITH_TIMEOUT(server.AbandonedRequests(), 1, 5000);
    QVERIFY(w.State().grab_stream.empty());
    QVERIFY(p.fetcher.Http().ReceiveStream == nullptr);
    QVERIFY(!p.loop.TerminateRequested());
  }

  // Ctrl-C and SIGTERM, wired as the program wires them, end a waiting
  // download and close the window with its save.
  void ctrlCOrSigtermDuringADownloadClosesTheWindow() {
    for (int signal_number : {SIGINT, SIGTERM}) {
      TestHttpServer server;
      Program p;
      QVERIFY(p.Start());
      MainWindow& w = p.window;
      p.loop.SetTerminateHandler([&w] { w.close(); });
      TerminateLoopOnSignals(&p.loop);
      p.PasteUrls(QString::fromStdString(server.Url("/slow.htm")));
      QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
      RunWhen(
          &w, [&] { return server.HeldRequests() == 1; },
          [signal_number] { raise(signal_number); });
      Click(w.Grabber()->bgraburls);
      TerminateLoopOnSignals(nullptr);
      QVERIFY(!w.isVisible());
      QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
      QVERIFY(QFile::exists(p.Presets() + "/alpha/urls2grab.txt"));
      QVERIFY(!QFile::exists(p.Working() + "zarngrab#1.htm"));
    }
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::WholeRunTest)
#include "whole_run_test.moc"
