// A grab that goes on past failed addresses ("Go on past a failed address"),
// worked as a user works the window: five addresses of which the second
// never answers (the time limit ends it) and the fourth is missing, with one
// and with three connections; and Stop in the middle of such a grab.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <initializer_list>
#include <string>

#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/status_panel.h"
#include "gui_test_support.h"
#include "test_http_server.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::ReadFile;
using testing::RunWhen;
using testing::TestHttpServer;

// "/slow..." is held by the server, "/gone.htm" answers 404.
QString ListOf(const TestHttpServer& server, std::initializer_list<const char*> paths) {
  QString list;
  for (const char* path : paths) list += QString::fromStdString(server.Url(path)) + "\n";
  return list;
}

void ConnectionRows() {
  QTest::addColumn<int>("connections");
  QTest::newRow("one connection") << 1;
  QTest::newRow("three connections") << 3;
}

class GrabGoOnTest : public QObject {
  Q_OBJECT

 private:
  // Sets up the grab as a user does: the list pasted, the box ticked, the
  // spins set.
  static void Prepare(Program& p, const QString& list, int connections, int timeout) {
    GrabberPage* g = p.window.Grabber();
    p.PasteUrls(list);
    QTest::mouseClick(g->grabgoon, Qt::LeftButton);
    QVERIFY(g->grabgoon->isChecked());
    g->grabconnections->setValue(connections);
    g->grabtimeout->setValue(timeout);
  }

  static void ServePages(TestHttpServer& server) {
    server.SetPage("/a.htm", "<p>a</p>");
    server.SetPage("/c.htm", "<p>c</p>");
    server.SetPage("/e.htm", "<p>e</p>");
  }

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void failedAddressesAreListedAndTheOthersWritten_data() { ConnectionRows(); }

  void failedAddressesAreListedAndTheOthersWritten() {
    QFETCH(int, connections);
    TestHttpServer server;
    ServePages(server);
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    Prepare(p, ListOf(server, {"/a.htm", "/slow.htm", "/c.htm", "/gone.htm", "/e.htm"}),
            connections, 1);
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });  // never hang
    Click(w.Grabber()->bgraburls);

    const QString url2 = QString::fromStdString(server.Url("/slow.htm"));
    const QString url4 = QString::fromStdString(server.Url("/gone.htm"));
    QCOMPARE(p.log.Texts(),
             QStringList{"2 of 5 addresses failed.\n\nLine 2 (" + url2 +
                         "): Connection timed out.\nLine 4 (" + url4 + "): Not Found."});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kError);
    QCOMPARE(p.StatusText(), QString("Done, 2 failed."));
    QVERIFY(!w.StepRunning());
    QVERIFY(!w.Status()->Busy());
    QVERIFY(!w.Grabber()->bstopgrab->isEnabled());
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray("<p>a</p>"));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#3.htm"), QByteArray("<p>c</p>"));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#5.htm"), QByteArray("<p>e</p>"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#2.htm"));
    QVERIFY(!QFile::exists(p.Working() + "zarngrab#4.htm"));
    QCOMPARE(server.Requests(), 5);
    QVERIFY(p.fetcher.Idle());

    // The preset keeps the setting.
    QVERIFY(w.close());
    QVERIFY(ReadFile(p.Presets() + "/alpha/settings.ini").contains("\r\nGrabGoOn=1\r\n"));
  }

  void stopEndsTheGrabThatGoesOn_data() { ConnectionRows(); }

  // Stop while line 4 waits (line 2 already failed): the grab ends there,
  // as any stopped grab, with no list of failures and no file after line 3.
  void stopEndsTheGrabThatGoesOn() {
    QFETCH(int, connections);
    TestHttpServer server;
    ServePages(server);
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    // Line 4 is the held one here, line 2 is missing; no time limit.
    Prepare(p, ListOf(server, {"/a.htm", "/gone.htm", "/c.htm", "/slow.htm", "/e.htm"}),
            connections, 0);
    GrabberPage* g = w.Grabber();
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });
    RunWhen(
        &w,
        [&] { return server.HeldRequests() == 1 && QFile::exists(p.Working() + "zarngrab#3.htm"); },
        [&] { Click(g->bstopgrab); });
    Click(g->bgraburls);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    QCOMPARE(p.StatusText(), QString("Grab stopped."));
    QVERIFY(!w.Status()->Busy());
    QCOMPARE(ReadFile(p.Working() + "zarngrab#1.htm"), QByteArray("<p>a</p>"));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#3.htm"), QByteArray("<p>c</p>"));
    for (const char* name : {"zarngrab#2.htm", "zarngrab#4.htm", "zarngrab#5.htm"}) {
      QVERIFY2(!QFile::exists(p.Working() + name), name);
    }
    QTRY_COMPARE_WITH_TIMEOUT(server.AbandonedRequests(), 1, 5000);
    QVERIFY(p.fetcher.Idle());

    // The next grab goes through, and its list holds only what failed then.
    server.Release("<p>d</p>");
    Click(g->bgraburls);
    QCOMPARE(p.log.Texts(),
             QStringList{"1 of 5 addresses failed.\n\nLine 2 (" +
                         QString::fromStdString(server.Url("/gone.htm")) + "): Not Found."});
    QCOMPARE(p.StatusText(), QString("Done, 1 failed."));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#4.htm"), QByteArray("<p>d</p>"));
    QCOMPARE(ReadFile(p.Working() + "zarngrab#5.htm"), QByteArray("<p>e</p>"));
    QVERIFY(w.close());
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::GrabGoOnTest)
#include "grab_go_on_test.moc"
