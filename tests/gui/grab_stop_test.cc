// Ending a grab by hand, and how a step's end shows: "Stop" against a server
// that never answers (with one connection and with several), the errors
// shown when the window is closed during a download, and the busy indicator
// after failed steps.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <new>
#include <stdexcept>
#include <string>

#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/status_panel.h"
#include "gui_test_support.h"
#include "http/http_types.h"
#include "pipeline/grabber.h"
#include "test_http_server.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::ReadFile;
using testing::RunWhen;
using testing::TestHttpServer;

// A fetcher whose downloads fail with what `fail` throws.
class FailingFetcher : public PageFetcher {
 public:
  explicit FailingFetcher(std::function<void()> fail) : fail_(std::move(fail)) {}
  void Fetch(const std::string&, std::string*) override { fail_(); }

 private:
  std::function<void()> fail_;
};

class GrabStopTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  // Stop is enabled only during a grab; it ends the waiting download with no
  // file and no message, fetches nothing more, and the next grab works.
  void stopEndsAWaitingGrab() {
    TestHttpServer server;
    server.SetPage("/a.htm", "<p>a</p>");
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    GrabberPage* g = w.Grabber();
    const QString urls =
        QString::fromStdString(server.Url("/slow.htm") + "\n" + server.Url("/a.htm") + "\n");
    p.PasteUrls(urls);
    QVERIFY(!g->bstopgrab->isEnabled());
    bool stop_enabled = false, others_enabled = false;
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });  // never hang
    RunWhen(
        &w, [&] { return server.HeldRequests() == 1; },
        [&] {
          stop_enabled = g->bstopgrab->isEnabled();
          others_enabled = g->bgraburls->isEnabled() && g->bdelgrabfiles->isEnabled() &&
                           g->bdelallfiles->isEnabled();
          Click(g->bstopgrab);
        });
    Click(g->bgraburls);
    QVERIFY(stop_enabled);
    QVERIFY(others_enabled);  // they only beep while a download waits
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QVERIFY(!w.StepRunning());
    QVERIFY(!w.Status()->Busy());
    QVERIFY(!g->bstopgrab->isEnabled());
    QCOMPARE(p.StatusText(), QString("Grab stopped."));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#1.htm"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#2.htm"));
    QCOMPARE(server.Requests(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(server.AbandonedRequests(), 1, 5000);
    QVERIFY(p.fetcher.Idle());
    QVERIFY(w.State().grab_stream.empty());

    // The stop does not stick to the next grab.
    server.Release("<p>slow</p>");
    Click(g->bgraburls);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Done."));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray("<p>slow</p>"));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#2.htm"), QByteArray("<p>a</p>"));

    // The preset is whole: the window is the preset's and closing saves it.
    QCOMPARE(w.windowTitle(), QString("Vellora Brindo - alpha"));
    QVERIFY(w.close());
    QCOMPARE(ReadFile(p.Presets() + "/alpha/urls2grab.txt"), urls.toUtf8().replace("\n", "\r\n"));
  }

  // With several downloads at once, Stop ends all of them; the lines before
  // the first stopped one keep their files.
  void stopEndsSimultaneousDownloads() {
    TestHttpServer server;
    server.SetPage("/a.htm", "<p>a</p>");
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    // As a user sets it: the control is read into the state when the grab starts.
    w.Grabber()->grabconnections->setValue(4);
    p.PasteUrls(QString::fromStdString(server.Url("/a.htm") + "\n" + server.Url("/slow1.htm") +
                                       "\n" + server.Url("/slow2.htm") + "\n"));
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
    RunWhen(
        &w,
        [&] { return server.HeldRequests() == 2 && QFile::exists(p.Working() + "zarngrab#1.htm"); },
        [&] { Click(w.Grabber()->bstopgrab); });
    Click(w.Grabber()->bgraburls);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray("<p>a</p>"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#2.htm"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#3.htm"));
    QTRY_COMPARE_WITH_TIMEOUT(server.AbandonedRequests(), 2, 5000);
    QVERIFY(p.fetcher.Idle());
    QVERIFY(!w.Status()->Busy());
    QVERIFY(w.close());
  }

  // A close during a download drops only the abort error: here the answer
  // arrives before the close takes effect and its file cannot be written,
  // which is shown; the window then closes with its save.
  void closeDuringADownloadShowsOtherErrors() {
    TestHttpServer server;
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    QVERIFY(QDir().mkpath(p.Working() + "zarngrab#1.htm"));  // a folder: the write fails
    p.PasteUrls(QString::fromStdString(server.Url("/slow.htm")));
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
    bool answered = false;
    RunWhen(
        &w, [&] { return server.HeldRequests() == 1; },
        [&] {
          server.Release("<p>late</p>");
          answered = QTest::qWaitFor([&] { return p.fetcher.Http().State() == httpReady; }, 5000);
          w.close();
        });
    Click(w.Grabber()->bgraburls);
    QVERIFY(answered);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kError);
    QVERIFY2(p.log.messages[0].second.startsWith("Cannot create file \"" + p.Working() +
                                                 "zarngrab#1.htm\""),
             qPrintable(p.log.messages[0].second));
    QVERIFY(!w.isVisible());
    QVERIFY(QFile::exists(p.Presets() + "/alpha/urls2grab.txt"));
    QVERIFY(!p.loop.TerminateRequested());
  }

  // Whatever a step fails with, the indicator is off when its error shows,
  // and the window takes the next step.
  void busyIndicatorStopsWhenAStepFails() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    QList<bool> busy_at_message;
    w.Messages().SetSink([&](GuiNotifier::Kind kind, const QString& text) {
      busy_at_message << w.Status()->Busy();
      p.log.messages.emplace_back(kind, text);
    });

    // A page that cannot be saved.
    p.Show(4);
    w.State().filelist.Add({"a.htm", {"A", "a", "a", "body"}});
    w.State().makefiles_enabled = true;
    w.Generator()->makefiles->setEnabled(true);
    w.Generator()->eresfolder->setText("");
    Click(w.Generator()->makefiles);

    // Downloads that fail with an error of the core, an allocation failure
    // and something that is not an exception class at all.
    p.Show(0);
    p.PasteUrls("http://example.invalid/\n");
    FailingFetcher http_error([] { throw EHttpError("Not Found", 404); });
    FailingFetcher no_memory([] { throw std::bad_alloc(); });
    FailingFetcher odd([] { throw 42; });
    for (PageFetcher* fetcher :
         {static_cast<PageFetcher*>(&http_error), static_cast<PageFetcher*>(&no_memory),
          static_cast<PageFetcher*>(&odd)}) {
      w.SetFetcher(fetcher);
      Click(w.Grabber()->bgraburls);
      QVERIFY(!w.StepRunning());
      QVERIFY(!w.Grabber()->bstopgrab->isEnabled());
    }
    QCOMPARE(p.log.Texts(),
             (QStringList{"Unable to create directory.",
                          "Not Found.\n\nAt line 1 of the list: http://example.invalid/",
                          "Out of memory.", "Internal error: an exception of unknown type."}));
    QCOMPARE(busy_at_message, (QList<bool>{false, false, false, false}));
    QVERIFY(!w.Status()->Busy());

    // The window is not stuck: the next step runs.
    w.SetFetcher(&p.fetcher);
    w.Grabber()->urls2grab->clear();
    Click(w.Grabber()->bgraburls);
    QCOMPARE(p.StatusText(), QString("Done."));
    QCOMPARE(p.log.messages.size(), size_t{4});
    QVERIFY(w.close());
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::GrabStopTest)
#include "grab_stop_test.moc"
